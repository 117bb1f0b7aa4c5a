#!/usr/bin/env bash
# Pictures in and out: two standby captures, the second opened from the work
# folder list, the storage folder set in its dialog through the keyboard, a
# numbered PNG saved into it; then a JPEG opened by typing its path into the
# open dialog and saved under a bare name with PNG chosen in the save dialog.
BIN=$1
source "$(dirname "$0")/lib.sh"
start_x
start_tray
start_app

# "連番をつけて保存" under "ｷｬﾌﾟﾁｬ後(&A)"; the work-folder list shown.
key alt+u a Down Down Return
key alt+d Return

key ctrl+q
wait_for "! is_viewable" 5 || fail "window still shown after Ctrl+Q"
make_picture "$E2E_TMP/first.png" red
make_picture "$E2E_TMP/second.png" "rgb(0,160,90)"
for p in first second; do
  offer_png "$E2E_TMP/$p.png"
  sleep 0.7
done
wait_for "[ -f '$WORK/002.bmp' ]" 10 || { ls -la "$WORK"; fail "two captures not saved"; }

show_from_tray
# The list's second row is 002.bmp.
click_list_until_shown 'rgb(0,160,90)' || fail "clicking the list never showed the second capture"

# "格納" -> "画像格納の指定", through the keyboard. With a picture loaded the
# file menu's keyboard order is 開く, 名前を付けて保存, Brivale, 作業ﾌｫﾙﾀﾞ, 格納;
# the storage submenu opens on its first enabled item, ｴｸｽﾌﾟﾛｰﾗｰで開く.
STORE="$E2E_TMP/store here"
mkdir -p "$STORE"
key alt+f Down Down Down Down Right Down Down Return
wait_for '[ "$(other_windows)" -ge 1 ]' 5 || fail "the storage dialog did not open"
dialog_key ctrl+a
dialog_type "$STORE"
dialog_key Tab Tab ctrl+a
dialog_type "shot_"
dialog_key alt+o
wait_for '[ "$(other_windows)" -eq 0 ]' 5 || fail "the storage dialog did not close"

# "格納" -> "連番をつけて保存", now enabled and first.
key alt+f Down Down Down Down Right Return
wait_for "[ -f '$STORE/shot_001.png' ]" 10 || { ls -la "$STORE"; fail "no numbered PNG in the storage folder"; }
wait_for '[ "$(other_windows)" -ge 1 ]' 5 || fail "no message after the numbered save"
dialog_key Return # the saved message
wait_for '[ "$(other_windows)" -eq 0 ]' 5 || fail "the message did not close"
same_pixels "$STORE/shot_001.png" "$E2E_TMP/second.png" || fail "the stored PNG differs from the second capture"
[ "$(identify -format '%m' "$STORE/shot_001.png")" = PNG ] || fail "stored file is not a PNG"

# "開く(&O)": type the JPEG's path into the dialog.
convert -size 400x300 "xc:rgb(30,60,200)" -quality 95 "$E2E_TMP/typed in.jpg"
key ctrl+o
wait_for '[ "$(other_windows)" -ge 1 ]' 10 || fail "the open dialog did not appear"
sleep 1
dialog_type "$E2E_TMP/typed in.jpg"
dialog_key Return
wait_for '[ "$(other_windows)" -eq 0 ]' 10 || fail "the open dialog did not close"
sleep 0.5
[ "$(window_pixels_near 'rgb(30,60,200)')" -gt 50000 ] || fail "the typed JPEG is not shown"

# "名前を付けて保存": a name typed without extension, PNG chosen in the
# dialog's format list (BMP, JPG, TIF, PCX, FPX, PNG, GIF).
key alt+f Down Return
wait_for '[ "$(other_windows)" -ge 1 ]' 10 || fail "the save dialog did not appear"
sleep 1
dialog_type "$E2E_TMP/chosen"
dialog_key Tab Down Down Down Down Down Return
wait_for "[ -f '$E2E_TMP/chosen.png' ]" 10 || { ls -la "$E2E_TMP"; fail "no chosen.png from the save dialog"; }
[ "$(identify -format '%m %wx%h' "$E2E_TMP/chosen.png")" = "PNG 400x300" ] || fail "chosen.png is not the picture as PNG"
[ ! -e "$E2E_TMP/chosen" ] || fail "a file without extension was written"

key alt+f x
wait_for "! kill -0 $APP_PID" 10 || fail "program did not end through the exit item"
echo "1 passed, 0 failed"
