#!/usr/bin/env bash
# What killed saves left is removed at start (only that); SIGTERM in standby
# runs the ordinary exit: settings saved, icon removed, exit status 0.
BIN=$1
source "$(dirname "$0")/lib.sh"
start_x
start_tray

export XDG_DATA_HOME="$E2E_TMP/data"
W="$XDG_DATA_HOME/Quillon/varnel/Temp"
mkdir -p "$W"
head -c 100000 /dev/urandom > "$W/.004.bmp.varnel-Xy12Ab.tmp"
touch -d '1 hour ago' "$W/.004.bmp.varnel-Xy12Ab.tmp"
echo mine > "$W/.notes.txt.varnel-Xy12Ab.tmp"
touch -d '1 hour ago' "$W/.notes.txt.varnel-Xy12Ab.tmp"
head -c 1000 /dev/urandom > "$W/.005.bmp.varnel-Qq34Rr.tmp" # being written right now

start_app
[ -e "$W/.004.bmp.varnel-Xy12Ab.tmp" ] && fail "stale temporary not removed at start"
[ -e "$W/.notes.txt.varnel-Xy12Ab.tmp" ] || fail "a file that is not the program's was removed"
[ -e "$W/.005.bmp.varnel-Qq34Rr.tmp" ] || fail "a fresh temporary was removed"
rm -f "$W/.005.bmp.varnel-Qq34Rr.tmp"

# A change made during the run: "連番をつけて保存" after capture.
key alt+u a Down Down Return
key ctrl+q
wait_for "! is_viewable" 5 || fail "window still shown after Ctrl+Q"
wait_for tray_icon_present 5 || fail "no tray icon in standby"

kill -TERM $APP_PID
set +e
wait $APP_PID
rc=$?
set -e
[ $rc -eq 0 ] || fail "SIGTERM ended the program with $rc, not through its exit"
tray_icon_present && fail "tray icon left behind"
text=$(iconv -f CP932 -t UTF-8 "$XDG_DATA_HOME/Quillon/varnel/User.xml")
grep -q '<ｷｬﾌﾟﾁｬ後表示>2</ｷｬﾌﾟﾁｬ後表示>' <<<"$text" || fail "the setting chosen before SIGTERM was not saved"
ls -a "$XDG_DATA_HOME/Quillon/varnel" | grep -q '^\.User\.xml\.' && fail "settings temporary left behind"

# SIGTERM right after a big capture arrived: the save finishes first, no
# temporary is left, the picture is whole.
start_app
key ctrl+q
wait_for "! is_viewable" 5 || fail "window still shown after Ctrl+Q (big capture)"
convert -size 3840x2160 plasma:fractal -depth 8 "$E2E_TMP/big.png"
offer_png "$E2E_TMP/big.png"
sleep 0.15
kill -TERM $APP_PID
set +e; wait $APP_PID; rc=$?; set -e
[ $rc -eq 0 ] || fail "SIGTERM during a capture ended the program with $rc"
ls -a "$W" | grep -q '^\.0.*\.bmp\.' && { ls -la "$W"; fail "capture temporary left behind"; }
for f in "$W"/*.bmp; do
  [ -e "$f" ] || continue
  [ "$(identify -format '%wx%h' "$f")" = 3840x2160 ] || fail "$f is not whole"
done

# SIGINT and SIGHUP take the same road.
for sig in INT HUP; do
  start_app
  kill -$sig $APP_PID
  set +e; wait $APP_PID; rc=$?; set -e
  [ $rc -eq 0 ] || fail "SIG$sig ended the program with $rc"
done
echo "1 passed, 0 failed"
