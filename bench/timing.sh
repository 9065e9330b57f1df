# Shared by the benchmark scripts (sourced): a command's time in seconds, medians and ratios.

now() { date +%s%N; }
# Seconds a command takes, to the microsecond; its output is dropped.
seconds() {
  local start end
  start=$(now)
  "$@" >/dev/null 2>&1
  end=$(now)
  awk -v ns="$((end - start))" 'BEGIN { printf "%.6f", ns / 1e9 }'
}
median() { sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", a / b }'; }
