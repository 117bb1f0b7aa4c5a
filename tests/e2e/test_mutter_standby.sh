#!/usr/bin/env bash
# On GNOME's compositor (headless mutter with XWayland, no notification
# area), standby says nothing about Wayland copies, for they reach XWayland
# there: the window stays minimised with no message, and copies are captured
# with their pixels.
BIN=$1
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/wayland.sh"
start_mutter

export XDG_DATA_HOME="$E2E_TMP/data"
write_user_xml "$XDG_DATA_HOME/Quillon/varnel" "   <ﾕｰｻﾞｰ>" "      <ｷｬﾌﾟﾁｬ後表示>2</ｷｬﾌﾟﾁｬ後表示>" "   </ﾕｰｻﾞｰ>"
start_app
enter_standby_minimised || { cat "$E2E_TMP/app.log"; fail "Ctrl+Q did not start standby"; }

# For the next three seconds: minimised, and no window of a message.
for i in $(seq 30); do
  ! other_window >/dev/null || { cat "$E2E_TMP/app.log"; fail "standby showed a message"; }
  is_iconic || fail "the window came back by itself"
  sleep 0.1
done

make_picture "$E2E_TMP/red.png" red
offer_png "$E2E_TMP/red.png"
wait_for "[ -f '$WORK/001.bmp' ]" 15 || { ls -la "$WORK"; cat "$E2E_TMP/app.log"; fail "the X11 copy was not captured"; }
same_pixels "$WORK/001.bmp" "$E2E_TMP/red.png" || fail "001.bmp differs from the X11 copy"

# A native Wayland copy, where this headless seat lets wl-copy have one.
if command -v wl-copy >/dev/null 2>&1; then
  make_picture "$E2E_TMP/blue.png" blue
  wl_offer_png "$E2E_TMP/blue.png"
  if wait_for "[ -f '$WORK/002.bmp' ]" 10; then
    same_pixels "$WORK/002.bmp" "$E2E_TMP/blue.png" || fail "002.bmp differs from the Wayland copy"
    echo "the Wayland copy was captured too"
  else
    echo "NOTE: no Wayland copy reached the clipboard on this headless seat"
  fi
fi
is_iconic || fail "the window came back by itself"
! other_window >/dev/null || fail "standby showed a message"
kill -0 "$APP_PID" || fail "the program ended"
echo "1 passed, 0 failed"
