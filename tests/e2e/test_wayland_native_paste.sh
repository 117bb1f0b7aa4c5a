#!/usr/bin/env bash
# With Qt on Wayland itself (no X11 for the program), a paste reads the
# clipboard through the program's own watcher thread rather than Qt's reader
# in the window's thread: a picture copied by a native Wayland client is
# pasted with its exact pixels, and "連番をつけて保存" writes exactly it.
BIN=$1
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/wayland.sh"
start_sway
start_pointer

export XDG_DATA_HOME="$E2E_TMP/data" XDG_CONFIG_HOME="$E2E_TMP/config" XDG_RUNTIME_DIR="$E2E_TMP/run"
mkdir -p "$XDG_DATA_HOME" "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
WORK="$XDG_DATA_HOME/Quillon/varnel/Temp"
QT_QPA_PLATFORM=wayland DISPLAY= "$BIN" >"$E2E_TMP/app.log" 2>&1 &
APP_PID=$!
E2E_PIDS+=($APP_PID)
shown() { swaymsg -t get_tree | grep -q '"app_id": "varnel"'; }
wait_for shown 20 || { cat "$E2E_TMP/app.log"; fail "the window did not appear on Wayland"; }
swaymsg '[app_id="varnel"] focus' >/dev/null
sleep 0.5

make_picture "$E2E_TMP/copied.png" "rgb(40,120,200)"
wl_offer_png "$E2E_TMP/copied.png"
sleep 0.5
vnc_keys ctrl+v
vnc_keys ctrl+w
wait_for "[ -s '$WORK/001.bmp' ]" 10 || { ls -la "$WORK"; cat "$E2E_TMP/app.log"; fail "the pasted picture was not saved"; }
same_pixels "$WORK/001.bmp" "$E2E_TMP/copied.png" || fail "the saved picture is not the pasted one"
echo "1 passed, 0 failed"
