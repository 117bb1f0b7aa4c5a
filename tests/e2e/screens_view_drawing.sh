#!/usr/bin/env bash
# Screenshots of the view and the drawing tool bar for the documentation:
#   bash tests/e2e/screens_view_drawing.sh build-test/src/varnel docs
BIN=$(realpath "$1")
OUT=$(realpath "${2:-docs}")
source "$(dirname "$0")/lib.sh"
start_x
start_tray

# A screenshot-like picture: a title bar, a side panel, lines of "text".
scene() {
  convert -size 1600x1000 xc:"rgb(236,240,245)" \
    -fill "rgb(40,70,120)" -draw "rectangle 0,0 1599,44" \
    -fill white -draw "rectangle 20,12 380,32" \
    -fill "rgb(210,218,230)" -draw "rectangle 0,45 300,999" \
    -fill "rgb(90,140,210)" -draw "rectangle 20,80 280,120" \
    -fill "rgb(0,200,100)" -draw "rectangle 360,90 1540,420" \
    -fill "rgb(250,250,250)" -draw "rectangle 360,470 1540,960" \
    -fill "rgb(60,60,60)" -draw "rectangle 400,520 1300,536" -draw "rectangle 400,570 1100,586" \
    -draw "rectangle 400,620 1400,636" -draw "rectangle 400,670 900,686" \
    -fill "rgb(220,60,60)" -draw "circle 1300,760 1300,860" "$1"
}
capture() {
  key ctrl+q
  wait_for "! is_viewable" 5 || fail "no standby"
  offer_png "$E2E_TMP/scene.png"
  wait_for is_viewable 10 || fail "capture not shown"
  sleep 1
}
shot() { import -window "$WID" "$OUT/$1"; echo "wrote $OUT/$1"; }
GREEN="rgb(0,200,100)"
green_box() {
  import -window root "$E2E_TMP/screen.png"
  convert "$E2E_TMP/screen.png" -fill black +opaque "$GREEN" -fill white -opaque "$GREEN" \
    -trim -format '%X %Y %w %h\n' info: | tr -d '+'
}
drag() {
  xdotool mousemove "$1" "$2" mousedown 1; sleep 0.2
  xdotool mousemove $(( ($1 + $3) / 2 )) $(( ($2 + $4) / 2 )); sleep 0.1
  xdotool mousemove "$3" "$4"; sleep 0.2; xdotool mouseup 1; sleep 0.3
}

scene "$E2E_TMP/scene.png"
start_app
xdotool windowsize --sync "$WID" 900 600 2>/dev/null || true
sleep 0.5
capture
shot view-scaled.png
# Ctrl+- from the scaled view goes to 50 %; five steps up reach 200 %.
key ctrl+minus
for i in 1 2 3 4 5; do key ctrl+plus; done
shot view-200.png

kill "$APP_PID"; sleep 0.5
start_app
xdotool windowsize --sync "$WID" 900 600 2>/dev/null || true
sleep 0.5
capture
read -r GX GY GW GH < <(green_box)
drag $((GX + 30)) $((GY + 20)) $((GX + GW - 60)) $((GY + GH - 30))
shot view-range.png

key alt+e Up Up Up Return
wait_for "xdotool search --onlyvisible --name '^ToolBar\$'" 5 || fail "no tool bar"
TB=$(xdotool search --onlyvisible --name '^ToolBar$' | head -1)
sleep 0.5
read -r GX GY GW GH < <(green_box)
drag $((GX + 20)) $((GY + 15)) $((GX + 200)) $((GY + 90))
xdotool mousemove --window "$TB" 16 42 click 1   # ellipse
drag $((GX + 240)) $((GY + 20)) $((GX + 330)) $((GY + 100))
xdotool mousemove --window "$TB" 45 42 click 1   # arrow
drag $((GX + 120)) $((GY + 200)) $((GX + 60)) $((GY + 100))
xdotool mousemove --window "$TB" 16 96 click 1   # text
xdotool mousemove --window "$TB" 16 184 click 1  # black
xdotool mousemove $((GX + 130)) $((GY + 190)) click 1
sleep 0.4
xdotool windowfocus --sync "$WID" 2>/dev/null || true
xdotool type --delay 60 "ここを押す"
xdotool key Return
sleep 0.5
eval "$(xdotool getwindowgeometry --shell "$WID")"
import -window root -crop "$((X + WIDTH))x$((Y + HEIGHT))+0+0" +repage "$OUT/view-toolbar.png"
echo "wrote $OUT/view-toolbar.png"
