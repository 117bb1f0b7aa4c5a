#!/usr/bin/env bash
# The guide's picture of the main window, taken from the running program:
#   bash tests/e2e/screens_main.sh build-test/bin/varnel docs/help/images
BIN=$(realpath "$1")
OUT=$(realpath "${2:-docs/help/images}")
source "$(dirname "$0")/lib.sh"
start_x
start_tray
start_app

convert -size 900x560 "gradient:rgb(200,215,245)-rgb(90,120,185)" \
  -fill white -draw "roundrectangle 60,60 420,300 8,8" \
  -fill black -pointsize 18 -draw "text 84,100 'Captured screenshot'" "$E2E_TMP/scene.png"
key ctrl+q
wait_for "! is_viewable" 5 || fail "no standby"
offer_png "$E2E_TMP/scene.png"
wait_for is_viewable 10 || fail "capture not shown"
sleep 1
import -window "$WID" "$OUT/main.png"
echo "wrote $OUT/main.png"
