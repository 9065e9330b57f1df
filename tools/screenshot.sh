#!/usr/bin/env bash
# Takes pictures of the window listing a folder of example files, and of both settings dialogs,
# on a virtual X display. The pictures land in build/screenshots/.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
if ! command -v xvfb-run >/dev/null 2>&1; then
  echo "Installing: xvfb"
  if [ "$(id -u)" -eq 0 ]; then
    apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq xvfb xauth
  elif command -v sudo >/dev/null 2>&1; then
    sudo apt-get update -qq && sudo DEBIAN_FRONTEND=noninteractive apt-get install -y -qq xvfb xauth
  else
    echo "xvfb is missing; install it as root (apt-get install xvfb)." >&2
    exit 1
  fi
fi
bash scripts/build.sh

out=build/screenshots
folder="$out/図面"
rm -rf "$out"
mkdir -p "$folder/平面図" "$folder/立面図/旧版" "$folder/シンボル" "$folder/.hidden"
build/bin/penmorph-make-examples "$folder/平面図" >/dev/null
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

xvfb-run -a -s "-screen 0 1280x800x24" env QT_QPA_PLATFORM=xcb \
  build/bin/penmorph-ui-snapshot "$out" "$folder" 平面図
