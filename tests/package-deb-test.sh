#!/usr/bin/env bash
# Builds the Debian package, installs it on this machine with apt-get, uses what it installed
# (the command line from /usr/bin, the window offscreen, the MIME types, the desktop entry, the
# AppStream file, the manual pages, the icon, the completion, the user's manual), purges it and
# checks that nothing of it is left but the user's own ini file. Runs as root (it installs); a
# failed run purges too.
set -euo pipefail
cd "$(dirname "$0")/.."
[ "$(id -u)" -eq 0 ] || {
  echo "package-deb-test: run as root (it installs the package)" >&2
  exit 1
}
bash scripts/package-deb.sh
built="$(ls build-deb/package/penmorph_*_amd64.deb)"
version="$(dpkg-deb -f "$built" Version)"
app_id="$(sed -n 's/^set(PENMORPH_APP_ID \(.*\))$/\1/p' CMakeLists.txt)"

work="$(mktemp -d)"
installed=false
finish() {
  if $installed; then
    DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq penmorph >/dev/null 2>&1 || true
  fi
  rm -rf "$work"
}
trap finish EXIT
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}
step() { echo "== $*"; }

# apt reads a local package as its own user: a folder everyone may read.
chmod 755 "$work"
deb="$work/$(basename "$built")"
cp "$built" "$deb"

if dpkg-query -W -f='${Status}' penmorph 2>/dev/null | grep -q installed; then
  DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq penmorph >/dev/null
fi
step "apt-get install $(basename "$deb")"
installed=true
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$deb" >"$work/install.log" 2>&1 || {
  cat "$work/install.log"
  exit 1
}
dpkg-query -W -f='${Package} ${Version} ${Status}\n' penmorph
dpkg-deb -f "$deb" Depends Recommends
mapfile -t package_files < <(dpkg -L penmorph)

# A user of the machine, with an ini of their own: the example settings (pens 1 and 2 swapped).
export HOME="$work/home"
export XDG_CONFIG_HOME="$HOME/.config"
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
user_ini="$XDG_CONFIG_HOME/penmorph/penmorph.ini"
mkdir -p "$(dirname "$user_ini")"
cp examples/example.set "$user_ini"
cp "$user_ini" "$work/ini-before"

step "the command line"
[ "$(command -v penmorph-cli)" = /usr/bin/penmorph-cli ] || fail "penmorph-cli is not /usr/bin's"
cli_version="$(/usr/bin/penmorph-cli --version)"
echo "$cli_version"
[ "$cli_version" = "penmorph-cli $version" ] || fail "--version says '$cli_version', the package $version"

build-deb/bin/penmorph-make-examples "$work/examples" >/dev/null
drawings=("$work"/examples/{room.jww,chair.jws,example.jwc,example.jwk})
# Drawings jw_cad wrote, beside the checkout (or the machine's shared folder) when present.
for samples_dir in ../shared/samples /work/shared/samples; do
  if [ -d "$samples_dir" ]; then
    mapfile -t samples < <(find "$samples_dir" -maxdepth 1 -type f -iname '*.jw[wsck]' | sort)
    drawings+=("${samples[@]}")
    break
  fi
done
mkdir "$work/out"
status=0
/usr/bin/penmorph-cli convert --dest "$work/out" --ini "$user_ini" "${drawings[@]}" \
  >"$work/convert.log" 2>&1 || status=$?
tail -1 "$work/convert.log"
[ "$status" -eq 0 ] || {
  cat "$work/convert.log"
  fail "convert exited with $status"
}
for drawing in "${drawings[@]}"; do
  out="$work/out/$(basename "$drawing")"
  [ -s "$out" ] || fail "no output for $drawing"
done
# The example drawings draw with pens 1 and 2, which the user's ini swaps.
for example in room.jww example.jwc; do
  cmp -s "$work/examples/$example" "$work/out/$example" && fail "$example came out unchanged"
done
/usr/bin/penmorph-cli info "$work/out/room.jww" >/dev/null || fail "info cannot read the output"

step "the window, offscreen for 4 seconds"
status=0
QT_QPA_PLATFORM=offscreen timeout 4 /usr/bin/penmorph >"$work/window.log" 2>&1 || status=$?
if [ "$status" -ne 124 ]; then
  cat "$work/window.log"
  fail "penmorph ended with $status before it was stopped"
