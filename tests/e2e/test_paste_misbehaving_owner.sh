#!/usr/bin/env bash
# Outside standby, a paste and the edit menu never wait on the clipboard's
# owner: with an owner that never answers, Ctrl+V and opening "画像編集(&E)"
# leave the window answering within 100 ms; a picture copied afterwards is
# pasted, and the pasted picture counts as a change ("連番をつけて保存"
# then writes exactly it, also when its key comes before the paste is in).
BIN=$1
source "$(dirname "$0")/lib.sh"
start_x
start_tray
start_app

start_owner silent silent

xdotool windowfocus --sync "$WID"
xdotool key ctrl+v
answers_fast "a paste from a silent owner"
xdotool key alt+e
answers_fast "the edit menu over a silent owner"
xdotool key Escape
sleep 0.3

kill $OWNER_PID
make_picture "$E2E_TMP/copied.png" "rgb(40,120,200)"
offer_png "$E2E_TMP/copied.png"
sleep 0.3
key ctrl+v
key ctrl+w
wait_for "[ -s '$WORK/001.bmp' ]" 5 || { ls -la "$WORK"; cat "$E2E_TMP/app.log"; fail "the pasted picture was not saved"; }
same_pixels "$WORK/001.bmp" "$E2E_TMP/copied.png" || fail "the saved picture is not the pasted one"

# Keys faster than the paste: the numbered save waits for the pasted picture.
convert -size 1280x800 plasma:fractal -seed 3 -depth 8 "$E2E_TMP/big.png"
offer_png "$E2E_TMP/big.png"
sleep 0.3
xdotool windowfocus --sync "$WID"
xdotool key --delay 12 ctrl+v ctrl+w
wait_for "[ -s '$WORK/002.bmp' ]" 5 || { ls -la "$WORK"; fail "the save right after a paste was lost"; }
same_pixels "$WORK/002.bmp" "$E2E_TMP/big.png" || fail "the save right after a paste wrote the picture before it"
echo "1 passed, 0 failed"
