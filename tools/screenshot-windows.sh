#!/usr/bin/env bash
# Takes pictures of penmorph.exe under Wine on a virtual X display: the window at its first start
# (no ini file), listing a folder of example drawings and maximised, the preview of a real drawing
# and of an example plan with hidden layers (left out, then shown by the box),
# the three settings dialogs and the box refusing a value, the question before a tree run, the
# report after "中止" and the report of a "基準チェック". penmorph.exe runs from a folder of its
# own with a portable ini file;
# tools/win_screenshots.cpp drives it and this script takes each picture when the driver says.
# Then once more without Wine's desktop, under openbox, maximised as a window manager does it.
# The pictures land in build-windows/screenshots/. PENMORPH_WINDOWS_BUILD_DIR names another
# Windows build folder, already built, to take them from (and into its screenshots/).
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"
build="${PENMORPH_WINDOWS_BUILD_DIR:-build-windows}"
out="$root/$build/screenshots"
work="$root/$build/screenshot-run"

# Wine runs the programs inside a desktop window of its own, which draws the title bars.
export WINEPREFIX="$root/$build/wine-shots"
export WINEDEBUG=-all
# Wine in Japanese, as the program's users see Windows (scripts/install-deps.sh makes the locale).
export LANG=ja_JP.UTF-8

# Wine's own desktop on or off ("-": the windows are the window manager's).
wine_desktop() {
  local reg="$WINEPREFIX/penmorph-desktop.reg" value='"Default"'
  [ "$1" = on ] || value=-
  printf 'REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Wine\\Explorer]\r\n"Desktop"=%s\r\n\r\n[HKEY_CURRENT_USER\\Software\\Wine\\Explorer\\Desktops]\r\n"Default"="1280x800"\r\n' \
    "$value" >"$reg"
  scripts/wine-run.sh regedit /S "Z:${reg//\//\\}" >/dev/null 2>&1
  /usr/lib/wine/wineserver -w || true
}

if [ "${1:-}" != "--on-display" ]; then
  [ -n "${PENMORPH_WINDOWS_BUILD_DIR:-}" ] || bash scripts/build-windows.sh
  if ! command -v import >/dev/null || ! command -v openbox >/dev/null; then
    bash scripts/install-deps.sh windows
  fi
  rm -rf "$out" "$work"
  mkdir -p "$out" "$work/program" "$work/first" "$work/図面/平面図" "$work/図面/立面図/旧版" \
    "$work/図面/シンボル" "$work/変換後/平面図"
  cp "$build/bin/penmorph.exe" "$work/program/"
  cp "$build/bin/penmorph.exe" "$work/first/"

  scripts/wine-run.sh cmd /c exit >/dev/null 2>&1 || true  # makes the prefix on first use
  bash scripts/wine-fonts.sh
  wine_desktop on
  # The first start finds no ini file, neither beside the program nor in the user's folder.
  rm -rf "$WINEPREFIX/drive_c/users/"*/AppData/Roaming/[Pp]enmorph

  # The example drawings (the tool takes an ASCII folder name), and real drawings when the
  # shared samples sit beside the checkout.
  scripts/wine-run.sh "$build/bin/penmorph-make-examples.exe" --layers \
    "Z:${work//\//\\}\\examples" \
    >/dev/null
  mv "$work/examples/"* "$work/図面/平面図/"
  rmdir "$work/examples"
  samples=../shared/samples
  if [ -d "$samples" ]; then
    find "$samples" -maxdepth 1 -iname '*.jww' -exec cp {} "$work/図面/平面図/" \;
    find "$samples" -maxdepth 1 \( -iname '*.jws' -o -iname '*.jwk' \) \
      -exec cp {} "$work/図面/シンボル/" \;
  fi
  # A tree long enough to stop its run: the drawings again in 60 folders. Outputs of an earlier
  # run: the question counts them, and the run keeps them as .BAK.
  for ((i = 0; i < 60; ++i)); do
    mkdir -p "$work/図面/アーカイブ/$((i / 10))/$i"
    cp "$work/図面/平面図/"* "$work/図面/シンボル/"* "$work/図面/アーカイブ/$((i / 10))/$i/" \
      2>/dev/null || true
  done
  cp "$work/図面/平面図/"* "$work/変換後/平面図/"
  # A layout a user would have after widening the columns; beside the program, so it is used.
  printf '[Form]\r\nF1_X=40\r\nF1_Y=30\r\nF1_W=1200\r\nF1_H=760\r\nF2_X=200\r\nF2_Y=120\r\nF3_X=200\r\nF3_Y=120\r\n[Comp]\r\nF1P1=180\r\nF1S0=200\r\nF1S1=72\r\nF1S2=48\r\nF1S3=240\r\nF1S4=150\r\nF1S5=40\r\n[Set]\r\nFLD1=Z:%s\\図面\\\r\n[JWW]\r\nC2=8\r\nC3=6\r\n[LAYER]\r\n0-1=1-1\r\n0-2=1-1\r\n0-3=1-2\r\n[LAYERNAME]\r\n1-1=壁\r\n1-2=建具\r\n[GROUPNAME]\r\n1=平面図\r\n[LAYERBYNAME]\r\n*壁*=0-2\r\n通り芯=0-8\r\n寸法*=0-9\r\n' \
    "${work//\//\\}" >"$work/program/penmorph.ini"

  /usr/lib/wine/wineserver -k 2>/dev/null || true
  xvfb-run -a -s "-screen 0 1280x800x24" bash "$0" --on-display
  /usr/lib/wine/wineserver -k 2>/dev/null || true
  wine_desktop off
  xvfb-run -a -s "-screen 0 1280x800x24" bash "$0" --on-display --maximised
  /usr/lib/wine/wineserver -k 2>/dev/null || true
  names="first-start window jww-settings jwc-settings layer-settings jww-refusal question report"
  names="$names maximised maximised-openbox preview-layers preview-hidden-layers check-report"
  names="$names survey-report survey-names"
  [ -d ../shared/samples ] && names="$names preview"  # the preview shows a real drawing
  for name in $names; do
    [ -s "$out/$name.png" ] || { echo "no picture of the $name" >&2; exit 1; }
  done
  ls "$out"
  exit 0
fi

# On the display: the driver prints "shot NAME LEFT TOP WIDTH HEIGHT" and waits for an answer.
windows_path() { echo "Z:${1//\//\\}"; }
drive() {
  coproc DRIVER { scripts/wine-run.sh "$build/bin/penmorph-win-screenshots.exe" "$@"; }
  local driver_pid=$DRIVER_PID word name left top width height
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
}
program="$(windows_path "$work/program/penmorph.exe")"
if [ "${2:-}" = --maximised ]; then
  openbox >/dev/null 2>&1 &
  wm=$!
  sleep 1
  drive --maximised "$program" "$(windows_path "$work/図面/平面図/room.jww")"
  kill $wm
else
  # The search folder's third subfolder, 平面図, is listed (アーカイブ and シンボル come first).
  drive "$program" "$(windows_path "$work/図面")" 2 "$(windows_path "$work/変換後")" \
    "$(windows_path "$work/first/penmorph.exe")"
fi
