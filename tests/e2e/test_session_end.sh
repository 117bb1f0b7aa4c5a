#!/usr/bin/env bash
# The desktop's session end (an X session manager shutting the session down)
# ends the program through its own exit: the settings chosen during the run
# are saved, the tray icon goes, exit status 0. A checkpoint (the session
# saved while it goes on) leaves the program running.
BIN=$1
source "$(dirname "$0")/lib.sh"
command -v xsm >/dev/null || { echo "SKIP: no X session manager (xsm from x11-session-utils)"; exit 77; }
start_x
start_tray

export HOME="$E2E_TMP/home" XDG_RUNTIME_DIR="$E2E_TMP/run"
mkdir -p "$HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
# The session manager starts what this file names, with the session's
# address in the environment; that first client hands the address over.
printf '%s\n' "$E2E_TMP/tell-address" > "$HOME/.xsmstartup"
printf '#!/bin/sh\necho "$SESSION_MANAGER" > %s/address\nsleep 600\n' "$E2E_TMP" > "$E2E_TMP/tell-address"
chmod +x "$E2E_TMP/tell-address"
xsm >"$E2E_TMP/xsm.log" 2>&1 &
XSM_PID=$!
E2E_PIDS+=($XSM_PID)
wait_for "[ -s '$E2E_TMP/address' ]" 15 || { cat "$E2E_TMP/xsm.log"; fail "the session manager did not start"; }
export SESSION_MANAGER
SESSION_MANAGER=$(cat "$E2E_TMP/address")

start_app
# A change made during the run: "連番をつけて保存" after capture.
key alt+u a Down Down Return
key ctrl+q
wait_for "! is_viewable" 5 || fail "window still shown after Ctrl+Q"
wait_for tray_icon_present 5 || fail "no tray icon in standby"
sleep 1

kill -USR1 $XSM_PID # a checkpoint
sleep 2
kill -0 $APP_PID 2>/dev/null || fail "a checkpoint of the session ended the program"
tray_icon_present || fail "a checkpoint of the session removed the tray icon"

kill -TERM $XSM_PID # the session shuts down
wait_for "! kill -0 $APP_PID" 15 || fail "the program outlived the session"
set +e
wait $APP_PID
rc=$?
set -e
[ $rc -eq 0 ] || { cat "$E2E_TMP/app.log"; fail "the session end ended the program with $rc, not through its exit"; }
tray_icon_present && fail "tray icon left behind"
text=$(iconv -f CP932 -t UTF-8 "$XDG_DATA_HOME/Quillon/varnel/User.xml")
grep -q '<ｷｬﾌﾟﾁｬ後表示>2</ｷｬﾌﾟﾁｬ後表示>' <<<"$text" || fail "the setting chosen before the session ended was not saved"
ls -a "$XDG_DATA_HOME/Quillon/varnel" | grep -q '^\.User\.xml\.' && fail "settings temporary left behind"
echo "1 passed, 0 failed"
