#!/usr/bin/env bash
# Gives the Wine prefix Japanese fonts: the IPA fonts (Debian: fonts-ipafont) linked into its
# Fonts folder, and standing in for the Japanese fonts of Windows, so that the window's captions
# are drawn and not shown as boxes. Run with WINEPREFIX set; the prefix must exist.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
: "${WINEPREFIX:?WINEPREFIX must be set}"
fonts="$WINEPREFIX/drive_c/windows/Fonts"
mkdir -p "$fonts"
# Marlett (fonts-wine) draws the title bars' buttons.
for font in /usr/share/fonts/opentype/ipafont-gothic/ipag.ttf \
  /usr/share/fonts/opentype/ipafont-gothic/ipagp.ttf /usr/share/wine/fonts/marlett.ttf; do
  [ -f "$font" ] && ln -sfn "$font" "$fonts/$(basename "$font")"
done

# regedit reads a UTF-16 file for names outside ASCII.
reg="$WINEPREFIX/penmorph-fonts.reg"
{
  printf 'Windows Registry Editor Version 5.00\r\n\r\n'
  printf '[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n'
  for name in "Yu Gothic UI" "Meiryo UI" "MS UI Gothic" "MS PGothic" "ＭＳ Ｐゴシック" \
    "MS Shell Dlg" "MS Shell Dlg 2" "Tahoma" "Segoe UI"; do
    printf '"%s"="IPAPGothic"\r\n' "$name"
  done
  for name in "MS Gothic" "ＭＳ ゴシック"; do
    printf '"%s"="IPAGothic"\r\n' "$name"
  done
} | iconv -f UTF-8 -t UTF-16LE | { printf '\xff\xfe'; cat; } >"$reg"
"$root/scripts/wine-run.sh" regedit /S "Z:${reg//\//\\}" >/dev/null 2>&1
/usr/lib/wine/wineserver -w || true