else
  echo "still running after 4 seconds; stopped"
  sed 's/^/  penmorph said: /' "$work/window.log"
fi

step "the MIME types (gio, from the shared MIME database)"
mime_of() { gio info -a standard::content-type "$1" | sed -n 's/^ *standard::content-type: //p'; }
for pair in room.jww:x-jww chair.jws:x-jws example.jwc:x-jwc example.jwk:x-jwk; do
  file="${pair%%:*}" type="application/${pair##*:}"
  # By the name, in capitals too, and by the first bytes alone.
  cp "$work/examples/$file" "$work/named.${file##*.}"
  cp "$work/examples/$file" "$work/NAMED.$(tr a-z A-Z <<<"${file##*.}")"
  cp "$work/examples/$file" "$work/unnamed"
  for probe in "named.${file##*.}" "NAMED.$(tr a-z A-Z <<<"${file##*.}")" unnamed; do
    got="$(mime_of "$work/$probe")"
    [ "$got" = "$type" ] || fail "$probe ($file) is $got, not $type"
  done
  echo "$file: $type"
done
grep -q "^application/x-jww=.*$app_id.desktop" /usr/share/applications/mimeinfo.cache ||
  fail "the desktop database does not offer $app_id.desktop for application/x-jww"

step "desktop-file-validate, appstreamcli validate"
desktop="/usr/share/applications/$app_id.desktop"
metainfo="/usr/share/metainfo/$app_id.metainfo.xml"
desktop-file-validate "$desktop" || fail "desktop-file-validate rejects $desktop"
grep -q '^Name\[ja\]=' "$desktop" || fail "$desktop has no Japanese name"
appstreamcli validate --no-net --explain "$metainfo" || fail "appstreamcli rejects $metainfo"

step "the icon, the manual pages, the completion, the user's manual"
for size in 16 24 32 48 64 128 256; do
  png="/usr/share/icons/hicolor/${size}x${size}/apps/$app_id.png"
  file -b "$png" | grep -q "PNG image data, $size x $size," || fail "$png is not $size x $size"
done
[ -s "/usr/share/icons/hicolor/scalable/apps/$app_id.svg" ] || fail "no scalable icon"
for page in penmorph penmorph-cli; do
  [ "$(man -w "$page")" = "/usr/share/man/man1/$page.1.gz" ] || fail "man does not find $page(1)"
done
bash tests/cli-completion-test.sh || fail "the installed completion"
# The user's manual and its pictures, where the window looks for them (/usr/bin/../share/...);
# the check after the purge below finds them gone with the package's other files.
for file in docs/manual/penmorph-manual.html docs/manual/*.png; do
  [ "$file" != 'docs/manual/*.png' ] || continue  # no pictures
  installed_file="/usr/share/penmorph/manual/$(basename "$file")"
  cmp -s "$file" "$installed_file" || fail "$installed_file is not $file"
done

step "apt-get purge penmorph"
DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq penmorph >"$work/purge.log" 2>&1 || {
  cat "$work/purge.log"
  exit 1
}
installed=false
if dpkg-query -W -f='${Status}' penmorph 2>/dev/null | grep -q installed; then
  fail "dpkg still knows penmorph"
fi
left=0
for path in "${package_files[@]}"; do
  # Folders the package shared with other packages stay; none of its files, nor a folder of
  # its own (with whatever was put into it), may.
  [ -e "$path" ] || continue
  if [ ! -d "$path" ] || ! dpkg -S "$path" >/dev/null 2>&1; then
    fail "left behind: $path"
    left=$((left + 1))
  fi
done
echo "${#package_files[@]} paths of the package checked, $left left behind"
# The caches the desktop keeps forget the package too.
if grep -rl -e "$app_id" -e x-jww /usr/share/applications/mimeinfo.cache /usr/share/mime \
  2>/dev/null; then
  fail "the desktop's caches still name the package"
fi
[ ! -e /usr/bin/penmorph.ini ] || fail "the window wrote /usr/bin/penmorph.ini"
cmp -s "$work/ini-before" "$user_ini" || fail "the user's ini did not stay as it was"
echo "the user's ini stays: $user_ini"
(cd "$HOME" && find . -type f | sort)

[ "$failures" -eq 0 ] || {
  echo "package-deb-test: $failures failures"
  exit 1
}
echo "package-deb-test: $(basename "$deb") installs, works, and leaves nothing behind"
