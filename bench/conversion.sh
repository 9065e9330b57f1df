#!/usr/bin/env bash
# The conversion benchmark. Every figure is a ratio against a plain copy of the same bytes made
# in the same run, pair by pair (copy, then conversion, ROUNDS times), so that the machine's
# speed of the moment cancels out; the median of the ratios is the figure. Peak memory is the
# resident size /usr/bin/time reports for the command line.
#
#   bash bench/conversion.sh [ROUNDS] [CASES]
#
# The work folder is made under $PENMORPH_BENCH_DIR (default: $TMPDIR or /tmp).
#
# CASES (default: all of them, as "drawings dense samples"):
#   drawings  the synthetic drawing of 15 and of 150 MB into a new output, and again over an
#             existing output (kept as .BAK);
#   dense     a drawing of about 110 MB of small records only (1.7 million), every one of them
#             under the example settings (colours 1 and 2 swapped), against dd of the same bytes;
#   samples   2,000 sample files (from ../shared/samples) into new outputs, against cp -r; and
#             the memo column's time per file.
set -euo pipefail
cd "$(dirname "$0")/.."
rounds="${1:-7}"
cases=" ${2:-drawings dense samples} "

# PENMORPH_BENCH_BUILD: a build folder to take the programs from as they are (configured with
# -DPENMORPH_BUILD_BENCH=ON), instead of a Release build of its own in build-bench.
if [ -n "${PENMORPH_BENCH_BUILD:-}" ]; then
  bin="$(cd "$PENMORPH_BENCH_BUILD" && pwd)/bin"
else
  cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DPENMORPH_BUILD_BENCH=ON \
    -DPENMORPH_BUILD_TESTS=OFF -DPENMORPH_BUILD_UI=OFF >/dev/null
  cmake --build build-bench -j "${PENMORPH_JOBS:-2}" >/dev/null
  bin="$PWD/build-bench/bin"
fi
[ -x /usr/bin/time ] || { echo "bench: /usr/bin/time is missing (apt-get install time)" >&2; exit 1; }

work="$(mktemp -d "${PENMORPH_BENCH_DIR:-${TMPDIR:-/tmp}}/penmorph-bench.XXXXXX")"
trap 'rm -rf "$work"' EXIT

source bench/timing.sh

# pair NAME PREPARE COPY CONVERT: ROUNDS pairs, each after PREPARE; prints the medians.
pair() {
  local name="$1" prepare="$2" copy="$3" convert="$4"
  local copies=() converts=() ratios=()
  eval "$prepare"
  eval "$copy" >/dev/null 2>&1 && eval "$convert" >/dev/null 2>&1  # warm the page cache
  for ((round = 0; round < rounds; ++round)); do
    eval "$prepare"
    local c v
    c=$(seconds bash -c "$copy")
    eval "$prepare"
    v=$(seconds bash -c "$convert")
    copies+=("$c")
    converts+=("$v")
    ratios+=("$(ratio "$v" "$c")")
  done
  eval "$prepare"
  /usr/bin/time -f '%M' -o "$work/rss" bash -c "exec $convert" >/dev/null 2>&1
  printf '%-34s copy %8.4f s  conversion %8.4f s  ratio %6.3f  peak %6.1f MB\n' "$name" \
    "$(printf '%s\n' "${copies[@]}" | median)" "$(printf '%s\n' "${converts[@]}" | median)" \
    "$(printf '%s\n' "${ratios[@]}" | median)" "$(awk -v k="$(cat "$work/rss")" 'BEGIN { print k / 1024 }')"
}

mkdir -p "$work/out"
[[ "$cases" == *" drawings "* ]] && for megabytes in 15 150; do
  drawing="$work/drawing-$megabytes.jww"
  "$bin/penmorph-bench-drawing" "$megabytes" "$drawing"
  pair "drawing ${megabytes} MB, new output" \
    "rm -f '$work/copy.jww' '$work/out/drawing-$megabytes.jww' '$work/out/drawing-$megabytes.BAK'" \
    "cp '$drawing' '$work/copy.jww'" \
    "'$bin/penmorph-cli' convert --dest '$work/out' '$drawing'"
  # Over an existing output: the copy replaces its file too; the conversion keeps it as .BAK.
  pair "drawing ${megabytes} MB, existing .BAK" \
    "cp '$drawing' '$work/copy.jww'; '$bin/penmorph-cli' convert --dest '$work/out' '$drawing' >/dev/null" \
    "cp '$drawing' '$work/copy.jww'" \
    "'$bin/penmorph-cli' convert --dest '$work/out' '$drawing'"
  rm -f "$drawing" "$work/copy.jww" "$work"/out/*
done

if [[ "$cases" == *" dense "* ]]; then
  dense="$work/dense.jww"
  "$bin/penmorph-bench-drawing" --dense 110 "$dense"
  pair "dense drawing 110 MB, new output" \
    "rm -f '$work/copy.jww' '$work/out/dense.jww'" \
    "dd if='$dense' of='$work/copy.jww' bs=1M" \
    "'$bin/penmorph-cli' convert --settings '$PWD/examples/example.set' --dest '$work/out' '$dense'"
  rm -f "$dense" "$work/copy.jww" "$work"/out/*
fi

samples="$(pwd)/../shared/samples"
if [[ "$cases" != *" samples "* ]]; then
  :
elif [ -d "$samples" ]; then
  mkdir -p "$work/many"
  count=0
  while [ "$count" -lt 2000 ]; do
    for file in "$samples"/*.[jJ][wW]*; do
      [ "$count" -ge 2000 ] && break
      cp "$file" "$work/many/$(printf '%04d' "$count")_$(basename "$file")"
      count=$((count + 1))
    done
  done
  pair "2,000 sample files, new outputs" \
    "rm -rf '$work/copies' '$work/outs'; mkdir '$work/outs'" \
    "cp -r '$work/many' '$work/copies'" \
    "'$bin/penmorph-cli' convert --dest '$work/outs' '$work'/many/*"
  "$bin/penmorph-bench-memo" "$work/many" 20
else
  echo "no samples at $samples: the 2,000-file case and the memo are left out"
fi
