#!/usr/bin/env bash
# One program per user data folder whatever the runtime folder: a second
# start from another session (its own XDG_RUNTIME_DIR) reaches the first;
# without XDG_RUNTIME_DIR, a lock and a socket planted under the names a
# shared /tmp would offer change nothing.
BIN=$(readlink -f "$1")
source "$(dirname "$0")/lib.sh"
start_x
start_tray
start_app
DATA="$XDG_DATA_HOME/Quillon/varnel"
[ -e "$DATA/varnel.lock" ] || fail "no lock in the user data folder"
key ctrl+q
wait_for "! is_viewable" 5 || fail "window still shown after Ctrl+Q"

mkdir -m 700 "$E2E_TMP/run2"
set +e
XDG_RUNTIME_DIR="$E2E_TMP/run2" timeout 20 "$BIN" >"$E2E_TMP/second.log" 2>&1
rc=$?
set -e
[ $rc -eq 0 ] || { cat "$E2E_TMP/second.log"; fail "the start from another session ended with $rc"; }
wait_for is_viewable 5 || fail "the running window did not come out of standby"
[ "$(xdotool search --onlyvisible --name '^Varnel$' | wc -l)" -eq 1 ] || fail "a second window appeared"
kill -TERM $APP_PID
wait_for "! kill -0 $APP_PID" 10 || fail "program did not end on SIGTERM"

# Planted by someone else before the start: a lock held by a live process
# and a socket that records what reaches it, under the folder's hash.
hash=$(printf '%s' "$DATA" | sha256sum | cut -c1-16)
sleep 300 &
LIVE=$!
E2E_PIDS+=($LIVE)
PLANTED=()
for d in /tmp "/tmp/runtime-$(id -un)"; do
  [ -d "$d" ] || continue
  [ -e "$d/varnel-$hash.lock" ] && fail "$d/varnel-$hash.lock exists already"
  printf '%s\n%s\n%s\n' $LIVE varnel "$(hostname)" >"$d/varnel-$hash.lock"
  python3 -c '
import os, socket, sys
s = socket.socket(socket.AF_UNIX); s.bind(sys.argv[1]); s.listen(5)
while True:
    c, _ = s.accept(); open(sys.argv[2], "ab").write(b"connected\n" + c.recv(65536)); c.close()
' "$d/varnel-$hash.sock" "$E2E_TMP/planted.log" &
  E2E_PIDS+=($!)
  PLANTED+=("$d/varnel-$hash.lock" "$d/varnel-$hash.sock")
done
trap 'rm -f "${PLANTED[@]}"; e2e_cleanup' EXIT
wait_for "[ -S '/tmp/varnel-$hash.sock' ]" 5 || fail "the planted socket is not there"

unset XDG_RUNTIME_DIR
"$BIN" >"$E2E_TMP/app2.log" 2>&1 &
APP_PID=$!
E2E_PIDS+=($APP_PID)
wait_for main_window 20 || { cat "$E2E_TMP/app2.log"; fail "no window with a planted lock in /tmp"; }
WID=$(main_window)
key ctrl+q
wait_for "! is_viewable" 5 || fail "window still shown after Ctrl+Q (no runtime folder)"
# A file name with a line break reaches the running program whole.
convert -size 300x200 xc:"rgb(220,20,60)" "$E2E_TMP/two
lines.png"
timeout 20 "$BIN" "$E2E_TMP/two
lines.png" || fail "hand-over start failed without a runtime folder"
wait_for is_viewable 5 || fail "the window did not come back for the file"
sleep 0.8
import -window "$WID" "$E2E_TMP/shot.png"
share=$(convert "$E2E_TMP/shot.png" -fuzz 8% -fill white -opaque "rgb(220,20,60)" -fill black +opaque white \
  -format '%[fx:mean]' info:)
awk -v s="$share" 'BEGIN { exit !(s > 0.2) }' || fail "the handed-over picture is not shown (share $share)"
[ -s "$E2E_TMP/planted.log" ] && fail "the planted socket was talked to: $(cat "$E2E_TMP/planted.log")"
[ "$(xdotool search --onlyvisible --name '^Varnel$' | wc -l)" -eq 1 ] || fail "not exactly one window"
echo "1 passed, 0 failed"
