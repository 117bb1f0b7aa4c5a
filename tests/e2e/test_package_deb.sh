#!/usr/bin/env bash
# The Debian package: every installed file in its freedesktop place, the
# run-time dependencies computed from the program's libraries, and metadata
# that the desktop's validators accept.
BIN=$1
source "$(dirname "$0")/lib.sh"
BUILD=$(cd "$(dirname "$BIN")/.." && pwd)
command -v dpkg-shlibdeps >/dev/null || { echo "SKIP: dpkg-dev is not installed"; echo "0 passed, 0 failed, 1 skipped"; exit 0; }
(cd "$E2E_TMP" && cpack -G DEB --config "$BUILD/CPackConfig.cmake" -B "$E2E_TMP/pkg") >"$E2E_TMP/cpack.log" 2>&1 \
  || { cat "$E2E_TMP/cpack.log"; fail "cpack failed"; }
DEB=$(ls "$E2E_TMP"/pkg/varnel_*.deb 2>/dev/null | head -1)
[ -n "$DEB" ] || fail "no package built"
files=$(dpkg-deb -c "$DEB" | awk '{print $6}')
for f in ./usr/bin/varnel ./usr/share/varnel/apData/arrow.bmp ./usr/share/doc/varnel/varnel.htm \
         ./usr/share/doc/varnel/en/varnel.htm ./usr/share/applications/org.quillon.Varnel.desktop \
         ./usr/share/metainfo/org.quillon.Varnel.metainfo.xml ./usr/share/icons/hicolor/scalable/apps/org.quillon.Varnel.svg; do
  grep -qx "$f" <<<"$files" || fail "$f missing from the package"
done
grep -q 'UserData.ini' <<<"$files" && fail "the package ships a UserData.ini"
depends=$(dpkg-deb -f "$DEB" Depends)
echo "Depends: $depends"
mkdir -p "$E2E_TMP/x" && dpkg-deb -x "$DEB" "$E2E_TMP/x"
# Computed from the libraries the packaged program links (a Release build
# links fewer than a debug one), not typed by hand: each one's package.
needed=$(objdump -p "$E2E_TMP/x/usr/bin/varnel" | awk '/NEEDED/ {print $2}')
depends_on() { tr ',' '\n' <<<"$depends" | awk '{print $1}' | grep -qxF "$1"; }
for p in libqt6widgets6 libqt6gui6 libqt6core6 libc6; do
  depends_on "$p" || fail "Depends lacks $p"
done
resolved=$(ldd "$E2E_TMP/x/usr/bin/varnel")
for lib in $needed; do
  # "lib => path", or for the dynamic loader the path alone.
  path=$(awk -v l="$lib" '$1 == l && $2 == "=>" {print $3} $1 ~ ("/" l "$") {print $1}' <<<"$resolved" | head -1)
  [ -n "$path" ] || fail "$lib is not found on this system"
  # The package database may name the path with or without the /usr merge.
  p=$( (dpkg -S "$path" || dpkg -S "$(readlink -f "$path")" || dpkg -S "/usr$path") 2>/dev/null | head -1 | cut -d: -f1)
  [ -n "$p" ] || fail "no package holds $lib"
  depends_on "$p" || fail "Depends lacks $p (for $lib)"
done
# Loaded as plugins at run time, so named by hand.
for p in libqt6svg6 qt6-image-formats-plugins qt6-translations-l10n; do
  grep -q "$p" <<<"$depends" || fail "Depends lacks $p"
done
# Reading text runs tesseract: recommended, with both languages; so is Qt's
# Wayland plugin, for Wayland desktops without XWayland.
recommends=$(dpkg-deb -f "$DEB" Recommends)
for p in tesseract-ocr tesseract-ocr-jpn tesseract-ocr-eng qt6-wayland; do
  grep -qE "(^|, )$p(,|$)" <<<"$recommends" || fail "Recommends lacks $p"
done
desktop-file-validate "$E2E_TMP/x/usr/share/applications/org.quillon.Varnel.desktop" | grep -v '^.*hint:' | grep . && fail "desktop entry invalid"
grep -q '^Exec=varnel %f$' "$E2E_TMP/x/usr/share/applications/org.quillon.Varnel.desktop" || fail "Exec line"
grep -q '^Categories=Graphics;Utility;$' "$E2E_TMP/x/usr/share/applications/org.quillon.Varnel.desktop" || fail "categories"
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net "$E2E_TMP/x/usr/share/metainfo/org.quillon.Varnel.metainfo.xml" >"$E2E_TMP/as.log" 2>&1 \
    || { cat "$E2E_TMP/as.log"; fail "metainfo invalid"; }
fi
echo "1 passed, 0 failed"
