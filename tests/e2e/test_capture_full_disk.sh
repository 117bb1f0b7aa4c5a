#!/usr/bin/env bash
# Standby with "連番をつけて保存" on a work folder that fills after two
# captures: the third is reported in the tray (message and tooltip, read
# through VARNEL_TRAY_TRACE), the fourth saves under the next number once
# space is freed, and nothing half-written is left. Then a read-only work
# folder for an ordinary user. Needs root (mount, setpriv).
BIN=$(readlink -f "$1")
source "$(dirname "$0")/lib.sh"
if [ "$(id -u)" != 0 ]; then
  echo "SKIP: needs root to mount a small tmpfs and to run the program as another user"
  exit 77
fi

WORK="$E2E_TMP/data/Quillon/varnel/Temp"
mkdir -p "$WORK"
# 600 KB; a filler leaves room for two 320x200 captures (64 KB each, few colours) only.
mount -t tmpfs -o size=600k,mode=0755 tmpfs "$WORK" || { echo "SKIP: tmpfs cannot be mounted here"; exit 77; }
cleanup_mount() { umount -l "$WORK" 2>/dev/null || true; e2e_cleanup; }
trap cleanup_mount EXIT
dd if=/dev/zero of="$WORK/filler" bs=4k count=110 status=none

start_x
start_tray
export VARNEL_TRAY_TRACE=1
start_app
key alt+u a Down Down Return
key ctrl+q
wait_for "! is_viewable" 5 || fail "window still shown after Ctrl+Q"
wait_for tray_icon_present 5 || fail "no tray icon in standby"

for c in red green blue; do
  make_picture "$E2E_TMP/$c.png" $c
  offer_png "$E2E_TMP/$c.png"
  sleep 0.8
done
wait_for "[ -f '$WORK/002.bmp' ]" 10 || { ls -la "$WORK"; fail "first two captures not saved"; }
wait_for "grep -q 'tray message: ' '$E2E_TMP/app.log'" 10 || { cat "$E2E_TMP/app.log"; ls -la "$WORK"; df "$WORK"; fail "no notification for the capture that did not fit"; }
msg=$(grep 'tray message: ' "$E2E_TMP/app.log" | tail -1)
echo "$msg"
case "$msg" in *"保存できませんでした"*"$WORK"*"ディスクの空き容量が不足しています"*) ;;
  *) fail "notification does not name the folder and the reason: $msg" ;; esac
grep -q 'tray tooltip: Varnel - 保存できなかったｷｬﾌﾟﾁｬｰ: 1枚' "$E2E_TMP/app.log" || fail "tooltip does not count the unsaved capture"
[ "$(ls -A "$WORK" | sort | tr '\n' ' ')" = "001.bmp 002.bmp filler " ] || { ls -la "$WORK"; fail "something half-written is left"; }
same_pixels "$WORK/002.bmp" "$E2E_TMP/green.png" || fail "002.bmp is not the second picture"

rm "$WORK/filler"
make_picture "$E2E_TMP/yellow.png" yellow
offer_png "$E2E_TMP/yellow.png"
wait_for "[ -f '$WORK/003.bmp' ]" 10 || { ls -la "$WORK"; fail "capture after freeing space not saved as 003.bmp"; }
sleep 0.3
same_pixels "$WORK/003.bmp" "$E2E_TMP/yellow.png" || fail "003.bmp is not the fourth picture"
[ "$(ls -A "$WORK" | sort | tr '\n' ' ')" = "001.bmp 002.bmp 003.bmp " ] || { ls -la "$WORK"; fail "unexpected files after the save"; }
# After a save the tip counts this standby's captures again and names the last.
wait_for "[ \"\$(grep 'tray tooltip: ' '$E2E_TMP/app.log' | tail -1)\" = 'tray tooltip: Varnel - 待機中 3枚 (003.bmp)' ]" 5 \
  || { grep 'tray tooltip: ' "$E2E_TMP/app.log" | tail -3; fail "tooltip still counts unsaved captures after a save"; }

# The window opened from the tray shows the unsaved picture? No: the last
# capture saved. Exit and go on with an ordinary user.
kill "$APP_PID"; wait "$APP_PID" 2>/dev/null || true

# Read-only work folder for an ordinary user.
NOBODY_HOME="$E2E_TMP/nobody"
mkdir -p "$NOBODY_HOME/data/Quillon/varnel/Temp" "$NOBODY_HOME/config" "$NOBODY_HOME/run"
chmod 755 "$E2E_TMP"
chown -R 65534:65534 "$NOBODY_HOME"
chmod 700 "$NOBODY_HOME/run"
chmod 555 "$NOBODY_HOME/data/Quillon/varnel/Temp"
( cd "$NOBODY_HOME" && exec setpriv --reuid=65534 --regid=65534 --clear-groups \
    env HOME="$NOBODY_HOME" XDG_DATA_HOME="$NOBODY_HOME/data" XDG_CONFIG_HOME="$NOBODY_HOME/config" \
    XDG_RUNTIME_DIR="$NOBODY_HOME/run" VARNEL_TRAY_TRACE=1 "$BIN" ) >"$E2E_TMP/app2.log" 2>&1 &
APP_PID=$!
E2E_PIDS+=($APP_PID)
wait_for main_window 20 || { cat "$E2E_TMP/app2.log"; fail "window did not appear for the ordinary user"; }
WID=$(main_window)
key alt+u a Down Down Return
key ctrl+q
wait_for "! is_viewable" 5 || fail "window still shown after Ctrl+Q (ordinary user)"
offer_png "$E2E_TMP/red.png"
wait_for "grep -q 'tray message: ' '$E2E_TMP/app2.log'" 10 || { cat "$E2E_TMP/app2.log"; fail "no notification for a read-only work folder"; }
msg=$(grep 'tray message: ' "$E2E_TMP/app2.log" | tail -1)
echo "$msg"
case "$msg" in *"書き込みの許可がありません"*) ;; *) fail "reason is not the missing permission: $msg" ;; esac
[ -z "$(ls -A "$NOBODY_HOME/data/Quillon/varnel/Temp")" ] || fail "files appeared in the read-only folder"
# The unsaved picture is in the window that the tray brings back.
ICON=$(xwininfo -root -tree | grep '"Varnel": ("varnel" "Varnel")  22x22' | awk '{print $1}')
xdotool mousemove --window "$ICON" 10 10 click 1
wait_for is_viewable 10 || fail "window did not come back from the tray"
sleep 1
import -window "$WID" "$E2E_TMP/window.png"
count=$(convert "$E2E_TMP/window.png" -fill black +opaque red -fill white -opaque red -format '%[fx:int(mean*w*h)]' info:)
[ "$count" -gt 20000 ] || fail "the unsaved capture is not shown (only $count red pixels)"
echo "1 passed, 0 failed"
