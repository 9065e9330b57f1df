#!/usr/bin/env bash
# Configures and builds into ./build (two compile jobs: the machines have two cores).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "${PENMORPH_JOBS:-2}"
