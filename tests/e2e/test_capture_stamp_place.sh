#!/usr/bin/env bash
# A capture in standby stamps the pointer where it was on the screen. The
# window manager may still name the program's own hidden window as the
# active one; that window is no picture's source.
BIN=$1
source "$(dirname "$0")/lib.sh"
start_x
start_window_manager
start_tray
start_app
# "連番をつけて保存" under "ｷｬﾌﾟﾁｬ後(&A)"; the pointer is stamped by default.
key alt+u a Down Down Return
# Far from the screen's corner, so that its origin would show in the stamp's place.
xdotool windowmove --sync "$WID" 400 300
key ctrl+q
wait_for "! is_viewable" 5 || fail "window still shown after Ctrl+Q"
echo "active window in standby: $(xprop -root _NET_ACTIVE_WINDOW | awk '{print $NF}') (the program's: $(printf '0x%x' "$WID"))"

xdotool mousemove 100 70
convert -size 320x200 xc:white "$E2E_TMP/plain.png"
offer_png "$E2E_TMP/plain.png"
wait_for "[ -s '$WORK/001.bmp' ]" 10 || fail "the capture was not saved"
box=$(convert "$WORK/001.bmp" -fuzz 2% -format '%@' info:)
echo "the stamp covers $box"
read -r bw bh bx by < <(sed -E 's/([0-9]+)x([0-9]+)\+([0-9]+)\+([0-9]+)/\1 \2 \3 \4/' <<<"$box")
[ "$bw" -gt 0 ] && [ "$bw" -le 40 ] && [ "$bh" -le 40 ] || fail "no pointer stamped in the picture ($box)"
[ $((bx - 100)) -ge -24 ] && [ $((bx - 100)) -le 8 ] && [ $((by - 70)) -ge -24 ] && [ $((by - 70)) -le 8 ] \
  || fail "the pointer was stamped at $bx,$by, not near 100,70"
echo "1 passed, 0 failed"
