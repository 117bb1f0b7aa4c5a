#!/usr/bin/env bash
# One program per user data folder: a second start brings the first out of
# standby and ends; "varnel FILE" hands FILE to the running window; a bad
# argument is a usage error.
BIN=$(readlink -f "$1")
source "$(dirname "$0")/lib.sh"
start_x
start_tray

# A usage error needs no window and says why.
set +e
"$BIN" --no-such-option >"$E2E_TMP/usage.out" 2>"$E2E_TMP/usage.err"
rc=$?
set -e
[ $rc -eq 2 ] || fail "unknown option ended with $rc, not 2"
grep -q "unknown option '--no-such-option'" "$E2E_TMP/usage.err" || fail "no clear message: $(cat "$E2E_TMP/usage.err")"

start_app
key ctrl+q
wait_for "! is_viewable" 5 || fail "window still shown after Ctrl+Q"

# Second start: ends at once with 0, the first comes back.
set +e
timeout 20 "$BIN" >"$E2E_TMP/second.log" 2>&1
rc=$?
set -e
[ $rc -eq 0 ] || { cat "$E2E_TMP/second.log"; fail "second start ended with $rc"; }
wait_for is_viewable 5 || fail "the running window did not come out of standby"
[ "$(xdotool search --onlyvisible --name '^Varnel$' | wc -l)" -eq 1 ] || fail "a second window appeared"
kill -0 $APP_PID || fail "the first program ended"

# Hand-over of a file, while in standby again.
key ctrl+q
wait_for "! is_viewable" 5 || fail "window still shown after the second Ctrl+Q"
convert -size 300x200 xc:"rgb(220,20,60)" "$E2E_TMP/crimson.png"
( cd "$E2E_TMP" && timeout 20 "$BIN" crimson.png ) || fail "hand-over start failed"
wait_for is_viewable 5 || fail "the window did not come back for the file"
sleep 0.8
import -window "$WID" "$E2E_TMP/shot.png"
share=$(convert "$E2E_TMP/shot.png" -fuzz 8% -fill white -opaque "rgb(220,20,60)" -fill black +opaque white \
  -format '%[fx:mean]' info:)
awk -v s="$share" 'BEGIN { exit !(s > 0.2) }' || fail "the handed-over picture is not shown (share $share)"

# Ending the first program frees the folder: the next start gets a window.
kill -TERM $APP_PID
wait_for "! kill -0 $APP_PID" 10 || fail "program did not end on SIGTERM"
start_app
# A program that crashed (killed outright) leaves a lock that does not block.
kill -KILL $APP_PID
wait $APP_PID 2>/dev/null || true
start_app
[ "$(xdotool search --onlyvisible --name '^Varnel$' | wc -l)" -eq 1 ] || fail "not exactly one window after a crash"
echo "1 passed, 0 failed"
