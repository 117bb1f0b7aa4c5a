#!/usr/bin/env bash
# A full user data folder at exit: the user is told, User.xml stays whole,
# no temporary is left. Needs a small tmpfs (root that may mount).
BIN=$1
source "$(dirname "$0")/lib.sh"

export XDG_DATA_HOME="$E2E_TMP/data"
MNT="$XDG_DATA_HOME/Quillon"
mkdir -p "$MNT"
if [ "$(id -u)" != 0 ] || ! mount -t tmpfs -o size=512k tmpfs "$MNT" 2>/dev/null; then
  echo "SKIP: cannot mount a small tmpfs here (needs root with mount rights)"
  exit 0
fi
trap 'umount -l "$MNT" 2>/dev/null || true; e2e_cleanup' EXIT
start_x
USER_XML="$MNT/varnel/User.xml"

# A first run writes the file.
start_app
key alt+f x
wait_for "! kill -0 $APP_PID" 10 || fail "first run did not end"
[ -s "$USER_XML" ] || fail "no settings written on an empty disk"
cp "$USER_XML" "$E2E_TMP/before.xml"

# The second run changes a setting, then the disk fills.
start_app
key alt+u a Down Down Return
dd if=/dev/zero of="$MNT/filler" bs=4k >/dev/null 2>&1 || true
key alt+f x
wait_for "[ \$(xdotool search --onlyvisible --name '^Varnel\$' | wc -l) -ge 2 ]" 10 \
  || fail "no message about the failed save"
D=$(xdotool search --onlyvisible --name '^Varnel$' | grep -v "^$WID\$" | head -1)
xdotool windowfocus --sync "$D" key Return 2>/dev/null || xdotool key Return
wait_for "! kill -0 $APP_PID" 10 || fail "program did not end after the message"
cmp -s "$USER_XML" "$E2E_TMP/before.xml" || fail "User.xml changed although the save failed"
ls -a "$MNT/varnel" | grep -q '^\.User\.xml\.' && fail "temporary left behind"

# With room again the change is kept.
rm -f "$MNT/filler"
start_app
key alt+u a Down Down Return
key alt+f x
wait_for "! kill -0 $APP_PID" 10 || fail "third run did not end"
iconv -f CP932 -t UTF-8 "$USER_XML" | grep -q '<ｷｬﾌﾟﾁｬ後表示>2</ｷｬﾌﾟﾁｬ後表示>' || fail "setting not saved with room"

# SIGTERM in standby with the disk full again: the failure is told on
# standard error (and the tray), nobody is waited for, the program ends.
start_tray
start_app
key ctrl+q
wait_for "! is_viewable" 10 || fail "standby did not begin"
dd if=/dev/zero of="$MNT/filler" bs=4k >/dev/null 2>&1 || true
kill -TERM "$APP_PID"
wait_for "! kill -0 $APP_PID" 3 || fail "the program still runs 3 s after SIGTERM"
grep -q '設定を保存できません' "$E2E_TMP/app.log" || { cat "$E2E_TMP/app.log"; fail "the failed save was not told on standard error"; }
echo "1 passed, 0 failed"
