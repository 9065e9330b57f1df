#!/usr/bin/env bash
# Takes pictures of penmorph.exe under Wine on a virtual X display: the window listing a folder
# of example drawings, the preview of a real drawing, both settings dialogs and the question
# before a run. penmorph.exe runs
# from a folder of its own with a portable ini file; tools/win_screenshots.cpp drives it and this
# script takes each picture when the driver says. The pictures land in build-windows/screenshots/.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"
out="$root/build-windows/screenshots"
work="$root/build-windows/screenshot-run"

# Wine runs the programs inside a desktop window of its own, which draws the title bars.
export WINEPREFIX="$root/build-windows/wine-shots"
export WINEDEBUG=-all
# Wine in Japanese, as the program's users see Windows (scripts/install-deps.sh makes the locale).
export LANG=ja_JP.UTF-8

if [ "${1:-}" != "--on-display" ]; then
  bash scripts/build-windows.sh
  command -v import >/dev/null || bash scripts/install-deps.sh windows
  rm -rf "$out" "$work"
  mkdir -p "$out" "$work/program" "$work/図面/平面図" "$work/図面/立面図/旧版" \
    "$work/図面/シンボル" "$work/変換後"
  cp build-windows/bin/penmorph.exe "$work/program/"

  scripts/wine-run.sh cmd /c exit >/dev/null 2>&1 || true  # makes the prefix on first use
  bash scripts/wine-fonts.sh
  reg="$WINEPREFIX/penmorph-desktop.reg"
  printf 'REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Wine\\Explorer]\r\n"Desktop"="Default"\r\n\r\n[HKEY_CURRENT_USER\\Software\\Wine\\Explorer\\Desktops]\r\n"Default"="1280x800"\r\n' >"$reg"
  scripts/wine-run.sh regedit /S "Z:${reg//\//\\}" >/dev/null 2>&1
  /usr/lib/wine/wineserver -w || true

  # The example drawings (the tool takes an ASCII folder name), and real drawings when the
  # shared samples sit beside the checkout.
  scripts/wine-run.sh build-windows/bin/penmorph-make-examples.exe "Z:${work//\//\\}\\examples" \
    >/dev/null
  mv "$work/examples/"* "$work/図面/平面図/"
  rmdir "$work/examples"
  samples=../shared/samples
  if [ -d "$samples" ]; then
    find "$samples" -maxdepth 1 -iname '*.jww' -exec cp {} "$work/図面/平面図/" \;
    find "$samples" -maxdepth 1 \( -iname '*.jws' -o -iname '*.jwk' \) \
      -exec cp {} "$work/図面/シンボル/" \;
  fi
  # A layout a user would have after widening the columns; beside the program, so it is used.
  printf '[Form]\r\nF1_X=40\r\nF1_Y=30\r\nF1_W=1200\r\nF1_H=760\r\nF2_X=200\r\nF2_Y=120\r\nF3_X=200\r\nF3_Y=120\r\n[Comp]\r\nF1P1=180\r\nF1S0=200\r\nF1S1=72\r\nF1S2=48\r\nF1S3=240\r\nF1S4=150\r\nF1S5=40\r\n[Set]\r\nFLD1=Z:%s\\図面\\\r\n[JWW]\r\nC2=8\r\nC3=6\r\n' \
    "${work//\//\\}" >"$work/program/penmorph.ini"

  /usr/lib/wine/wineserver -k 2>/dev/null || true
  xvfb-run -a -s "-screen 0 1280x800x24" bash "$0" --on-display
  /usr/lib/wine/wineserver -k 2>/dev/null || true
  names="window jww-settings jwc-settings question"
  [ -d ../shared/samples ] && names="$names preview"  # the preview shows a real drawing
  for name in $names; do
    [ -s "$out/$name.png" ] || { echo "no picture of the $name" >&2; exit 1; }
  done
  ls "$out"
  exit 0
fi

# On the display: the driver prints "shot NAME LEFT TOP WIDTH HEIGHT" and waits for an answer.
windows_path() { echo "Z:${1//\//\\}"; }
coproc DRIVER {
  scripts/wine-run.sh build-windows/bin/penmorph-win-screenshots.exe \
    "$(windows_path "$work/program/penmorph.exe")" "$(windows_path "$work/図面")" 1 \
    "$(windows_path "$work/変換後")"
}
driver_pid=$DRIVER_PID
while read -r word name left top width height <&"${DRIVER[0]}"; do
  [ "$word" = shot ] || continue
  height="${height%$'\r'}"  # the program writes its lines in text mode
  # The frame's shadow and a margin around it.
  import -window root -crop "$((width + 16))x$((height + 16))+$((left > 8 ? left - 8 : 0))+$((top > 8 ? top - 8 : 0))" \
    "$out/$name.png"
  echo "saved $out/$name.png"
  echo ok >&"${DRIVER[1]}"
done
wait "$driver_pid"
