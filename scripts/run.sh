#!/usr/bin/env bash
# Installs what is missing, builds, and converts the example folder into ./out.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
build/bin/penmorph-make-examples build/examples
mkdir -p out
status=0
build/bin/penmorph-cli convert --dest out --settings examples/example.set build/examples/* || status=$?
echo "Converted files are in ./out."
exit "$status"
