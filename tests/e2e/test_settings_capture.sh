#!/usr/bin/env bash
# A prepared "User.xml" (after-capture action 2, colour reduction grey 8 bit)
# makes every capture a numbered 8-bit grey BMP while the window stays hidden;
# the exit writes the options back.
BIN=$1
source "$(dirname "$0")/lib.sh"
start_x
start_tray

export XDG_DATA_HOME="$E2E_TMP/data"
USER_DIR="$XDG_DATA_HOME/Quillon/varnel"
mkdir -p "$USER_DIR"
write_user_xml "$USER_DIR" "   <ﾕｰｻﾞｰ>" \
  "      <ｷｬﾌﾟﾁｬ後表示>2</ｷｬﾌﾟﾁｬ後表示>" "      <ｷｬﾌﾟﾁｬ後減色>4</ｷｬﾌﾟﾁｬ後減色>" \
  "      <ﾏｳｽﾎﾟｲﾝﾀ>取込まない</ﾏｳｽﾎﾟｲﾝﾀ>" "   </ﾕｰｻﾞｰ>"

start_app
key ctrl+q
wait_for "! is_viewable" 5 || fail "window still shown after Ctrl+Q"
for c in red "rgb(40,160,220)"; do
  make_picture "$E2E_TMP/in.png" "$c"
  offer_png "$E2E_TMP/in.png"
  sleep 0.7
done
wait_for "[ -f '$WORK/002.bmp' ]" 10 || { ls -la "$WORK"; fail "captures not saved"; }
for f in "$WORK/001.bmp" "$WORK/002.bmp"; do
  bpp=$(od -An -tu2 -j28 -N2 "$f" | tr -d ' ')
  [ "$bpp" = 8 ] || fail "$f has $bpp bits per pixel, not 8"
  [ "$(identify -format '%[type]' "$f")" = Grayscale ] || fail "$f is not grey"
done
is_viewable && fail "window shown although the action only saves"

# Back to the window and out through the exit item: the options are kept.
ICON=$(xwininfo -root -tree | grep '"Varnel": ("varnel" "Varnel")  22x22' | awk '{print $1}')
xdotool mousemove --window "$ICON" 10 10 click 1
wait_for is_viewable 5 || fail "the tray icon did not bring the window back"
key alt+f x
wait_for "! kill -0 $APP_PID" 10 || fail "program did not end through the exit item"
text=$(iconv -f CP932 -t UTF-8 "$USER_DIR/User.xml")
grep -q '<ｷｬﾌﾟﾁｬ後表示>2</ｷｬﾌﾟﾁｬ後表示>' <<<"$text" || fail "after-capture action not kept"
grep -q '<ｷｬﾌﾟﾁｬ後減色>4</ｷｬﾌﾟﾁｬ後減色>' <<<"$text" || fail "colour reduction not kept"
grep -q '<ﾏｳｽﾎﾟｲﾝﾀ>取込まない</ﾏｳｽﾎﾟｲﾝﾀ>' <<<"$text" || fail "pointer option not kept"
grep -q '<Width>' <<<"$text" || fail "window group not written"
echo "1 passed, 0 failed"
