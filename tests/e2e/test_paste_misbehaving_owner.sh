#!/usr/bin/env bash
# Outside standby, a paste and the edit menu never wait on the clipboard's
# owner: with an owner that never answers, Ctrl+V and opening "画像編集(&E)"
# leave the window answering within 100 ms; a picture copied afterwards is
# pasted, and the pasted picture counts as a change ("連番をつけて保存"
# then writes exactly it).
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
echo "1 passed, 0 failed"
