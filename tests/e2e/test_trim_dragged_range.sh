#!/usr/bin/env bash
# A captured picture trimmed to a range dragged with the mouse and saved as
# the next numbered file: the file holds exactly the dragged part.
BIN=$1
source "$(dirname "$0")/lib.sh"
start_x
start_tray
start_app

key ctrl+q
wait_for "! is_viewable" 5 || fail "window still shown after Ctrl+Q"
convert -size 400x300 xc:"rgb(0,200,100)" -fill "rgb(200,30,30)" -draw "rectangle 60,50 139,89" \
  -fill "rgb(20,20,160)" -draw "rectangle 150,120 229,159" "$E2E_TMP/shot.png"
offer_png "$E2E_TMP/shot.png"
wait_for is_viewable 10 || fail "window did not come back after a capture"
sleep 1

# Where the picture lies in the window: its top-left corner is green.
import -window "$WID" "$E2E_TMP/window.png"
read -r ox oy < <(convert "$E2E_TMP/window.png" -fill black +opaque "rgb(0,200,100)" -trim \
  -format '%X %Y\n' info: | tr -d '+')
[ -n "$ox" ] || fail "picture not found in the window"

# Drag from picture pixel (40,30) to (200,130): the 160 x 100 pixels passed over.
xdotool mousemove --window "$WID" $((ox + 40)) $((oy + 30)) mousedown 1
for step in 1 2 3 4; do
  xdotool mousemove --window "$WID" $((ox + 40 + 40 * step)) $((oy + 30 + 25 * step))
  sleep 0.1
done
# The size is shown beside the pointer while dragging.
import -window "$WID" "$E2E_TMP/dragging.png"
xdotool mouseup 1
sleep 0.3

key ctrl+t
key ctrl+w
wait_for "[ -f '$WORK/001.bmp' ]" 10 || { ls -la "$WORK"; fail "trimmed picture not saved"; }
[ "$(identify -format '%wx%h' "$WORK/001.bmp")" = "160x100" ] \
  || fail "saved picture is $(identify -format '%wx%h' "$WORK/001.bmp"), not 160x100"
convert "$E2E_TMP/shot.png" -crop 160x100+40+30 +repage "$E2E_TMP/expected.png"
same_pixels "$WORK/001.bmp" "$E2E_TMP/expected.png" || fail "saved picture is not the dragged part"

# Undo brings the whole capture back.
key ctrl+z
key ctrl+w
wait_for "[ -f '$WORK/002.bmp' ]" 10 || fail "second save missing"
same_pixels "$WORK/002.bmp" "$E2E_TMP/shot.png" || fail "undo did not restore the capture"
# E2E_KEEP=folder keeps the screenshots for a look.
[ -n "${E2E_KEEP:-}" ] && cp "$E2E_TMP"/window.png "$E2E_TMP"/dragging.png "$E2E_KEEP"/
echo "ok"
