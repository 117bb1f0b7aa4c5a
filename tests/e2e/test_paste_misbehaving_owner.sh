#!/usr/bin/env bash
# Outside standby, a paste and the edit menu never wait on the clipboard's
# owner: with an owner that never answers, Ctrl+V and opening "画像編集(&E)"
# leave the window answering within 100 ms; a picture copied afterwards is
# pasted, and the pasted picture counts as a change ("連番をつけて保存"
# then writes exactly it).
BIN=$1
source "$(dirname "$0")/lib.sh"
OWNER="$(dirname "$BIN")/varnel-test-owner"
[ -x "$OWNER" ] || fail "varnel-test-owner is not built beside the program"
start_x
start_tray
start_app

"$OWNER" silent >"$E2E_TMP/silent.out" 2>&1 &
SILENT=$!
E2E_PIDS+=($SILENT)
wait_for "grep -q owning '$E2E_TMP/silent.out'" 5 || fail "the silent owner did not take the clipboard"

answers_fast() { # what
  local ms
  ms=$("$OWNER" ping "$WID" 30) || fail "the window did not answer a ping ($1)"
  [ "$ms" -lt 100 ] || fail "the window took $ms ms to answer ($1)"
  echo "slowest answer $ms ms ($1)"
}
xdotool windowfocus --sync "$WID"
xdotool key ctrl+v
answers_fast "a paste from a silent owner"
xdotool key alt+e
answers_fast "the edit menu over a silent owner"
xdotool key Escape
sleep 0.3

kill $SILENT
make_picture "$E2E_TMP/copied.png" "rgb(40,120,200)"
offer_png "$E2E_TMP/copied.png"
sleep 0.3
key ctrl+v
key ctrl+w
wait_for "[ -s '$WORK/001.bmp' ]" 5 || { ls -la "$WORK"; cat "$E2E_TMP/app.log"; fail "the pasted picture was not saved"; }
same_pixels "$WORK/001.bmp" "$E2E_TMP/copied.png" || fail "the saved picture is not the pasted one"
echo "1 passed, 0 failed"
