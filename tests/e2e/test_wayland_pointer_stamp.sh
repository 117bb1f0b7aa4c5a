#!/usr/bin/env bash
# On a Wayland desktop (headless sway with XWayland), standby with pointer
# stamping stamps the pointer where it is while it is over an X11 window,
# and leaves the picture as it came while the pointer is over a native
# Wayland window or an empty workspace, where the X server only knows a
# stale pointer.
BIN=$1
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/wayland.sh"
start_sway
start_pointer

# Save-numbered after capture, pointer stamping on, set before the start.
export XDG_DATA_HOME="$E2E_TMP/data"
write_user_xml "$XDG_DATA_HOME/Quillon/varnel" "   <ﾕｰｻﾞｰ>" "      <ｷｬﾌﾟﾁｬ後表示>2</ｷｬﾌﾟﾁｬ後表示>" \
  "      <ﾏｳｽﾎﾟｲﾝﾀ>取込</ﾏｳｽﾎﾟｲﾝﾀ>" "   </ﾕｰｻﾞｰ>"

start_app
key ctrl+q
wait_for "grep -qx wl-clip-watch /proc/$APP_PID/task/*/comm" 15 || { cat "$E2E_TMP/app.log"; fail "the Wayland watcher did not start"; }
sleep 1

# Another workspace: an X11 window below a native Wayland bar at the top.
swaymsg workspace 2 >/dev/null || fail "swaymsg could not switch the workspace"
xmessage -geometry 400x300 "an X11 window" >/dev/null 2>&1 &
E2E_PIDS+=($!)
wait_for "xdotool search --onlyvisible --class Xmessage" 10 || fail "the X11 window did not appear"
XW=$(xdotool search --onlyvisible --class Xmessage | head -1)
xtop() { xwininfo -id "$XW" | awk '/Absolute upper-left Y/ {print $4}'; }
top0=$(xtop)
mkdir -p "$E2E_TMP/nag"
chmod 700 "$E2E_TMP/nag"
XDG_RUNTIME_DIR="$E2E_TMP/nag" swaynag -m "a native Wayland window" >"$E2E_TMP/swaynag.log" 2>&1 &
E2E_PIDS+=($!)
# The bar takes the top of the screen: the X11 window moves down.
wait_for "[ \"\$(xtop)\" -gt $top0 ]" 10 || { cat "$E2E_TMP/swaynag.log"; fail "the Wayland bar did not appear"; }
read -r wx wy ww wh < <(xwininfo -id "$XW" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4}
  /Width:/ {w=$2} /Height:/ {h=$2} END {print x, y, w, h}')

# One flat colour as big as the screen: the pointer stands where it stands
# on screen, and any stamp shows.
read -r sw sh < <(xdpyinfo | awk '/dimensions:/ {split($2, d, "x"); print d[1], d[2]}')
n=0
# Copies a flat picture from a native client and waits for the next file.
capture() { # colour
  n=$((n + 1))
  CAPTURED=$(printf '%s/%03d.bmp' "$WORK" "$n")
  SENT="$E2E_TMP/$n.png"
  convert -size "${sw}x${sh}" "xc:$1" "$SENT"
  wl_offer_png "$SENT"
  wait_for "[ -f '$CAPTURED' ]" 15 || { ls -la "$WORK"; cat "$E2E_TMP/app.log"; fail "copy $n was not captured"; }
  sleep 0.3
}
# The default X cursor size: a stamp lies within that of the hot spot.
C=24
stamped_at() { # x y
  [ "$(identify -format '%wx%h' "$CAPTURED")" = "${sw}x${sh}" ] || fail "$CAPTURED has another size"
  same_pixels "$CAPTURED" "$SENT" && fail "$CAPTURED: no pointer stamped at $1,$2"
  local box bw bh bx by
  box=$(convert "$CAPTURED" "$SENT" -compose difference -composite -threshold 0 -format '%@' info:)
  IFS='x+' read -r bw bh bx by <<<"$box"
  [ "$bx" -ge $(($1 - C)) ] && [ "$by" -ge $(($2 - C)) ] \
    && [ $((bx + bw)) -le $(($1 + C)) ] && [ $((by + bh)) -le $(($2 + C)) ] \
    || fail "$CAPTURED: the stamp covers $box, not the pointer at $1,$2"
  echo "stamp $box for the pointer at $1,$2"
}
unstamped() { # why
  same_pixels "$CAPTURED" "$SENT" && return 0
  fail "$CAPTURED has a stamp at $(convert "$CAPTURED" "$SENT" -compose difference -composite \
    -threshold 0 -format '%@' info:) while the pointer was over $1"
}

# Over the X11 window: stamped where the pointer is.
px=$((wx + ww / 3)) py=$((wy + wh / 2))
move_pointer $px $py
capture red
stamped_at $px $py

# Over the native bar: the X server's pointer is stale, the picture unstamped.
move_pointer $((sw / 2)) 8
capture blue
unstamped "a native Wayland window"

# Over an empty workspace: likewise.
swaymsg workspace 9 >/dev/null
move_pointer $((sw / 4)) $((sh / 4))
capture green
unstamped "no window"

# Back over the X11 window elsewhere: stamped there.
swaymsg workspace 2 >/dev/null
px=$((wx + ww * 2 / 3)) py=$((wy + wh * 3 / 4))
move_pointer $px $py
capture yellow
stamped_at $px $py

[ "$(ls "$WORK" | wc -l)" -eq 4 ] || { ls -la "$WORK"; fail "duplicates or stray files in the work folder"; }
kill -0 "$APP_PID" || fail "the program ended"
echo "1 passed, 0 failed"
