#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program's window.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
build/bin/penmorph-make-examples build/examples >/dev/null
echo "Example files to try the window on are in $(pwd)/build/examples."
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display to show the window on (DISPLAY is not set)." >&2
  echo "To look at it anyway: bash tools/screenshot.sh (pictures in build/screenshots/)." >&2
  exit 1
fi
exec build/bin/penmorph
