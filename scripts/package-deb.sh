#!/usr/bin/env bash
# Builds the Debian package build-deb/package/penmorph_VERSION_amd64.deb (VERSION is the CMake
# project's) from a Release build with Debian's hardening flags, and checks it with lintian,
# which must report no errors (its warnings are printed).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh deb

# The dates in the package's files: the last commit's, so that a commit always packages the same.
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
  SOURCE_DATE_EPOCH="$(git log -1 --format=%ct 2>/dev/null || date +%s)"
fi
export SOURCE_DATE_EPOCH

# Debian's compiler and linker flags, hardening included; CMake reads CXXFLAGS and LDFLAGS on
# its first configure (not CPPFLAGS, which carries _FORTIFY_SOURCE).
if [ ! -f build-deb/CMakeCache.txt ]; then
  export DEB_BUILD_MAINT_OPTIONS=hardening=+all
  CXXFLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)"
  LDFLAGS="$(dpkg-buildflags --get LDFLAGS)"
  export CXXFLAGS LDFLAGS
fi
cmake -S . -B build-deb -G Ninja -DCMAKE_BUILD_TYPE=Release -DPENMORPH_BUILD_TESTS=OFF \
  -DPENMORPH_PACKAGE=ON >/dev/null
cmake --build build-deb -j "${PENMORPH_JOBS:-2}"

rm -rf build-deb/package
(cd build-deb && cpack -G DEB >/dev/null)
deb="$(ls build-deb/package/penmorph_*_amd64.deb)"

echo "lintian $deb:"
lintian --fail-on error --display-info "$deb" || {
  echo "lintian reports errors in $deb" >&2
  exit 1
}
ls -l "$deb"
