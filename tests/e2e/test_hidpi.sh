#!/usr/bin/env bash
# On a screen scaled to 200 %: a 3840 x 2160 clipboard picture is saved with
# all its pixels, and the view at "100%" shows one picture pixel per device
# pixel (a one-pixel checker board stays a one-pixel checker board).
BIN=$1
source "$(dirname "$0")/lib.sh"
export QT_SCALE_FACTOR=2
start_x
start_tray
export XDG_DATA_HOME="$E2E_TMP/data"
USER_DIR="$XDG_DATA_HOME/Quillon/varnel"
mkdir -p "$USER_DIR"
# Zoom view at 100 %; captures are saved and then shown.
write_user_xml "$USER_DIR" "   <ﾕｰｻﾞｰ>" \
  "      <ｽｹｰﾙ表示>3</ｽｹｰﾙ表示>" "      <ｷｬﾌﾟﾁｬ後表示>3</ｷｬﾌﾟﾁｬ後表示>" "      <ﾏｳｽﾎﾟｲﾝﾀ>取込まない</ﾏｳｽﾎﾟｲﾝﾀ>" "   </ﾕｰｻﾞｰ>"
start_app
key ctrl+q
wait_for "! is_viewable" 5 || fail "window still shown after Ctrl+Q"
convert -size 3840x2160 pattern:gray50 -type TrueColor "$E2E_TMP/in.png"
offer_png "$E2E_TMP/in.png"
wait_for "[ -f '$WORK/001.bmp' ]" 15 || fail "capture not saved"
wait_for is_viewable 10 || fail "window not shown after the capture"
sleep 0.5
[ "$(identify -format '%wx%h' "$WORK/001.bmp")" = 3840x2160 ] || fail "saved as $(identify -format '%wx%h' "$WORK/001.bmp")"
same_pixels "$E2E_TMP/in.png" "$WORK/001.bmp" || fail "saved pixels differ"

# A piece from the middle of the window, where the picture is.
sleep 1
import -window "$WID" "$E2E_TMP/win.png"
ww=$(identify -format '%w' "$E2E_TMP/win.png")
wh=$(identify -format '%h' "$E2E_TMP/win.png")
convert "$E2E_TMP/win.png" -crop "16x16+$((ww / 2))+$((wh / 2))" +repage -colorspace Gray -threshold 50% "$E2E_TMP/piece.png"
convert -size 16x16 pattern:gray50 -colorspace Gray "$E2E_TMP/a.png"
convert -size 17x16 pattern:gray50 -crop 16x16+1+0 +repage -colorspace Gray "$E2E_TMP/b.png"
same_pixels "$E2E_TMP/piece.png" "$E2E_TMP/a.png" || same_pixels "$E2E_TMP/piece.png" "$E2E_TMP/b.png" \
  || { cp "$E2E_TMP/win.png" /tmp/varnel-hidpi-window.png; fail "the view at 100% is not one picture pixel per device pixel (window saved in /tmp/varnel-hidpi-window.png)"; }
echo "1 passed, 0 failed"
