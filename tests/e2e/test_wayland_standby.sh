#!/usr/bin/env bash
# On a Wayland desktop (headless sway with XWayland), standby saving numbered
# files takes in copies from native Wayland clients and from X11 clients
# while neither has the focus, not the picture there before standby, and
# every picture once.
BIN=$1
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/wayland.sh"
start_sway

# Save-numbered after capture, set before the start.
export XDG_DATA_HOME="$E2E_TMP/data"
write_user_xml "$XDG_DATA_HOME/Quillon/varnel" "   <ﾕｰｻﾞｰ>" "      <ｷｬﾌﾟﾁｬ後表示>2</ｷｬﾌﾟﾁｬ後表示>" "   </ﾕｰｻﾞｰ>"

make_picture "$E2E_TMP/before.png" orange
wl_offer_png "$E2E_TMP/before.png"
start_app
key ctrl+q
# Standby has started the Wayland watcher (a thread of the program) once
# it is listed; copies made before it are the "already there" kind.
wait_for "grep -qx wl-clip-watch /proc/$APP_PID/task/*/comm" 15 || { cat "$E2E_TMP/app.log"; fail "the Wayland watcher did not start"; }
sleep 1
# Nobody's window has the focus: an empty workspace is shown.
swaymsg workspace 9 >/dev/null || fail "swaymsg could not switch the workspace"

make_picture "$E2E_TMP/red.png" red
wl_offer_png "$E2E_TMP/red.png"
wait_for "[ -f '$WORK/001.bmp' ]" 15 || { ls -la "$WORK"; cat "$E2E_TMP/app.log"; fail "the Wayland copy was not captured"; }

make_picture "$E2E_TMP/green.png" green
offer_png "$E2E_TMP/green.png"
wait_for "[ -f '$WORK/002.bmp' ]" 15 || { ls -la "$WORK"; cat "$E2E_TMP/app.log"; fail "the X11 copy was not captured"; }

make_picture "$E2E_TMP/blue.png" blue
wl_offer_png "$E2E_TMP/blue.png"
wait_for "[ -f '$WORK/003.bmp' ]" 15 || { ls -la "$WORK"; fail "the second Wayland copy was not captured"; }

# Back to the program's workspace: the focus returns to an X11 window, and
# the bridge announces the newest copy again.
swaymsg workspace 1 >/dev/null
sleep 2
ls "$WORK"
[ "$(ls "$WORK" | wc -l)" -eq 3 ] || { ls -la "$WORK"; fail "duplicates or stray files in the work folder"; }
same_pixels "$WORK/001.bmp" "$E2E_TMP/red.png" || fail "001.bmp differs from the Wayland copy"
same_pixels "$WORK/002.bmp" "$E2E_TMP/green.png" || fail "002.bmp differs from the X11 copy"
same_pixels "$WORK/003.bmp" "$E2E_TMP/blue.png" || fail "003.bmp differs from the second Wayland copy"
kill -0 "$APP_PID" || fail "the program ended"
echo "1 passed, 0 failed"
