#!/usr/bin/env bash
# Screenshot of the English window with its file menu open, for the guide:
#   bash tests/e2e/screens_english.sh build-test/bin/varnel docs
BIN=$(realpath "$1")
OUT=$(realpath "${2:-docs}")
source "$(dirname "$0")/lib.sh"
start_x
start_window_manager

export VARNEL_LANGUAGE=en
make_picture "$E2E_TMP/shot.png" "rgb(200,220,240)"
start_app
xdotool windowsize --sync "$WID" 760 480 2>/dev/null || true
xdotool windowmove --sync "$WID" 20 20 2>/dev/null || true
# Paste a picture so the window shows one, then open the file menu.
offer_png "$E2E_TMP/shot.png"
key ctrl+v
key alt+f
wait_for "xwininfo -root -children | grep -c '(\"varnel\" \"Varnel\")' | grep -qv '^1$'" 5 || true
sleep 0.5
read -r X Y W H < <(xwininfo -id "$WID" -frame | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4} /Width:/ {w=$2} /Height:/ {h=$2} END {print x, y, w, h}')
import -window root -crop "$((W + 40))x$((H + 40))+$((X - 20 < 0 ? 0 : X - 20))+$((Y - 20 < 0 ? 0 : Y - 20))" +repage "$OUT/screenshot-english.png"
echo "wrote $OUT/screenshot-english.png"
