#!/usr/bin/env bash
# The command line without any display: help, version, usage errors, a
# batch macro, joining a scrolled series and reading text, each with the
# exit status it promises.
BIN=$1
source "$(dirname "$0")/lib.sh"
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
export XDG_DATA_HOME="$E2E_TMP/data" XDG_CONFIG_HOME="$E2E_TMP/config" XDG_RUNTIME_DIR="$E2E_TMP/run"
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
cd "$E2E_TMP"

status() { set +e; "$@" >out.txt 2>err.txt; echo $?; set -e; }

[ "$(status "$BIN" --help)" = 0 ] || fail "--help: $(cat err.txt)"
for o in --macro --join --ocr --version; do grep -q -- "$o" out.txt || fail "--help does not name $o"; done
[ "$(status "$BIN" --version)" = 0 ] && grep -q '^varnel [0-9]' out.txt || fail "--version: $(cat out.txt err.txt)"
for args in "--bogus" "a.png b.png" "--join out.png one.png" "--ocr" "--macro name"; do
  # shellcheck disable=SC2086
  [ "$(status "$BIN" $args)" = 2 ] || fail "'$args' is not a usage error: $(cat err.txt)"
  grep -q '^usage: varnel' err.txt || fail "'$args' shows no usage"
done

# A stored macro runs on a file without a display.
USER_DIR="$XDG_DATA_HOME/Quillon/varnel"
write_user_xml "$USER_DIR" "   <マクロ>" "      <COMMAND>[grey]~色数⇒ｸﾞﾚｰ~作業ﾌｫﾙﾀﾞ⇒連番をつけて保存</COMMAND>" "   </マクロ>"
convert -size 40x30 xc:'rgb(200,40,90)' colour.png
[ "$(status "$BIN" --macro grey colour.png)" = 0 ] || fail "--macro: $(cat out.txt err.txt)"
ls "$USER_DIR/Temp/"*.bmp >/dev/null 2>&1 || fail "the batch macro saved nothing"
[ "$(status "$BIN" --macro nothing colour.png)" = 2 ] || fail "an unknown macro is not exit 2"

# A page captured at three uneven scrolls joins back into the page.
convert -seed 7 -size 160x420 plasma:fractal -depth 8 page.png
convert page.png -crop 160x200+0+0 +repage a.bmp
convert page.png -crop 160x200+0+77 +repage b.bmp
convert page.png -crop 160x200+0+220 +repage c.bmp
[ "$(status "$BIN" --join joined.png a.bmp b.bmp c.bmp)" = 0 ] || fail "--join: $(cat err.txt)"
[ "$(compare -metric AE joined.png page.png null: 2>&1)" = 0 ] || fail "the joined picture is not the page"
[ "$(status "$BIN" --join gap.png a.bmp c.bmp)" = 1 ] || fail "no overlap is not exit 1"
grep -q 'a.bmp' err.txt && grep -q 'c.bmp' err.txt || fail "the refusal does not name the two files: $(cat err.txt)"
[ -e gap.png ] && fail "a refused join wrote a file"
[ "$(status "$BIN" --join bad.png a.bmp missing.bmp)" = 1 ] || fail "an unreadable picture is not exit 1"
grep -q 'missing.bmp' err.txt || fail "the unreadable file is not named"

# Reading text: without tesseract the user learns how to install it.
[ "$(status env PATH="$E2E_TMP/none" "$BIN" --ocr colour.png)" = 1 ] || fail "missing tesseract is not exit 1"
grep -q 'apt-get install tesseract-ocr tesseract-ocr-jpn tesseract-ocr-eng' err.txt || fail "no install hint: $(cat err.txt)"
if ! command -v tesseract >/dev/null; then
  echo "SKIP: tesseract is not installed; reading itself not tested"
  exit 0
fi
convert -size 520x90 xc:white -fill black -font /usr/share/fonts/opentype/ipafont-gothic/ipag.ttf \
  -pointsize 16 -annotate +12+30 'Varnel 画像をつなぐ' -annotate +12+62 'Screenshot 文字の読み取り' text.png
[ "$(status "$BIN" --ocr text.png)" = 0 ] || fail "--ocr: $(cat err.txt)"
for w in Varnel 画像をつなぐ Screenshot 文字の読み取り; do grep -q "$w" out.txt || fail "'$w' not read: $(cat out.txt)"; done
[ "$(status "$BIN" --ocr text.png missing.png)" = 1 ] || fail "an unreadable file is not exit 1"
grep -q 'Varnel' out.txt || fail "the readable file was not printed"
echo "PASS"
