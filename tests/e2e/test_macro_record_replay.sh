#!/usr/bin/env bash
# A user records a macro (colour ｸﾞﾚｰ(8bit), copy, numbered save), names it
# in the editor, exits; after a restart a capture comes in and the macro,
# chosen from the menu, replays the steps on it. The recorded line names
# ｸﾞﾚｰ(8bit) in full, since ｸﾞﾚｰ alone would name ｸﾞﾚｰ(4bit), and replays it.
BIN=$1
source "$(dirname "$0")/lib.sh"
start_x
start_tray
start_window_manager
start_app

# Keys to whatever window has the focus now (a message box, the editor).
keys_here() { xdotool key --delay 80 "$@"; sleep 0.4; }
focus_named() { # title
  wait_for "xdotool search --onlyvisible --name '$1'" 10 || fail "no window \"$1\""
  local id
  id=$(xdotool search --onlyvisible --name "$1" | head -1)
  xdotool windowactivate --sync "$id" 2>/dev/null || xdotool windowfocus --sync "$id"
  sleep 0.3
  echo "$id"
}
title_is() { xprop -id "$WID" _NET_WM_NAME 2>/dev/null | grep -q "\"$1\""; }

make_picture "$E2E_TMP/first.png" "rgb(200,40,90)"
offer_png "$E2E_TMP/first.png"
sleep 0.5
key ctrl+v

# ﾏｸﾛ(&M) ⇒ 記入_開始, confirmed with OK.
key alt+m Return
sleep 0.6
keys_here Return
wait_for "title_is 'マクロ記録中・・・'" 5 || fail "caption does not say that a macro is recorded"

# 画像編集(&E) ⇒ 色数 ⇒ ｸﾞﾚｰ(8bit); then copy and the numbered save by shortcut.
key alt+e Down Down Down Down Down Down Down Down Right Down Down Down Return
key ctrl+c
key ctrl+w
wait_for "[ -f '$WORK/001.bmp' ]" 5 || fail "numbered save during the recording did not happen"
[ "$(od -An -tu2 -j28 -N2 "$WORK/001.bmp" | tr -d ' ')" = 8 ] || fail "ｸﾞﾚｰ(8bit) was not chosen while recording"

# ﾏｸﾛ(&M) ⇒ 記入_終了 (the only enabled item now), OK, then the editor.
key alt+m Return
sleep 0.6
keys_here Return
ED=$(focus_named 'マクロコマンドの編集')
keys_here g r a y 8            # replaces the selected 新規マクロ
# The editor's ﾌｧｲﾙ menu ⇒ 更新して閉じる.
xdotool mousemove --window "$ED" 18 10 click 1
sleep 0.5
keys_here Down Down Return
wait_for "! xdotool search --onlyvisible --name 'マクロコマンドの編集'" 5 || fail "editor did not close"

key alt+f x
wait_for "! kill -0 $APP_PID" 10 || fail "program did not end through the exit item"
stored=$(iconv -f CP932 -t UTF-8 "$XDG_DATA_HOME/Quillon/varnel/User.xml")
grep -q '<COMMAND>\[gray8\]~色数⇒ｸﾞﾚｰ(8bit)~画像編集⇒ｸﾘｯﾌﾟﾎﾞｰﾄﾞにｺﾋﾟｰ~作業ﾌｫﾙﾀﾞ⇒連番をつけて保存</COMMAND>' \
  <<<"$stored" || { echo "$stored"; fail "the renamed macro was not stored"; }

# Restart, capture a picture in standby (it shows the window), run the macro.
start_app
key ctrl+q
wait_for "! is_viewable" 5 || fail "window still shown after Ctrl+Q"
convert -size 333x222 "gradient:red-blue" "$E2E_TMP/capture.png"
offer_png "$E2E_TMP/capture.png"
wait_for is_viewable 10 || fail "the capture did not show the window"
sleep 0.5
key alt+m Return                  # the first item is the macro gray8
wait_for "[ -f '$WORK/002.bmp' ]" 10 || { ls -la "$WORK"; fail "the macro did not save the picture"; }
sleep 0.3
f="$WORK/002.bmp"
[ "$(od -An -tu2 -j28 -N2 "$f" | tr -d ' ')" = 8 ] || fail "replayed picture is not 8 bits per pixel"
[ "$(identify -format '%wx%h %[type]' "$f")" = "333x222 Grayscale" ] || fail "replayed picture: $(identify "$f")"
# The copy step put the same picture on the clipboard.
xclip -selection clipboard -t image/png -o > "$E2E_TMP/copied.png" 2>/dev/null || fail "nothing copied"
[ "$(identify -format '%wx%h %[type]' "$E2E_TMP/copied.png")" = "333x222 Grayscale" ] || fail "copied picture differs"
key alt+f x
wait_for "! kill -0 $APP_PID" 10 || fail "program did not end"
echo "1 passed, 0 failed"
