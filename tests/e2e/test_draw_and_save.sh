#!/usr/bin/env bash
# A capture shown in the window; a range dragged with the mouse and trimmed;
# a box and a text drawn with the floating tool bar; Ctrl+W saves the
# numbered file, which holds the trimmed size and the drawn pixels.
BIN=$1
source "$(dirname "$0")/lib.sh"
start_x
start_tray
start_app

GREEN="rgb(0,200,100)"
picture_on_screen() { colour_on_screen "$GREEN"; }

# Capture: standby, a picture on the clipboard, the window comes back with it.
convert -size 400x300 "xc:$GREEN" -fill white -draw "rectangle 300,220 390,290" "$E2E_TMP/shot.png"
key ctrl+q
wait_for "! is_viewable" 5 || fail "no standby after Ctrl+Q"
offer_png "$E2E_TMP/shot.png"
wait_for is_viewable 10 || fail "the capture did not bring the window back"
sleep 1
read -r PX PY PW PH < <(picture_on_screen)
[ "$PW" -ge 390 ] && [ "$PH" -ge 220 ] || fail "captured picture not shown whole (${PW}x${PH})"

# A range from (50,40) to (250,190), dragged over the picture.
drag $((PX + 50)) $((PY + 40)) $((PX + 250)) $((PY + 190))
key ctrl+t
sleep 0.5
read -r PX PY PW PH < <(picture_on_screen)
if [ "$PW" -le 205 ] && [ "$PH" -le 155 ]; then
  TRIMMED=1
  echo "trimmed to ${PW}x${PH} on screen"
else
  fail "Ctrl+T did not trim to the dragged range (${PW}x${PH} on screen)"
fi

# The tool bar, from the edit menu: above "画像枠を追加", "元に戻す" (enabled
# after the trim), the disabled "やり直し" and "文字の読み取り".
key alt+e Up Up Up Up Return
wait_for "xdotool search --onlyvisible --name '^ToolBar\$'" 5 || fail "the tool bar did not open"
TB=$(xdotool search --onlyvisible --name '^ToolBar$' | head -1)
read -r PX PY PW PH < <(picture_on_screen)

# A red box (the default tool and colour).
drag $((PX + 20)) $((PY + 20)) $((PX + 90)) $((PY + 70))
# A black text: the text tool (fourth row, first column), the black swatch,
# a click on the picture, typing, Return.
xdotool mousemove --window "$TB" 16 96 click 1
sleep 0.2
xdotool mousemove --window "$TB" 16 184 click 1
sleep 0.3
xdotool mousemove $((PX + 20)) $((PY + 95)) click 1
sleep 0.5
xdotool windowfocus --sync "$WID" 2>/dev/null || true
xdotool type --delay 60 "Note 注記"
xdotool key Return
sleep 0.3

rm -f "$WORK"/*.bmp
key ctrl+w
wait_for "ls '$WORK'/*.bmp" 5 || { ls -la "$WORK"; fail "Ctrl+W saved no file"; }
F=$(ls "$WORK"/*.bmp | head -1)
SIZE=$(identify -format '%wx%h' "$F")
if [ "$TRIMMED" = 1 ]; then
  [ "$SIZE" = 200x150 ] || fail "saved picture is $SIZE, not the trimmed 200x150"
else
  [ "$SIZE" = 400x300 ] || fail "saved picture is $SIZE, not 400x300"
fi
red=$(count_colour "$F" red 80x60+15+15)
[ "$red" -gt 150 ] || fail "the drawn box is not in the file ($red red pixels)"
dark=$(count_colour "$F" black 150x40+15+90)
[ "$dark" -gt 30 ] || fail "the drawn text is not in the file ($dark dark pixels)"
# Outside the drawing the picture is untouched.
outside=$(count_colour "$F" "$GREEN" 40x30+140+20)
[ "$outside" -eq 1200 ] || fail "pixels outside the drawing changed ($outside of 1200 green)"
echo "1 passed, 0 failed"
