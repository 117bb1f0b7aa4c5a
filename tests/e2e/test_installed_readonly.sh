#!/usr/bin/env bash
# The installed program in a prefix nobody may write to, run by an ordinary
# user: it finds its stamps and guide under share/, writes nothing beside
# itself, says nothing about the missing UserData.ini and numbers a capture.
BIN=$1
source "$(dirname "$0")/lib.sh"
BUILD=$(cd "$(dirname "$BIN")/.." && pwd)
PREFIX="$E2E_TMP/prefix"
cmake --install "$BUILD" --prefix "$PREFIX" >"$E2E_TMP/install.log" 2>&1 || { cat "$E2E_TMP/install.log"; fail "install failed"; }
for f in bin/varnel share/varnel/apData/arrow.bmp share/doc/varnel/varnel.htm share/doc/varnel/en/varnel.htm \
         share/applications/org.quillon.Varnel.desktop share/metainfo/org.quillon.Varnel.metainfo.xml \
         share/icons/hicolor/scalable/apps/org.quillon.Varnel.svg; do
  [ -f "$PREFIX/$f" ] || fail "$f not installed"
done
chmod -R a-w "$PREFIX"

# Root ignores mode bits: run the program as an ordinary user.
RUN=()
if [ "$(id -u)" -eq 0 ]; then
  RUN=(setpriv --reuid=nobody --regid=nogroup --clear-groups --)
  "${RUN[@]}" true 2>/dev/null || { echo "SKIP: cannot drop privileges with setpriv"; echo "0 passed, 0 failed, 1 skipped"; exit 0; }
  chmod 755 "$E2E_TMP"
fi

start_x
start_tray
export XDG_DATA_HOME="$E2E_TMP/data" XDG_CONFIG_HOME="$E2E_TMP/config" XDG_RUNTIME_DIR="$E2E_TMP/run"
USER_DIR="$XDG_DATA_HOME/Quillon/varnel"
mkdir -p "$USER_DIR" "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
# Captures are saved, and the window stays hidden.
write_user_xml "$USER_DIR" "   <ﾕｰｻﾞｰ>" \
  "      <ｷｬﾌﾟﾁｬ後表示>2</ｷｬﾌﾟﾁｬ後表示>" "   </ﾕｰｻﾞｰ>"
[ "$(id -u)" -eq 0 ] && chown -R nobody:nogroup "$XDG_DATA_HOME" "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"

HOME="$E2E_TMP" "${RUN[@]}" "$PREFIX/bin/varnel" >"$E2E_TMP/app.log" 2>&1 &
APP_PID=$!
E2E_PIDS+=($APP_PID)
wait_for "xdotool search --onlyvisible --name '^Varnel\$'" 20 || { cat "$E2E_TMP/app.log"; fail "window did not appear"; }
WID=$(xdotool search --onlyvisible --name '^Varnel$' | head -1)
# A message box would be a second top-level window of ours.
sleep 1
[ "$(xdotool search --onlyvisible --class varnel | wc -l)" -le 1 ] || fail "a message was shown at start"
[ -e "$PREFIX/bin/UserData.ini" ] && fail "UserData.ini written into the program folder"

key ctrl+q
wait_for "! is_viewable" 5 || fail "window still shown after Ctrl+Q"
WORK="$USER_DIR/Temp"
make_picture "$E2E_TMP/in.png" "rgb(200,60,90)"
offer_png "$E2E_TMP/in.png"
wait_for "[ -f '$WORK/001.bmp' ]" 10 || { ls -la "$WORK"; cat "$E2E_TMP/app.log"; fail "capture not saved"; }
sleep 0.3
same_pixels "$E2E_TMP/in.png" "$WORK/001.bmp" || fail "saved picture differs from the one offered"

# The help item opens the guide installed under share/doc: the link file the
# program leaves points at a local page that exists.
ICON=$(xwininfo -root -tree | grep '"Varnel": ("varnel" "Varnel")  22x22' | awk '{print $1}')
xdotool mousemove --window "$ICON" 10 10 click 1
wait_for is_viewable 5 || fail "the tray icon did not bring the window back"
key alt+h
LINK="$USER_DIR/varnel_help.desktop"
wait_for "[ -f '$LINK' ]" 5 || fail "help left no link file"
url=$(sed -n 's/^URL=//p' "$LINK")
[ "$url" = "file://$PREFIX/share/doc/varnel/varnel.htm" ] || fail "help points at $url"
[ -f "${url#file://}" ] || fail "the guide page $url does not exist"
echo "1 passed, 0 failed"
