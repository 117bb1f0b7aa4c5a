#!/usr/bin/env bash
# On a desktop without a clipboard manager, standby keeps what a program
# hands over as it exits: one numbered file with its pixels, and a paste
# afterwards still gets the picture. The role goes when standby ends.
BIN=$1
source "$(dirname "$0")/lib.sh"
OWNER="$(dirname "$BIN")/varnel-test-owner"
[ -x "$OWNER" ] || fail "varnel-test-owner is not built beside the program"
manager() { "$OWNER" owner CLIPBOARD_MANAGER; }
# Two pictures of the screen that differ at most around the pointer (at 200,300).
at_pointer_only() { # a b
  local box bw bh bx by
  box=$(convert "$1" "$2" -compose difference -composite -threshold 0 -format '%@' info: 2>/dev/null)
  [[ $box == 0x0+* ]] && return 0 # the same pixels
  read -r bw bh bx by < <(sed -E 's/([0-9]+)x([0-9]+)\+([0-9]+)\+([0-9]+)/\1 \2 \3 \4/' <<<"$box")
  echo "$1 and $2 differ in $box"
  [ "$bw" -le 32 ] && [ "$bh" -le 32 ] && [ $((bx - 200)) -ge -32 ] && [ $((bx - 200)) -le 32 ] \
    && [ $((by - 300)) -ge -32 ] && [ $((by - 300)) -le 32 ]
}
start_x
start_tray
start_app
[ "$(manager)" = 0 ] || fail "the clipboard manager's role was taken outside standby"
# "連番をつけて保存" under "ｷｬﾌﾟﾁｬ後(&A)", through the keyboard.
key alt+u a Down Down Return
key ctrl+q
wait_for "! is_viewable" 5 || fail "window still shown after Ctrl+Q"
wait_for "[ \"\$(manager)\" != 0 ]" 5 || fail "standby did not take the clipboard manager's role"

# A program that copies, hands over and exits at once.
make_picture "$E2E_TMP/tool.png" teal
out=$(timeout 10 "$OWNER" handover "$E2E_TMP/tool.png") || fail "the hand-over was refused ($out)"
wait_for "[ -s '$WORK/001.bmp' ]" 5 || fail "the handed-over picture was not saved"
same_pixels "$WORK/001.bmp" "$E2E_TMP/tool.png" || fail "001.bmp differs from the handed-over picture"
xclip -o -selection clipboard -t image/png >"$E2E_TMP/pasted.png" || fail "nothing to paste after the owner left"
cmp -s "$E2E_TMP/pasted.png" "$E2E_TMP/tool.png" || fail "the paste after the owner left differs"
sleep 0.3
[ "$(ls "$WORK" | wc -l)" -eq 1 ] || { ls -la "$WORK"; fail "the hand-over was saved more than once"; }

# A real screenshot tool that copies the screen and exits, where installed.
if command -v xfce4-screenshooter >/dev/null; then
  xdotool mousemove 200 300
  # The screen as the tool itself sees it (with the pointer drawn in).
  timeout 20 xfce4-screenshooter -f -s "$E2E_TMP/screen.png" >"$E2E_TMP/shooter.log" 2>&1 || true
  [ -s "$E2E_TMP/screen.png" ] || { cat "$E2E_TMP/shooter.log"; fail "the screenshot tool saved no file"; }
  [ -e "$WORK/002.bmp" ] && fail "a saved screenshot was captured"
  timeout 20 xfce4-screenshooter -f -c >"$E2E_TMP/shooter.log" 2>&1 || true
  wait_for "[ -s '$WORK/002.bmp' ]" 5 || { cat "$E2E_TMP/shooter.log"; fail "the screenshot tool's picture was not saved"; }
  # The copy draws the pointer in, the saved file does not (and a capture
  # stamps its own): only the pointer's place may differ.
  at_pointer_only "$WORK/002.bmp" "$E2E_TMP/screen.png" || fail "002.bmp does not hold the screen's pixels"
  xclip -o -selection clipboard -t TARGETS >"$E2E_TMP/targets" || fail "no clipboard after the tool left"
  t=$(grep -m1 '^image/' "$E2E_TMP/targets") || fail "no picture offered after the tool left"
  xclip -o -selection clipboard -t "$t" >"$E2E_TMP/pasted2" || fail "no paste after the tool left"
  at_pointer_only "$E2E_TMP/pasted2" "$E2E_TMP/screen.png" || fail "the paste after the tool left is not the screen"
  sleep 0.3
  [ "$(ls "$WORK" | wc -l)" -eq 2 ] || { ls -la "$WORK"; fail "the tool's picture was saved more than once"; }
else
  echo "xfce4-screenshooter not installed: the real tool is not tried"
fi

# Standby ends: the role is given up.
ICON=$(xwininfo -root -tree | grep '"Varnel": ("varnel" "Varnel")  22x22' | awk '{print $1}')
xdotool mousemove --window "$ICON" 10 10 click 1
wait_for is_viewable 5 || fail "window did not come back from the tray"
wait_for "[ \"\$(manager)\" = 0 ]" 5 || fail "the clipboard manager's role was kept after standby"
echo "1 passed, 0 failed"
