#!/usr/bin/env bash
# Runs a Windows program under Wine in the project's own prefix (build-windows/wine), made on
# first use, with Wine's own messages off. Used by ctest and by scripts/test-windows.sh.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
export WINEPREFIX="${WINEPREFIX:-$root/build-windows/wine}"
export WINEDEBUG="${WINEDEBUG:--all}"
# No Mono or Gecko installer dialogs: the programs need neither.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
wine="${PENMORPH_WINE:-/usr/lib/wine/wine64}"
if [ ! -d "$WINEPREFIX/drive_c" ]; then
  mkdir -p "$WINEPREFIX"
  "$wine" wineboot --init >/dev/null 2>&1 || true
  /usr/lib/wine/wineserver -w || true
fi
exec "$wine" "$@"
