#!/usr/bin/env bash
# The whole-tree benchmark: an archive of drawings made from the samples (../shared/samples),
# several folders deep, converted with -r at one and at two files at once, each against a plain
# cp -r of the same tree in the same round, with the example settings file (pens swapped). The
# figures are medians of ROUNDS rounds; peak memory is the resident size /usr/bin/time reports.
#
#   bash bench/tree.sh [ROUNDS] [FILES...]      (default: 5 rounds, 1000 and 10000 files)
#
# The work folder is made under $PENMORPH_BENCH_DIR (default: $TMPDIR or /tmp): point it at a
# disk or at memory (/dev/shm) to see either.
set -euo pipefail
cd "$(dirname "$0")/.."
rounds="${1:-5}"
shift || true
sizes=("$@")
[ "${#sizes[@]}" -gt 0 ] || sizes=(1000 10000)

samples="$(pwd)/../shared/samples"
[ -d "$samples" ] || { echo "bench: no samples at $samples" >&2; exit 1; }
[ -x /usr/bin/time ] || { echo "bench: /usr/bin/time is missing (apt-get install time)" >&2; exit 1; }
# PENMORPH_BENCH_BUILD: a build folder to take penmorph-cli from as it is, instead of a Release
# build of its own in build-bench.
if [ -n "${PENMORPH_BENCH_BUILD:-}" ]; then
  cli="$(cd "$PENMORPH_BENCH_BUILD" && pwd)/bin/penmorph-cli"
else
  cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DPENMORPH_BUILD_BENCH=ON \
    -DPENMORPH_BUILD_TESTS=OFF -DPENMORPH_BUILD_UI=OFF >/dev/null
  cmake --build build-bench -j "${PENMORPH_JOBS:-2}" --target penmorph-cli >/dev/null
  cli="$PWD/build-bench/bin/penmorph-cli"
fi
settings="$PWD/examples/example.set"

work="$(mktemp -d "${PENMORPH_BENCH_DIR:-${TMPDIR:-/tmp}}/penmorph-tree.XXXXXX")"
trap 'rm -rf "$work"' EXIT
drawings=()
for file in "$samples"/*.[jJ][wW]*; do drawings+=("$file"); done

# archive/pNN/fN/dN/NNNNN_sample: 100 files to a folder, three levels of folders.
make_tree() {
  local tree="$1" count="$2" i folder
  for ((i = 0; i < count; ++i)); do
    folder="$tree/p$((i / 2500))$((i / 500 % 5))/f$((i / 100 % 5))/d$((i / 100))"
    [ $((i % 100)) -eq 0 ] && mkdir -p "$folder"
    cp "${drawings[i % ${#drawings[@]}]}" "$folder/$(printf '%05d' "$i")_$(basename "${drawings[i % ${#drawings[@]}]}")"
  done
}

source bench/timing.sh

# Every command writes into a folder of its own, and the outputs are removed only once all rounds
# of a size are done: ext4 passes over the inodes of files deleted in the last minutes when it
# makes new ones, so removing 10,000 outputs just before a timed run would make both sides
# measure that search (serialised in the kernel) rather than the copy or the conversion. An
# office converts its archive into a folder on a disk that has not just lost 10,000 files.
for count in "${sizes[@]}"; do
  tree="$work/archive"
  rm -rf "$tree"
  make_tree "$tree" "$count"
  outputs="$work/outputs"
  mkdir -p "$outputs"
  run() { mkdir "$2"; "$cli" convert --settings "$settings" -r -j "$1" --dest "$2" "$tree"; }
  copy() { cp -r "$tree" "$1"; }
  copy "$outputs/warm-copy" >/dev/null; run 2 "$outputs/warm-run" >/dev/null || true  # the page cache
  copies=() one=() two=() cost=() cost2=() speedup=()
  for ((round = 0; round < rounds; ++round)); do
    sync
    c=$(seconds copy "$outputs/copy$round")
    sync
    j1=$(seconds run 1 "$outputs/one$round")
    sync
    j2=$(seconds run 2 "$outputs/two$round")
    copies+=("$c"); one+=("$j1"); two+=("$j2")
    cost+=("$(ratio "$j1" "$c")"); cost2+=("$(ratio "$j2" "$c")"); speedup+=("$(ratio "$j1" "$j2")")
  done
  /usr/bin/time -f '%M' -o "$work/rss" "$cli" convert --settings "$settings" -r -j 2 \
    --dest "$(mkdir "$outputs/peak" && echo "$outputs/peak")" "$tree" >/dev/null 2>&1 || true
  rm -rf "$outputs"
  printf '%6d files: cp -r %7.3f s  -j 1 %7.3f s  -j 2 %7.3f s  -j 1 / cp -r %6.3f  -j 2 / cp -r %6.3f  -j 1 / -j 2 %6.3f  peak %5.1f MB\n' \
    "$count" "$(printf '%s\n' "${copies[@]}" | median)" "$(printf '%s\n' "${one[@]}" | median)" \
    "$(printf '%s\n' "${two[@]}" | median)" "$(printf '%s\n' "${cost[@]}" | median)" \
    "$(printf '%s\n' "${cost2[@]}" | median)" \
    "$(printf '%s\n' "${speedup[@]}" | median)" "$(awk -v k="$(cat "$work/rss")" 'BEGIN { print k / 1024 }')"
done
