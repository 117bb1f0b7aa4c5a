#!/usr/bin/env bash
# Clipboard owners that trickle, never answer, keep re-taking the clipboard
# or offer what is no picture: standing by, the window keeps answering within
# 100 ms, a normal copy made afterwards is saved within 1 s, and SIGTERM with
# a silent owner ends the program within 3 s, settings saved.
BIN=$1
source "$(dirname "$0")/lib.sh"
start_x
start_tray
start_app
# "連番をつけて保存" under "ｷｬﾌﾟﾁｬ後(&A)", through the keyboard.
key alt+u a Down Down Return
key ctrl+q
wait_for "! is_viewable" 5 || fail "window still shown after Ctrl+Q"
wait_for tray_icon_present 5 || fail "no tray icon in standby"

n=0
copy_is_saved_within_1s() { # what
  n=$((n + 1))
  local f
  f=$(printf '%s/%03d.bmp' "$WORK" $n)
  make_picture "$E2E_TMP/normal$n.png" "rgb($((n * 40)),90,160)"
  local t0=$(date +%s%N)
  offer_png "$E2E_TMP/normal$n.png"
  wait_for "[ -s '$f' ]" 5 || { ls -la "$WORK"; fail "a normal copy after $1 was not saved"; }
  local ms=$(( ($(date +%s%N) - t0) / 1000000 ))
  # The file appears when complete: the save publishes it whole.
  same_pixels "$f" "$E2E_TMP/normal$n.png" || fail "$f differs from the copy after $1"
  [ "$ms" -le 1000 ] || fail "the copy after $1 took $ms ms to be saved"
  echo "copy after $1 saved in $ms ms"
}

make_picture "$E2E_TMP/owned.png" purple
start_owner trickle trickle "$E2E_TMP/owned.png"
answers_fast "a trickling owner"
copy_is_saved_within_1s "a trickling owner"
kill $OWNER_PID

start_owner silent silent
answers_fast "a silent owner"
copy_is_saved_within_1s "a silent owner"
kill $OWNER_PID

start_owner retake retake "$E2E_TMP/owned.png" 30
answers_fast "an owner re-taking the clipboard"
kill $OWNER_PID
wait_for "! kill -0 $OWNER_PID" 5
n=$((n + 1)) # its picture, once, however often it re-took the clipboard
copy_is_saved_within_1s "an owner re-taking the clipboard"
same_pixels "$(printf '%s/%03d.bmp' "$WORK" $((n - 1)))" "$E2E_TMP/owned.png" \
  || { ls -la "$WORK"; fail "the re-taking owner's picture was not saved once"; }

start_owner wrongtype wrongtype
answers_fast "an owner offering no picture"
copy_is_saved_within_1s "an owner offering no picture"
kill $OWNER_PID
[ "$(ls "$WORK" | wc -l)" -eq $n ] || { ls -la "$WORK"; fail "unexpected files in the work folder"; }

# Ending by signal while a silent owner holds a read.
start_owner silent2 silent
sleep 0.2 # the read has begun: it waits for an answer that never comes
before=$(stat -c %Y "$XDG_DATA_HOME/Quillon/varnel/User.xml" 2>/dev/null || echo 0)
t0=$(date +%s%N)
kill -TERM $APP_PID
wait_for "! kill -0 $APP_PID" 3 || fail "SIGTERM did not end the program within 3 s"
echo "SIGTERM ended the program in $(( ($(date +%s%N) - t0) / 1000000 )) ms"
text=$(iconv -f CP932 -t UTF-8 "$XDG_DATA_HOME/Quillon/varnel/User.xml")
grep -q '<ｷｬﾌﾟﾁｬ後表示>2</ｷｬﾌﾟﾁｬ後表示>' <<<"$text" || fail "settings not saved at SIGTERM"
echo "1 passed, 0 failed"
