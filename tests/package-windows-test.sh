#!/usr/bin/env bash
# Checks the Windows packages that scripts/package-windows.sh built: the zip holds both programs,
# the manual, the readmes and the licence and runs from any folder; the installer installs
# silently (/S) under Wine for the current user, with the manual beside the program, its Start
# menu entry and its uninstall entry, and the uninstaller removes all of it silently, keeping the
# user's ini file.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"
version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build-windows/CMakeCache.txt)"
out="$root/build-windows/package"
zip="$out/Penmorph-$version-win64.zip"
setup="$out/Penmorph-$version-setup.exe"
failures=0
check() {  # check DESCRIPTION COMMAND...
  local what="$1"
  shift
  if "$@"; then
    echo "ok: $what"
  else
    echo "FAILED: $what" >&2
    failures=$((failures + 1))
  fi
}

check "the zip was built" test -s "$zip"
check "the installer was built" test -s "$setup"
# The manual's files: the HTML and the pictures beside it in docs/manual.
manual_files=(penmorph-manual.html)
for file in docs/manual/*.png; do
  if [ -e "$file" ]; then
    manual_files+=("$(basename "$file")")
  fi
done
expected="$(
  top="Penmorph-$version-win64"
  for entry in "" LICENSE.txt README-en.txt README-ja.txt penmorph-cli.exe penmorph.exe manual/ \
    "${manual_files[@]/#/manual/}"; do
    echo "$top/$entry"
  done | sort
)"
check "the zip holds both programs, the manual, the readmes and the licence" \
  test "$(unzip -Z1 "$zip" | sort)" = "$expected"

export WINEPREFIX="$root/build-windows/wine-install"
export WINEDEBUG=-all
rm -rf "$WINEPREFIX"
wine() { "$root/scripts/wine-run.sh" "$@"; }
wine cmd /c exit >/dev/null 2>&1 || true

# Portable: unpacked into a folder of any name, the programs run from there.
portable="$root/build-windows/package/展開先"
rm -rf "$portable"
mkdir -p "$portable"
unzip -q "$zip" -d "$portable"
check "the unpacked command line runs from its folder" \
  test "$(wine "$portable/Penmorph-$version-win64/penmorph-cli.exe" --version | tr -d '\r')" = \
  "penmorph-cli $version"
check "unpacked: the manual beside penmorph.exe is docs/manual's" \
  cmp -s docs/manual/penmorph-manual.html \
  "$portable/Penmorph-$version-win64/manual/penmorph-manual.html"

user="$WINEPREFIX/drive_c/users/$(whoami)"
installed="$user/AppData/Local/Programs/Penmorph"
shortcut="$user/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Penmorph/Penmorph.lnk"
settings="$user/AppData/Roaming/Penmorph/penmorph.ini"
key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Penmorph'

wine "$setup" /S
/usr/lib/wine/wineserver -w
for file in penmorph.exe penmorph-cli.exe README-ja.txt README-en.txt LICENSE.txt uninstall.exe; do
  check "installed: $file" test -s "$installed/$file"
done
for file in "${manual_files[@]}"; do
  check "installed: manual\\$file, as in docs/manual" \
    cmp -s "docs/manual/$file" "$installed/manual/$file"
done
check "installed: the Start menu entry" test -s "$shortcut"
check "installed: the uninstall entry" \
  bash -c "'$root/scripts/wine-run.sh' reg query '$key' /v QuietUninstallString | grep -q 'uninstall.exe'"
check "the installed command line runs" \
  test "$(wine "$installed/penmorph-cli.exe" --version | tr -d '\r')" = "penmorph-cli $version"

# The user's ini file, as the window writes it on closing.
mkdir -p "$(dirname "$settings")"
printf '[Set]\r\nFLD1=C:\\\r\n' >"$settings"
wine "$installed/uninstall.exe" /S
/usr/lib/wine/wineserver -w
check "uninstalled: the program folder is gone" test ! -e "$installed"
check "uninstalled: the Start menu entry is gone" test ! -e "$(dirname "$shortcut")"
check "uninstalled: the uninstall entry is gone" \
  bash -c "! '$root/scripts/wine-run.sh' reg query '$key' >/dev/null 2>&1"
check "uninstalled silently: the user's ini file stays" test -s "$settings"

/usr/lib/wine/wineserver -k 2>/dev/null || true
if [ "$failures" -ne 0 ]; then
  echo "$failures package checks failed" >&2
  exit 1
fi
echo "every package check passed"
