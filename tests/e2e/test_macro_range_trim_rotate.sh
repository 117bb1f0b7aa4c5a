#!/usr/bin/env bash
# The road of a user who records a registered range, trimming, a right turn
# and a numbered save, renames the macro, exits, and after a restart runs it
# from the menu on a fresh capture: the saved picture has the range's size,
# turned.
BIN=$1
source "$(dirname "$0")/lib.sh"
start_x
start_tray
start_window_manager

export XDG_DATA_HOME="$E2E_TMP/data"
USER_DIR="$XDG_DATA_HOME/Quillon/varnel"
mkdir -p "$USER_DIR"
write_user_xml "$USER_DIR" "   <ﾕｰｻﾞｰ>" \
  "      <QL_RNG>R1,100,60,px</QL_RNG>" "   </ﾕｰｻﾞｰ>"
start_app

keys_here() { xdotool key --delay 80 "$@"; sleep 0.4; }
title_is() { xprop -id "$WID" _NET_WM_NAME 2>/dev/null | grep -q "\"$1\""; }

make_picture "$E2E_TMP/first.png" "rgb(200,40,90)"
offer_png "$E2E_TMP/first.png"
sleep 0.5
key ctrl+v

key alt+m Return                                   # 記入_開始
sleep 0.6
keys_here Return
wait_for "title_is 'マクロ記録中・・・'" 5 || fail "not recording"
key alt+e Down Down Down Right Return              # 範囲 ⇒ R1(100 * 60 px)
key ctrl+t                                         # ﾄﾘﾐﾝｸﾞ
key ctrl+r                                         # 右90度
key ctrl+w                                         # 作業ﾌｫﾙﾀﾞ ⇒ 連番をつけて保存
wait_for "[ -f '$WORK/001.bmp' ]" 5 || fail "numbered save while recording did not happen"
recorded=$(identify -format '%wx%h' "$WORK/001.bmp")

key alt+m Return                                   # 記入_終了
sleep 0.6
keys_here Return
wait_for "xdotool search --onlyvisible --name 'マクロコマンドの編集'" 10 || fail "no macro editor"
ED=$(xdotool search --onlyvisible --name 'マクロコマンドの編集' | head -1)
xdotool windowactivate --sync "$ED" 2>/dev/null || xdotool windowfocus --sync "$ED"
sleep 0.3
keys_here t u r n               # replaces the selected 新規マクロ
xdotool mousemove --window "$ED" 18 10 click 1
sleep 0.5
keys_here Down Down Return      # ﾌｧｲﾙ ⇒ 更新して閉じる
wait_for "! xdotool search --onlyvisible --name 'マクロコマンドの編集'" 5 || fail "editor did not close"

key alt+f x
wait_for "! kill -0 $APP_PID" 10 || fail "program did not end through the exit item"
stored=$(iconv -f CP932 -t UTF-8 "$USER_DIR/User.xml")
grep -q '<COMMAND>\[turn\]~範囲USR⇒R1~画像編集⇒ﾄﾘﾐﾝｸﾞ~回転⇒右90度~作業ﾌｫﾙﾀﾞ⇒連番をつけて保存</COMMAND>' \
  <<<"$stored" || { echo "$stored" | grep COMMAND; fail "the macro was not stored as recorded"; }

start_app
key ctrl+q
wait_for "! is_viewable" 5 || fail "window still shown after Ctrl+Q"
convert -size 333x222 "gradient:red-blue" "$E2E_TMP/capture.png"
offer_png "$E2E_TMP/capture.png"
wait_for is_viewable 10 || fail "the capture did not show the window"
sleep 0.5
key alt+m Return                                   # the macro "turn"
wait_for "[ -f '$WORK/002.bmp' ]" 10 || { ls -la "$WORK"; fail "the macro did not save the picture"; }
sleep 0.3
replayed=$(identify -format '%wx%h' "$WORK/002.bmp")
# The range R1 (100 x 60) runs from pixel 1,1 up to 101,61: trimmed it is
# 100 x 60; turned right it stands 60 wide.
[ "$replayed" = "$recorded" ] || fail "replay gave $replayed, the recording $recorded"
[ "$replayed" = 60x100 ] || fail "replayed picture is $replayed, not the range turned"
w=60
# Turned right: the capture's top rows (the red end) are now the right-hand side.
red_at() { convert "$WORK/002.bmp" -crop "1x1+$1+$2" -format '%[fx:int(255*r)]' info:; }
[ "$(red_at $((w - 1)) 0)" -gt "$(red_at 0 0)" ] || fail "the picture was not turned to the right"
key alt+f x
wait_for "! kill -0 $APP_PID" 10 || fail "program did not end"
echo "1 passed, 0 failed"
