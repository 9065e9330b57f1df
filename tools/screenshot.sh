#!/usr/bin/env bash
# Takes pictures of the window - at its first start, listing a folder of example files, maximised
# by a window manager (openbox) - of the preview of a plan with its hidden layers left out and
# shown, of the three settings dialogs and the box refusing a value, of the question before a tree
# run and the reports of runs and of a "基準チェック", on a virtual X display, and of the first
# screen of the user's manual
# (with chromium, when it is installed). The pictures land in build/screenshots/.
# PENMORPH_BUILD_DIR names another build folder, already built, to take them from (and into its
# screenshots/).
set -euo pipefail
cd "$(dirname "$0")/.."
build="${PENMORPH_BUILD_DIR:-build}"

bash scripts/install-deps.sh
missing=()
command -v xvfb-run >/dev/null 2>&1 || missing+=(xvfb xauth)
command -v openbox >/dev/null 2>&1 || missing+=(openbox)
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  if [ "$(id -u)" -eq 0 ]; then
    apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"
  elif command -v sudo >/dev/null 2>&1; then
    sudo apt-get update -qq && sudo DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"
  else
    echo "${missing[*]} missing; install them as root (apt-get install ${missing[*]})." >&2
    exit 1
  fi
fi
[ -n "${PENMORPH_BUILD_DIR:-}" ] || bash scripts/build.sh

out=$build/screenshots
folder="$out/図面"
rm -rf "$out"
mkdir -p "$folder/平面図" "$folder/立面図/旧版" "$folder/シンボル" "$folder/.hidden"
"$build/bin/penmorph-make-examples" --layers "$folder/平面図" >/dev/null
# Real drawings, when the shared samples sit beside the checkout: copied into the build folder.
samples=../shared/samples
if [ -d "$samples" ]; then
  find "$samples" -maxdepth 1 -iname '*.jww' -exec cp {} "$folder/平面図/" \;
  find "$samples" -maxdepth 1 \( -iname '*.jws' -o -iname '*.jwk' \) -exec cp {} "$folder/シンボル/" \;
fi

# An archive big enough for a picture of a tree run in progress: the examples and samples again
# in 60 folders.
for ((i = 0; i < 60; ++i)); do
  mkdir -p "$folder/アーカイブ/$((i / 10))/$i"
  cp "$folder/平面図/"* "$folder/シンボル/"* "$folder/アーカイブ/$((i / 10))/$i/" 2>/dev/null || true
done
# Outputs of an earlier run: the tree run's question counts them, and keeps them as .BAK.
mkdir -p "$out/変換先/平面図"
cp "$folder/平面図/"* "$out/変換先/平面図/"

# A layout a user would have after widening the columns (the window writes it back on close).
cat >"$out/penmorph.ini" <<'INI'
[Form]
F1_X=0
F1_Y=0
F1_W=1000
F1_H=560
[Comp]
F1P1=180
F1S0=260
F1S1=72
F1S2=48
F1S3=240
F1S4=150
F1S5=40
INI

# openbox decorates, places and maximises the windows, as a desktop would.
# shellcheck disable=SC2016  # the inner shell expands them
xvfb-run -a -s "-screen 0 1280x800x24" bash -c \
  'openbox >/dev/null 2>&1 & wm=$!; sleep 1; QT_QPA_PLATFORM=xcb "$@"; status=$?; kill $wm; exit $status' \
  snapshot "$build/bin/penmorph-ui-snapshot" "$out" "$folder" 平面図

# The manual's first screen, as "使い方" opens it in a browser.
manual="$PWD/$build/bin/manual/penmorph-manual.html"
if command -v chromium >/dev/null 2>&1 && [ -f "$manual" ]; then
  sandbox=()
  [ "$(id -u)" -ne 0 ] || sandbox=(--no-sandbox)  # chromium refuses root with its sandbox
  chromium --headless "${sandbox[@]}" --disable-gpu --hide-scrollbars --window-size=1280,800 \
    --screenshot="$PWD/$out/manual.png" "file://$manual" 2>/dev/null
  echo "saved $out/manual.png"
else
  echo "no picture of the manual: chromium or $manual is missing" >&2
fi
