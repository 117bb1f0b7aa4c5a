#!/usr/bin/env bash
# Edits are kept until the user says otherwise: a turned picture is written
# by Ctrl+S; a click on another file over an unsaved turn asks, and
# "キャンセル" keeps the turn; a capture in standby over an unsaved turn
# leaves it one Ctrl+Z away; a batch run with a turn and an overwrite
# changes the file.
BIN=$1
source "$(dirname "$0")/lib.sh"
start_x
start_tray
start_window_manager

export XDG_DATA_HOME="$E2E_TMP/data"
WORK="$XDG_DATA_HOME/Quillon/varnel/Temp"
mkdir -p "$WORK"
convert -size 320x200 "xc:rgb(220,30,30)" -fill black -draw "rectangle 0,0 40,20" "BMP3:$WORK/a.bmp"
convert -size 320x200 "xc:rgb(30,200,60)" "BMP3:$WORK/b.bmp"
start_app

# The program's other windows named Varnel (its message boxes); the tray
# icon and Qt's 1x1 helper are too small to count.
dialog_ids() {
  local w area
  for w in $(xdotool search --onlyvisible --name '^Varnel$' 2>/dev/null); do
    [ "$w" = "$WID" ] && continue
    area=$(xwininfo -id "$w" 2>/dev/null | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w*h}')
    [ "${area:-0}" -gt 5000 ] && echo "$w"
  done
  true
}
other_windows() { dialog_ids | wc -l; }
window_pixels_near() { # colour
  import -window "$WID" "$E2E_TMP/shot.png"
  convert "$E2E_TMP/shot.png" -fuzz 6% -fill black +opaque "$1" -fill white -opaque "$1" \
    -format '%[fx:int(mean*w*h)]' info:
}
shows() { [ "$(window_pixels_near "$1")" -gt 3000 ]; }
size_of() { identify -format '%wx%h' "$1"; }
RED='rgb(220,30,30)'
GREEN='rgb(30,200,60)'

key alt+d Return # the work-folder list
sleep 0.5
# The list's rows: a.bmp first, then b.bmp.
ROW_A="" ROW_B=""
for y in $(seq 26 4 110); do
  xdotool mousemove --window "$WID" 30 "$y" click 1
  sleep 0.4
  if [ -z "$ROW_A" ] && shows "$RED"; then ROW_A=$y; fi
  if [ -n "$ROW_A" ] && shows "$GREEN"; then ROW_B=$y; break; fi
done
[ -n "$ROW_A" ] && [ -n "$ROW_B" ] || fail "the list never showed both files"
xdotool mousemove --window "$WID" 30 "$ROW_A" click 1
wait_for "shows '$RED'" 5 || fail "a.bmp did not open again"

# A turn is a change Ctrl+S writes.
key ctrl+r
key ctrl+s
wait_for "[ \"\$(size_of '$WORK/a.bmp')\" = 200x320 ]" 5 || fail "Ctrl+S did not write the turned picture ($(size_of "$WORK/a.bmp"))"

# Another file over an unsaved turn: the question, and キャンセル keeps it.
key ctrl+r
xdotool mousemove --window "$WID" 30 "$ROW_B" click 1
wait_for '[ "$(other_windows)" -ge 1 ]' 5 || fail "no question before the unsaved turn went"
D=$(dialog_ids | head -1)
xdotool windowfocus --sync "$D" 2>/dev/null || true
xdotool key Escape
wait_for '[ "$(other_windows)" -eq 0 ]' 5 || fail "the question did not close"
shows "$RED" || fail "キャンセル did not keep a.bmp on screen"
key ctrl+s
wait_for "[ \"\$(size_of '$WORK/a.bmp')\" = 320x200 ]" 5 || fail "the kept turn was not saved ($(size_of "$WORK/a.bmp"))"

# A capture in standby over an unsaved turn: Ctrl+Z brings the turn back.
key ctrl+r
key ctrl+q
wait_for "! is_viewable" 5 || fail "window still shown after Ctrl+Q"
convert -size 300x200 "xc:rgb(30,30,220)" "$E2E_TMP/capture.png"
offer_png "$E2E_TMP/capture.png"
wait_for is_viewable 10 || fail "the capture did not show the window"
wait_for "shows 'rgb(30,30,220)'" 5 || fail "the capture is not shown"
key ctrl+z
wait_for "shows '$RED'" 5 || fail "Ctrl+Z did not bring the edited picture back"
key ctrl+s
wait_for "[ \"\$(size_of '$WORK/a.bmp')\" = 200x320 ]" 5 || fail "the picture brought back was not a.bmp, turned ($(size_of "$WORK/a.bmp"))"

key alt+f x
wait_for "! kill -0 $APP_PID" 10 || fail "program did not end"

# A batch run: a turn and an overwrite change the file, and it says so.
USER_DIR="$XDG_DATA_HOME/Quillon/varnel"
write_user_xml "$USER_DIR" "   <マクロ>" "      <COMMAND>[T]~回転⇒右90度~ﾌｧｲﾙ⇒上書き保存</COMMAND>" "   </マクロ>"
convert -size 64x48 "xc:rgb(90,90,200)" "$E2E_TMP/c.png"
"$BIN" --macro T "$E2E_TMP/c.png" >"$E2E_TMP/batch.log" 2>&1 || { cat "$E2E_TMP/batch.log"; fail "the batch run failed"; }
[ "$(size_of "$E2E_TMP/c.png")" = 48x64 ] || { cat "$E2E_TMP/batch.log"; fail "the batch run did not write the turned file"; }
grep -q "wrote $E2E_TMP/c.png" "$E2E_TMP/batch.log" || { cat "$E2E_TMP/batch.log"; fail "the batch run did not say what it wrote"; }
echo "1 passed, 0 failed"
