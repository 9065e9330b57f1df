#!/usr/bin/env bash
# Installs what building and testing Penmorph needs on Debian 12, when it is missing.
set -euo pipefail

# Qt 6 for the window (qt6-qpa-plugins brings the offscreen platform the window tests run on
# and the X11 one, qt6-translations-l10n Qt's own texts in Japanese); a Japanese font so the
# captions render; bash-completion to try penmorph-cli's completion; nlohmann-json and CLI11,
# header-only, for penmorph-cli's JSON and options.
packages=(cmake ninja-build g++ pkg-config libgtest-dev libgmock-dev qt6-base-dev qt6-qpa-plugins
  qt6-translations-l10n fonts-ipafont bash-completion nlohmann-json3-dev libcli11-dev)
# "fuzz": clang with libFuzzer and its sanitizer runtimes, for scripts/fuzz.sh (and the headers
# above, which the command line in the same build needs).
# "windows": the MinGW-w64 cross compiler, Wine to run its programs (with its own fonts, for the
# title bars), GoogleTest's sources, Xvfb, openbox and ImageMagick for the Windows window and its
# pictures (openbox maximises it as a desktop would), NSIS and zip for its packages, a Japanese
# locale so that Wine speaks Japanese in the pictures, and the same JSON and option headers as
# the Linux build.
# "deb": the Linux build plus what makes and checks the Debian package: dpkg-shlibdeps
# (dpkg-dev) and file for CPack's dependency scan, rsvg-convert for the icon's PNG sizes, lintian,
# the validators of the desktop entry and the AppStream file, and the MIME database and gio to
# ask it.
case "${1:-}" in
  fuzz) packages=(cmake ninja-build clang-14 libclang-rt-14-dev nlohmann-json3-dev libcli11-dev) ;;
  windows) packages=(cmake ninja-build g++-mingw-w64-x86-64-posix wine64 fonts-wine googletest xvfb
    xauth openbox fonts-ipafont imagemagick nsis zip locales nlohmann-json3-dev libcli11-dev) ;;
  deb) packages+=(dpkg-dev file librsvg2-bin lintian desktop-file-utils appstream
    shared-mime-info libglib2.0-bin) ;;
esac

# Wine takes its language from the locale, which must exist.
japanese_locale() {
  [ "${1:-}" = windows ] || return 0
  locale -a 2>/dev/null | grep -qi '^ja_JP.utf8$' && return 0
  local run=()
  [ "$(id -u)" -eq 0 ] || run=(sudo)
  "${run[@]}" sed -i 's/^# *ja_JP.UTF-8 UTF-8/ja_JP.UTF-8 UTF-8/' /etc/locale.gen
  "${run[@]}" locale-gen >/dev/null
}

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done
if [ ${#missing[@]} -eq 0 ]; then
  japanese_locale "${1:-}"
  exit 0
fi

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
japanese_locale "${1:-}"
