#!/usr/bin/env bash
# A range dragged on a picture is registered under a new name in the size
# dialog; the range menu then offers it, and choosing it on a smaller picture
# gives a range from pixel 1 to that picture's edges (seen in what Ctrl+C
# copies). The exit keeps the list.
BIN=$1
source "$(dirname "$0")/lib.sh"
start_x
start_window_manager
start_app
USER_DIR="$XDG_DATA_HOME/Quillon/varnel"

# The window large and at a known place, the picture shown scaled.
xdotool windowsize --sync "$WID" 900 700 2>/dev/null || true
xdotool windowmove --sync "$WID" 0 0 2>/dev/null || true
sleep 0.5

paste_picture() { # file
  offer_png "$1"
  sleep 0.5
  key ctrl+v
}

# The range submenu; with a picture the edit menu opens on its first item,
# and 範囲 is the fourth that can be chosen.
open_range_menu() {
  key alt+e
  menu_key Down Down Down Right
}
# Keys inside an open menu: focusing the main window would close it.
menu_key() { xdotool key --delay 80 "$@"; sleep 0.3; }

convert -size 800x600 xc:"rgb(90,140,200)" "$E2E_TMP/big.png"
paste_picture "$E2E_TMP/big.png"

# Drag across the middle of the picture.
eval "$(xdotool getwindowgeometry --shell "$WID")"
cx=$((X + WIDTH / 2 + 60)); cy=$((Y + HEIGHT / 2))
xdotool mousemove --sync $((cx - 100)) $((cy - 60)) mousedown 1
for s in 1 2 3 4 5; do xdotool mousemove --sync $((cx - 100 + s * 40)) $((cy - 60 + s * 24)); sleep 0.05; done
xdotool mouseup 1
sleep 0.3

# 範囲の登録: the first item below the (hidden) registered ranges.
open_range_menu
menu_key Return
wait_for "xdotool search --onlyvisible --name '選択･切取ｻｲｽﾞの登録'" 10 || fail "the size dialog did not open"
DLG=$(xdotool search --onlyvisible --name '選択･切取ｻｲｽﾞの登録' | head -1)
# The name box has the focus with its text selected; ←追加 comes just before it.
xdotool windowfocus --sync "$DLG" 2>/dev/null || true
xdotool type --delay 60 "Mine"
xdotool key --delay 80 shift+Tab space
sleep 0.3
xdotool key Escape
wait_for "! xdotool search --onlyvisible --name '選択･切取ｻｲｽﾞの登録'" 10 || fail "the size dialog did not close"

# A smaller picture; the new range (the first item of the range menu) on it.
convert -size 60x40 xc:"rgb(250,200,30)" "$E2E_TMP/small.png"
paste_picture "$E2E_TMP/small.png"
open_range_menu
menu_key Return
key ctrl+c
sleep 0.5
xclip -selection clipboard -t image/png -o >"$E2E_TMP/copied.png" 2>/dev/null || fail "nothing copied"
size=$(identify -format '%wx%h' "$E2E_TMP/copied.png")
# The range starts at pixel 1 and ends at the picture's edge.
[ "$size" = 59x39 ] || fail "copied $size, not the range from pixel 1 to the edges of the 60x40 picture"

# The pasted picture is in no file: the exit item asks, and "保存しない"
# (the button after the default "保存") lets it go. The question sits in a
# frame of the window manager: found by name, not among the root's children.
question() {
  local w
  for w in $(xdotool search --onlyvisible --name '^Varnel$' 2>/dev/null); do
    [ "$w" != "$WID" ] && xwininfo -id "$w" | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {exit !(w*h > 5000)}' \
      && echo "$w"
  done
  true
}
key alt+f x
wait_for '[ -n "$(question)" ]' 5 || fail "no question before the pasted picture went"
xdotool windowfocus --sync "$(question | head -1)" 2>/dev/null || true
xdotool key --delay 80 Tab space
wait_for "! kill -0 $APP_PID" 10 || fail "program did not end through the exit item"
list=$(iconv -f CP932 -t UTF-8 "$USER_DIR/User.xml" | sed -n 's:.*<QL_RNG>\(.*\)</QL_RNG>.*:\1:p')
[[ "$list" =~ ^Mine,([0-9]+),([0-9]+),px:Temporary,([0-9]+),([0-9]+),px$ ]] || fail "stored list is '$list'"
[ "${BASH_REMATCH[1]}" = "${BASH_REMATCH[3]}" ] && [ "${BASH_REMATCH[1]}" -gt 60 ] \
  && [ "${BASH_REMATCH[2]}" -gt 40 ] || fail "registered size is not the dragged range: '$list'"
echo "1 passed, 0 failed"
