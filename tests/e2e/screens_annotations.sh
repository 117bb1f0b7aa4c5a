#!/usr/bin/env bash
# Screenshots of the drawing tool bar and of a picture with each kind of mark
# for the guide:
#   bash tests/e2e/screens_annotations.sh build-test/bin/varnel docs/help/images
BIN=$(realpath "$1")
OUT=$(realpath "${2:-docs/help/images}")
source "$(dirname "$0")/lib.sh"
start_x
start_window_manager
start_tray

# A screenshot-like picture: a title bar, a side panel, lines of "text".
convert -size 760x440 xc:"rgb(246,248,250)" \
  -fill "rgb(40,70,120)" -draw "rectangle 0,0 759,34" \
  -fill white -draw "rectangle 14,10 250,24" \
  -fill "rgb(220,226,236)" -draw "rectangle 0,35 170,439" \
  -fill "rgb(90,140,210)" -draw "rectangle 14,60 156,86" -draw "rectangle 14,100 156,126" \
  -fill "rgb(60,60,60)" -draw "rectangle 200,70 620,80" -draw "rectangle 200,100 560,110" \
  -draw "rectangle 200,130 700,140" -draw "rectangle 200,160 480,170" \
  -fill "rgb(0,150,80)" -draw "rectangle 200,220 330,250" \
  -fill "rgb(60,60,60)" -draw "rectangle 420,300 700,310" -draw "rectangle 420,330 650,340" \
  -draw "rectangle 200,380 600,390" "$E2E_TMP/scene.png"

GREEN="rgb(0,150,80)"
start_app
# Large enough to show the picture at 100 %.
xdotool windowsize --sync "$WID" 1000 600 2>/dev/null || true
xdotool windowmove "$WID" 140 40
key ctrl+q
wait_for "! is_viewable" 5 || fail "no standby"
offer_png "$E2E_TMP/scene.png"
wait_for is_viewable 10 || fail "capture not shown"
wait_for "import -window root '$E2E_TMP/s.png' && convert '$E2E_TMP/s.png' -fill black +opaque '$GREEN' -trim info: | grep -v '1x1'" 5
tool() { xdotool mousemove --window "$TB" $((2 + $2 * 29 + 14)) $((2 + $1 * 27 + 13)) click 1; sleep 0.3; }
# The picture's top-left corner on the screen: its green button, less its offset.
origin() {
  import -window root "$E2E_TMP/s.png"
  convert "$E2E_TMP/s.png" -fill black +opaque "$GREEN" -fill white -opaque "$GREEN" \
    -trim -format '%X %Y\n' info: | tr -d '+' | awk '{print $1 - 200, $2 - 220}'
}

key alt+e Up Up Up Return
wait_for "xdotool search --onlyvisible --name '^ToolBar\$'" 5 || fail "no tool bar"
TB=$(xdotool search --onlyvisible --name '^ToolBar$' | head -1)
sleep 0.5
read -r OX OY < <(origin)
at() { echo $((OX + $1)) $((OY + $2)); }

# Numbered steps on the buttons and a line.
tool 3 1
for p in "156 73" "156 113" "640 75"; do xdotool mousemove $(at $p) click 1; sleep 0.2; done
# The highlighter over a line of text.
tool 2 1
drag $(at 200 135) $(at 700 135)
# A box hiding a name.
tool 4 0
drag $(at 420 294) $(at 704 316)
# A red box round the green button, an arrow to it.
tool 0 1
xdotool mousemove --window "$TB" 16 $((2 + 5 * 27 + 9)) click 1 # red
drag $(at 192 212) $(at 338 258)
tool 1 1
drag $(at 480 260) $(at 345 238)
# A text.
tool 3 0
xdotool mousemove $(at 490 238) click 1
sleep 0.6
xdotool windowfocus --sync "$WID" 2>/dev/null || true
sleep 0.3
xdotool type --delay 80 "ここを押す"
xdotool key Return
sleep 0.3
# The select tool shows the text picked up with its frame.
tool 0 0
xdotool mousemove 5 790
sleep 0.8
eval "$(xdotool getwindowgeometry --shell "$WID")"
import -window root -crop "$((X + WIDTH + 4))x$((Y + HEIGHT + 4))+0+0" +repage "$OUT/annotations.png"
echo "wrote $OUT/annotations.png"
import -window "$TB" "$OUT/annotations-toolbar.png"
echo "wrote $OUT/annotations-toolbar.png"
