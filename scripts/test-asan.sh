#!/usr/bin/env bash
# Builds every test with AddressSanitizer and UndefinedBehaviorSanitizer into ./build-asan and
# runs them; any report (a memory error, undefined behaviour or a leak) fails the test it comes
# from.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPENMORPH_SANITIZE=ON \
  >/dev/null
cmake --build build-asan -j "${PENMORPH_JOBS:-2}"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
ctest --test-dir build-asan --output-on-failure -j 2
