#!/usr/bin/env bash
# Builds the Windows packages into build-windows/package/: Penmorph-VERSION-win64.zip (both
# programs, the user's manual in manual\, a Japanese and an English readme and the licence; runs
# from any folder) and Penmorph-VERSION-setup.exe, the per-user installer (NSIS). VERSION is the
# CMake project's.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build-windows.sh

version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build-windows/CMakeCache.txt)"
[ -n "$version" ] || { echo "no project version in build-windows/CMakeCache.txt" >&2; exit 1; }
out="$PWD/build-windows/package"
name="Penmorph-$version-win64"
stage="$out/$name"
rm -rf "$out"
mkdir -p "$stage"

cp build-windows/bin/penmorph.exe build-windows/bin/penmorph-cli.exe "$stage/"
# The user's manual, as the build put it beside the programs (manual\), where the window finds it.
mkdir "$stage/manual"
for file in docs/manual/*.html docs/manual/*.png; do
  [ -e "$file" ] || continue
  cp "build-windows/bin/manual/$(basename "$file")" "$stage/manual/"
done
# Text files as Notepad expects them: CRLF; the Japanese readme as UTF-8 with its mark.
crlf() { sed -e "s/@VERSION@/$version/g" -e 's/$/\r/' "$1"; }
{ printf '\xef\xbb\xbf'; crlf packaging/windows/README-ja.txt; } >"$stage/README-ja.txt"
crlf packaging/windows/README-en.txt >"$stage/README-en.txt"
crlf LICENSE >"$stage/LICENSE.txt"

(cd "$out" && zip -qr -X "$name.zip" "$name")
makensis -V2 -DVERSION="$version" -DSTAGE="$stage" -DOUTFILE="$out/Penmorph-$version-setup.exe" \
  packaging/windows/penmorph.nsi
ls -l "$out/$name.zip" "$out/Penmorph-$version-setup.exe"
