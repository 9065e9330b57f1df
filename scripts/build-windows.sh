#!/usr/bin/env bash
# Installs what the Windows build needs when it is missing, then cross-builds penmorph-cli.exe
# and the test programs into ./build-windows (two compile jobs: the machines have two cores).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh windows
cmake -S . -B build-windows -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64-x86_64.cmake" \
  -DPENMORPH_GTEST_SOURCE_DIR=/usr/src/googletest >/dev/null
cmake --build build-windows -j "${PENMORPH_JOBS:-2}"
