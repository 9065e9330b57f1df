#!/usr/bin/env bash
# Converts every sample drawing and every example file with the Linux and the Windows command
# line (under Wine), with the same settings files, and compares the outputs byte for byte.
# Needs build-windows/ (scripts/build-windows.sh); builds the Linux command line when missing.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"

# The Linux command line: the main build's when there is one, else a small build of its own.
if [ -f build/build.ninja ]; then
  cmake --build build --target penmorph-cli penmorph-make-examples >/dev/null
  linux_bin="$root/build/bin"
else
  cmake -S . -B build-windows/linux -G Ninja -DCMAKE_BUILD_TYPE=Release -DPENMORPH_BUILD_UI=OFF \
    -DPENMORPH_BUILD_TESTS=OFF >/dev/null
  cmake --build build-windows/linux -j "${PENMORPH_JOBS:-2}" --target penmorph-cli \
    penmorph-make-examples >/dev/null
  linux_bin="$root/build-windows/linux/bin"
fi
windows_cli="$root/build-windows/bin/penmorph-cli.exe"

work="$root/build-windows/compare"
rm -rf "$work"
mkdir -p "$work/in" "$work/settings"
"$linux_bin/penmorph-make-examples" "$work/in" >/dev/null
if [ -d ../shared/samples ]; then
  find ../shared/samples -maxdepth 1 -type f ! -name '*.md' -exec cp {} "$work/in/" \;
fi

# Settings: none (all 0), the example, and one that changes every entry to another valid value.
cp examples/example.set "$work/settings/example.set"
awk 'BEGIN {
  print "[JWC]"
  for (i = 1; i <= 6; i++) print "C" i "=" (i % 6) + 1
  for (i = 7; i <= 23; i++) print "C" i "=" ((i * 5) % 9) + 1
  print "C24=1"
  print "[JWW]"
  for (i = 1; i <= 9; i++) print "C" i "=" (i % 9) + 1
  for (i = 10; i <= 265; i++) print "C" i "=" 101 + ((i * 7) % 256)
  for (i = 266; i <= 314; i++) print "C" i "=" ((i * 4) % 9) + 1
  for (i = 315; i <= 321; i++) print "C" i "=1"
}' > "$work/settings/every-entry.set"

files=("$work"/in/*)
windows_files=()
for file in "${files[@]}"; do
  windows_files+=("Z:$file")
done

failed=0
for settings in none example every-entry; do
  options=()
  windows_options=()
  if [ "$settings" != none ]; then
    options=(--settings "$work/settings/$settings.set")
    windows_options=(--settings "Z:$work/settings/$settings.set")
  fi
  mkdir -p "$work/linux-$settings" "$work/windows-$settings"
  "$linux_bin/penmorph-cli" convert --dest "$work/linux-$settings" "${options[@]}" "${files[@]}" \
    > "$work/linux-$settings.txt" || true
  scripts/wine-run.sh "$windows_cli" convert --dest "Z:$work/windows-$settings" \
    "${windows_options[@]}" "${windows_files[@]}" > "$work/windows-$settings.txt" || true
  if ! diff -r "$work/linux-$settings" "$work/windows-$settings" >/dev/null; then
    echo "compare-platforms: outputs differ with settings '$settings':" >&2
    diff -rq "$work/linux-$settings" "$work/windows-$settings" >&2 || true
    failed=1
  fi
  # The same outcome for every file: the lines with the folder names taken out.
  normalise() {
    sed -e "s#Z:$work/##g; s#$work/##g" -e 's#\\#/#g' -e 's#\(linux\|windows\)-[a-z-]*/#out/#g' "$1"
  }
  if ! diff <(normalise "$work/linux-$settings.txt") <(normalise "$work/windows-$settings.txt") \
    >&2; then
    echo "compare-platforms: outcomes differ with settings '$settings'" >&2
    failed=1
  fi
  count=$(find "$work/linux-$settings" -type f | wc -l)
  echo "compare-platforms: settings '$settings': ${#files[@]} files in, $count outputs," \
    "$(tail -n 1 "$work/linux-$settings.txt"); Linux and Windows identical"
  [ "$count" -gt 0 ] || failed=1
done
exit "$failed"
