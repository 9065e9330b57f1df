#!/usr/bin/env bash
# Builds the Windows programs and runs every Windows test under Wine: the core's test programs
# and the window's UI test (on a virtual display), then the same conversions by the Linux and
# the Windows command line, compared byte for byte; last the packages are built and the
# installer is installed and uninstalled silently.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build-windows.sh

export WINEPREFIX="$PWD/build-windows/wine"
export WINEDEBUG=-all
scripts/wine-run.sh cmd /c exit >/dev/null 2>&1 || true  # makes the prefix on first use

# A drive letter and a network share of Wine's own, for the tests of drive roots and UNC paths.
mapped="$PWD/build-windows/mapped"
rm -rf "$mapped"
mkdir -p "$mapped/drive" "$mapped/share" "$WINEPREFIX/dosdevices/unc/localhost"
ln -sfn "$mapped/drive" "$WINEPREFIX/dosdevices/p:"
ln -sfn "$mapped/share" "$WINEPREFIX/dosdevices/unc/localhost/penmorph"
export PENMORPH_TEST_DRIVE='P:\'
export PENMORPH_TEST_SHARE='\\localhost\penmorph\'

# A virtual display: Wine's console (for the console and Ctrl+C tests) needs one. Wine's server
# is ended before and after, so that no Wine process outlives the display it was started on.
/usr/lib/wine/wineserver -k 2>/dev/null || true
xvfb-run -a ctest --test-dir build-windows --output-on-failure
/usr/lib/wine/wineserver -k 2>/dev/null || true
bash tests/compare-platforms.sh
bash scripts/package-windows.sh
bash tests/package-windows-test.sh
