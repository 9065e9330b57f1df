#!/usr/bin/env bash
# Installs what building and testing Penmorph needs on Debian 12, when it is missing.
set -euo pipefail

# Qt 6 for the window (qt6-qpa-plugins brings the offscreen platform the window tests run on
# and the X11 one, qt6-translations-l10n Qt's own texts in Japanese); a Japanese font so the
# captions render.
packages=(cmake ninja-build g++ pkg-config libgtest-dev libgmock-dev qt6-base-dev qt6-qpa-plugins
  qt6-translations-l10n fonts-ipafont)
# "fuzz": clang with libFuzzer and its sanitizer runtimes, for scripts/fuzz.sh.
# "windows": the MinGW-w64 cross compiler, Wine to run its programs, GoogleTest's sources, and
# Xvfb for the Windows window.
case "${1:-}" in
  fuzz) packages=(cmake ninja-build clang-14 libclang-rt-14-dev) ;;
  windows) packages=(cmake ninja-build g++-mingw-w64-x86-64-posix wine64 googletest xvfb xauth
    fonts-ipafont) ;;
esac

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
elif command -v sudo >/dev/null 2>&1; then
  sudo apt-get update -qq
  sudo DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
else
  echo "Missing packages: ${missing[*]}; install them as root (apt-get install ${missing[*]})." >&2
  exit 1
fi
