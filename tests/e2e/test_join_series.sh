#!/usr/bin/env bash
# A page scrolled under a fixed title bar, captured three times in standby;
# the three files picked in the work-folder list (a click, a Shift-click),
# "作業ﾌｫﾙﾀﾞ" -> "画像をつなぐ", and the joined picture saved as PNG: the
# file is the page under one title bar.
BIN=$1
source "$(dirname "$0")/lib.sh"
start_x
start_tray
start_app

convert -seed 11 -size 320x436 plasma:fractal -depth 8 "$E2E_TMP/page.png"
convert -size 320x24 "xc:rgb(0,84,166)" -fill white -draw "rectangle 8,6 60,16" "$E2E_TMP/bar.png"
convert "$E2E_TMP/bar.png" "$E2E_TMP/page.png" -append "$E2E_TMP/expected.png"
n=0
for y in 0 110 260; do
  n=$((n + 1))
  convert "$E2E_TMP/page.png" -crop 320x176+0+$y +repage "$E2E_TMP/part.png"
  convert "$E2E_TMP/bar.png" "$E2E_TMP/part.png" -append "$E2E_TMP/cap$n.png"
done

# "連番をつけて保存" under "ｷｬﾌﾟﾁｬ後(&A)"; the work-folder list shown.
key alt+u a Down Down Return
key alt+d Return
key ctrl+q
wait_for "! is_viewable" 5 || fail "window still shown after Ctrl+Q"
for n in 1 2 3; do
  offer_png "$E2E_TMP/cap$n.png"
  wait_for "[ -f '$WORK/00$n.bmp' ]" 10 || { ls -la "$WORK"; fail "capture $n not saved"; }
done

show_from_tray
# The first row hit from the top is 001.bmp (every capture has the title bar).
click_list_until_shown 'rgb(0,84,166)' || fail "clicking the list never showed a capture"
# Shift-click on the third row (rows are about 14 pixels high).
xdotool keydown shift mousemove --window "$WID" 30 $((LIST_Y + 30)) click 1 keyup shift
sleep 0.3

# With a picture loaded the file menu's keyboard order is 開く, 名前を付けて
# 保存, Brivale, 作業ﾌｫﾙﾀﾞ; in the submenu Up from the first item wraps to
# the last, 画像をつなぐ.
key alt+f Down Down Down Right Up Return
sleep 0.5
[ "$(other_windows)" -eq 0 ] || { dialog_key Return; fail "the join was refused"; }

# Not any one file's picture: Ctrl+S asks for a name; PNG from the format list.
key ctrl+s
wait_for '[ "$(other_windows)" -ge 1 ]' 10 || fail "the save dialog did not appear"
sleep 1
dialog_type "$E2E_TMP/joined"
dialog_key Tab Down Down Down Down Down Return
wait_for "[ -f '$E2E_TMP/joined.png' ]" 10 || { ls -la "$E2E_TMP"; fail "no joined.png"; }
[ "$(identify -format '%wx%h' "$E2E_TMP/joined.png")" = 320x460 ] ||
  fail "joined.png is $(identify -format '%wx%h' "$E2E_TMP/joined.png"), not 320x460"
same_pixels "$E2E_TMP/joined.png" "$E2E_TMP/expected.png" || fail "the joined picture is not the page"

key alt+f x
wait_for "! kill -0 $APP_PID" 10 || fail "program did not end through the exit item"
echo "1 passed, 0 failed"
