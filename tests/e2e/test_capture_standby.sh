#!/usr/bin/env bash
# Standby captures three clipboard pictures into 001.bmp..003.bmp, ignores the
# picture that was there before, keeps its tray icon until the exit; with
# the default action a capture shows the window with the picture.
BIN=$1
source "$(dirname "$0")/lib.sh"
start_x
start_tray
start_app

# "連番をつけて保存" under "ｷｬﾌﾟﾁｬ後(&A)", through the keyboard.
key alt+u a Down Down Return

make_picture "$E2E_TMP/before.png" orange
offer_png "$E2E_TMP/before.png"
sleep 0.5
key ctrl+q
wait_for "! is_viewable" 5 || fail "window still shown after Ctrl+Q"
wait_for tray_icon_present 5 || fail "no tray icon in standby"

for c in red green blue; do
  make_picture "$E2E_TMP/$c.png" $c
  offer_png "$E2E_TMP/$c.png"
  sleep 0.6
done
wait_for "[ -f '$WORK/003.bmp' ]" 10 || { ls -la "$WORK"; fail "three captures not saved"; }
sleep 0.3
[ "$(ls "$WORK" | wc -l)" -eq 3 ] || { ls -la "$WORK"; fail "unexpected files in the work folder"; }
same_pixels "$WORK/001.bmp" "$E2E_TMP/red.png" || fail "001.bmp differs from the first picture"
same_pixels "$WORK/002.bmp" "$E2E_TMP/green.png" || fail "002.bmp differs from the second picture"
same_pixels "$WORK/003.bmp" "$E2E_TMP/blue.png" || fail "003.bmp differs from the third picture"
is_viewable && fail "window came back with the save-only action"

# Exit from the tray icon's menu: the icon goes and the program ends.
ICON=$(xwininfo -root -tree | grep '"Varnel": ("varnel" "Varnel")  22x22' | awk '{print $1}')
xdotool mousemove --window "$ICON" 10 10 click 3
wait_for "menu_geometry" 5 || fail "no menu from the tray icon"
# Without a window manager the pop-up gets no keyboard: click its last item.
read -r mx my mw mh < <(menu_geometry)
xdotool mousemove $((mx + 40)) $((my + mh - 12)) click 1
wait_for "! kill -0 $APP_PID" 10 || fail "program did not end from the tray menu"
tray_icon_present && fail "tray icon left behind after exit"

# Second run, default action: the capture shows the window with the picture.
rm -rf "$XDG_DATA_HOME/Quillon"
start_app
key ctrl+q
wait_for "! is_viewable" 5 || fail "window still shown after Ctrl+Q (second run)"
convert -size 400x300 xc:"rgb(0,200,100)" "$E2E_TMP/solid.png"
offer_png "$E2E_TMP/solid.png"
wait_for is_viewable 10 || fail "window did not come back after a capture"
sleep 1
import -window "$WID" "$E2E_TMP/window.png"
count=$(convert "$E2E_TMP/window.png" -fill black +opaque "rgb(0,200,100)" -fill white -opaque "rgb(0,200,100)" -format '%[fx:int(mean*w*h)]' info:)
[ "$count" -gt 50000 ] || fail "captured picture not shown (only $count matching pixels)"
[ -z "$(ls "$WORK" 2>/dev/null)" ] || fail "the show action saved a file"
# Out of standby now: a further clipboard change is not captured.
offer_png "$E2E_TMP/red.png"
sleep 0.8
import -window "$WID" "$E2E_TMP/window2.png"
count2=$(convert "$E2E_TMP/window2.png" -fill black +opaque "rgb(0,200,100)" -fill white -opaque "rgb(0,200,100)" -format '%[fx:int(mean*w*h)]' info:)
[ "$count2" -gt 50000 ] || fail "a change after standby replaced the picture"
echo "1 passed, 0 failed"
