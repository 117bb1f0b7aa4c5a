#!/usr/bin/env bash
# The drawing tool bar opens with its whole frame on the screen when the
# window manager frames it without moving it: from a fresh start, the main
# window where the window manager put it, at the top of the screen.
BIN=$1
source "$(dirname "$0")/lib.sh"
start_x
start_window_manager
start_app
make_picture "$E2E_TMP/shot.png" teal
offer_png "$E2E_TMP/shot.png"
key ctrl+v
wait_for "[ -n \"\$(colour_on_screen teal)\" ]" 10 || fail "the pasted picture is not shown"
# "ﾂｰﾙﾊﾞｰを表示": above "画像枠を追加" (redo is disabled, undo is not).
key alt+e Up Up Up Return
wait_for "xdotool search --onlyvisible --name '^ToolBar\$'" 5 || fail "the tool bar did not open"
TB=$(xdotool search --onlyvisible --name '^ToolBar$' | head -1)
wait_for "xprop -id $TB _NET_FRAME_EXTENTS | grep -q =" 5 || fail "the tool bar was not framed"
read -r LEFT _ TOP _ < <(xprop -id "$TB" _NET_FRAME_EXTENTS | sed -E 's/.*= *//; s/,//g')
client_at() { xwininfo -id "$TB" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4} END {print x, y}'; }
wait_for "read -r X Y < <(client_at); [ \$((Y - $TOP)) -ge 0 ] && [ \$((X - $LEFT)) -ge 0 ]" 5 \
  || fail "the tool bar's frame lies off the screen (client at $(client_at), frame $LEFT left, $TOP top)"
echo "1 passed, 0 failed"
