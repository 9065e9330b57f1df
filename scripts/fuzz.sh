#!/usr/bin/env bash
# Runs every fuzz target (or the ones named) for SECONDS each, one after another, and prints a
# line per target: executions, coverage, corpus size and findings. The corpus grows in
# build-fuzz/corpus from one run to the next; seeds are rebuilt each time from the project's
# builders and, when ../shared/samples is there, the samples (linked, never copied).
# Findings (the crashing inputs) land in build-fuzz/findings/TARGET/; exit status 1 if any.
#
#   bash scripts/fuzz.sh [SECONDS] [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-30}"
shift || true
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(jww_read jww_header jws_read jwc_read jwc_header jwk_read jwk_header ini preview)

bash scripts/install-deps.sh fuzz
cmake -S . -B build-fuzz -G Ninja -DPENMORPH_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++-14 >/dev/null
cmake --build build-fuzz -j "${PENMORPH_JOBS:-2}" >/dev/null

samples="$(pwd)/../shared/samples"
rm -rf build-fuzz/seeds
if [ -d "$samples" ]; then
  build-fuzz/bin/penmorph-fuzz-seeds build-fuzz/seeds "$samples"
else
  build-fuzz/bin/penmorph-fuzz-seeds build-fuzz/seeds
fi

# Memory: inputs of at most 1 MB, the whole process at most 512 MB (with AddressSanitizer's
# quarantine held to 32 MB it starts near 100 MB), one allocation at most 64 MB; inside each run
# the targets also hold the heap to 32 times the input's size plus 8 MB, which proves the
# readers' bound far more tightly than a process limit can.
limits=(-max_len=1048576 -rss_limit_mb=512 -malloc_limit_mb=64 -timeout=20)
export ASAN_OPTIONS="quarantine_size_mb=32:detect_leaks=1"

found=0
summary=build-fuzz/fuzz-summary.txt
: >"$summary"
for target in "${targets[@]}"; do
  corpus=build-fuzz/corpus/$target
  findings=build-fuzz/findings/$target
  log=build-fuzz/logs/$target.log
  mkdir -p "$corpus" "$findings" build-fuzz/logs
  # Settings files are small; long ones only slow the search down.
  max_len=()
  [ "$target" = ini ] && max_len=(-max_len=65536)
  set +e
  nice -n 10 "build-fuzz/bin/fuzz_$target" "${limits[@]}" "${max_len[@]}" -max_total_time="$seconds" \
    -print_final_stats=1 -artifact_prefix="$findings/" "$corpus" "build-fuzz/seeds/$target" \
    >"$log" 2>&1
  status=$?
  set -e
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || true)
  coverage=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | grep -o '[0-9]*' || true)
  features=$(grep -o 'ft: [0-9]*' "$log" | tail -1 | grep -o '[0-9]*' || true)
  files=$(find "$corpus" -type f | wc -l)
  crashes=$(find "$findings" -type f | wc -l)
  line="$target: ${seconds}s, ${runs:-0} executions, coverage ${coverage:-0} edges / ${features:-0} features, corpus $files, findings $crashes, exit $status"
  echo "$line" | tee -a "$summary"
  if [ "$status" -ne 0 ] || [ "$crashes" -ne 0 ]; then
    found=1
    grep -E 'FINDING|ERROR|SUMMARY' "$log" | head -5 || true
  fi
done
exit $found
