#!/usr/bin/env bash
# Shapes stay objects: a box is drawn, picked up with the select tool and
# moved 40 px, the move undone, the box deleted and the delete redone. Then
# three step markers and a filled box; Ctrl+W saves the numbered file, whose
# pixels show each mark where it was put and nothing anywhere else. The tool
# bar opens with its whole frame on the screen.
BIN=$1
source "$(dirname "$0")/lib.sh"
start_x
start_window_manager
start_tray
start_app

GREEN="rgb(0,200,100)"
picture_on_screen() { colour_on_screen "$GREEN"; }
red_on_screen() { # geometry relative to the picture
  import -window root "$E2E_TMP/now.png"
  count_colour "$E2E_TMP/now.png" red "$1"
}
# A tool of the bar by its row and column (buttons of 28 x 26 in two columns).
tool() { # row column
  xdotool mousemove --window "$TB" $((2 + $2 * 29 + 14)) $((2 + $1 * 27 + 13)) click 1
  sleep 0.3
}

convert -size 400x300 "xc:$GREEN" "$E2E_TMP/shot.png"
key ctrl+q
wait_for "! is_viewable" 5 || fail "no standby after Ctrl+Q"
offer_png "$E2E_TMP/shot.png"
wait_for is_viewable 10 || fail "the capture did not bring the window back"
wait_for "[ \"\$(picture_on_screen | awk '{print \$3}')\" -ge 390 ]" 10 || fail "captured picture not shown whole"
read -r PX PY PW PH < <(picture_on_screen)

# The window at the top of the screen: the bar opens at the same height.
xdotool windowmove "$WID" 100 0
sleep 0.5
read -r PX PY PW PH < <(picture_on_screen)
# "ﾂｰﾙﾊﾞｰを表示": above "画像枠を追加" (undo and redo are disabled).
key alt+e Up Up Up Return
wait_for "xdotool search --onlyvisible --name '^ToolBar\$'" 5 || fail "the tool bar did not open"
TB=$(xdotool search --onlyvisible --name '^ToolBar$' | head -1)
# The whole frame on the screen: the title bar is not above its top edge.
wait_for "xprop -id $TB _NET_FRAME_EXTENTS | grep -q ="
TOP_EXTENT=$(xprop -id "$TB" _NET_FRAME_EXTENTS | sed -E 's/.*= *[0-9]+, *[0-9]+, *([0-9]+),.*/\1/')
wait_for "[ \$(( \$(xdotool getwindowgeometry $TB | awk -F'[ ,]+' '/Position/ {print \$4}') - $TOP_EXTENT )) -ge 0 ]" 5 \
  || fail "the tool bar's title bar lies above the screen"
read -r PX PY PW PH < <(picture_on_screen)

# A red box (the default tool and colour), picked up by its top edge with the
# select tool (first button) and moved 40 px right.
drag $((PX + 50)) $((PY + 50)) $((PX + 120)) $((PY + 100))
wait_for "[ \$(red_on_screen 80x60+$((PX + 45))+$((PY + 45))) -gt 100 ]" 5 || fail "the box was not drawn"
tool 0 0
drag $((PX + 85)) $((PY + 50)) $((PX + 125)) $((PY + 50))
wait_for "[ \$(red_on_screen 10x60+$((PX + 45))+$((PY + 45))) -lt 5 ] && [ \$(red_on_screen 10x60+$((PX + 155))+$((PY + 45))) -gt 40 ]" 5 \
  || fail "the box did not move 40 px"
key ctrl+z
wait_for "[ \$(red_on_screen 10x60+$((PX + 45))+$((PY + 45))) -gt 40 ]" 5 || fail "undo did not move the box back"
xdotool mousemove $((PX + 85)) $((PY + 50)) click 1
sleep 0.3
key Delete
wait_for "[ \$(red_on_screen 80x60+$((PX + 45))+$((PY + 45))) -lt 5 ]" 5 || fail "Delete left the box"
key ctrl+z
wait_for "[ \$(red_on_screen 80x60+$((PX + 45))+$((PY + 45))) -gt 100 ]" 5 || fail "undo did not bring the deleted box back"
key ctrl+shift+z
wait_for "[ \$(red_on_screen 80x60+$((PX + 45))+$((PY + 45))) -lt 5 ]" 5 || fail "redo did not delete the box again"

# Three step markers (fourth row, second button) and a filled box (fifth row, first).
tool 3 1
for x in 60 150 240; do
  xdotool mousemove $((PX + x)) $((PY + 200)) click 1
  sleep 0.2
done
tool 4 0
drag $((PX + 280)) $((PY + 40)) $((PX + 360)) $((PY + 120))

rm -f "$WORK"/*.bmp
key ctrl+w
wait_for "ls '$WORK'/*.bmp" 5 || { ls -la "$WORK"; fail "Ctrl+W saved no file"; }
F=$(ls "$WORK"/*.bmp | head -1)
[ "$(identify -format '%wx%h' "$F")" = 400x300 ] || fail "saved picture is not 400x300"
for x in 60 150 240; do
  red=$(count_colour "$F" red 26x26+$((x - 13))+187)
  [ "$red" -gt 250 ] || fail "no marker at x=$x ($red red pixels)"
  light=$(count_colour "$F" white 12x12+$((x - 6))+194)
  [ "$light" -gt 5 ] || fail "the marker at x=$x has no number ($light light pixels)"
done
box=$(convert "$F" -crop 80x80+280+40 +repage -format '%[fx:maxima.r+maxima.g+maxima.b]' info:)
[ "$box" = 0 ] || fail "the filled box is not wholly black"
# Nowhere else: cover the marks, and what is left is the picture as captured.
cover() {
  convert "$1" -fill magenta -draw "rectangle 47,187 73,213" -draw "rectangle 137,187 163,213" \
    -draw "rectangle 227,187 253,213" -draw "rectangle 280,40 359,119" "$2"
}
cover "$F" "$E2E_TMP/saved-covered.png"
cover "$E2E_TMP/shot.png" "$E2E_TMP/shot-covered.png"
same_pixels "$E2E_TMP/saved-covered.png" "$E2E_TMP/shot-covered.png" \
  || fail "pixels changed outside the marks ($(compare -metric AE "$E2E_TMP/saved-covered.png" "$E2E_TMP/shot-covered.png" null: 2>&1))"
echo "1 passed, 0 failed"
