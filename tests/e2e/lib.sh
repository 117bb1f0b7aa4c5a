# Shared helpers for the end-to-end tests: a private X server, a tray host,
# the program with its user data in a temporary folder.
set -euo pipefail

E2E_TMP=$(mktemp -d /tmp/varnel-e2e.XXXXXX)
E2E_PIDS=()

e2e_cleanup() {
  for p in "${E2E_PIDS[@]:-}"; do [ -n "$p" ] && kill "$p" 2>/dev/null || true; done
  sleep 0.3
  for p in "${E2E_PIDS[@]:-}"; do [ -n "$p" ] && kill -9 "$p" 2>/dev/null || true; done
  # The X server's socket and lock must be gone before another test starts.
  wait 2>/dev/null || true
  rm -rf "$E2E_TMP"
}
trap e2e_cleanup EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }

# Waits up to $2 seconds (default 10) for the command in $1 to succeed.
wait_for() {
  local cmd=$1 t=${2:-10} i=0
  while ! eval "$cmd" >/dev/null 2>&1; do
    sleep 0.1; i=$((i + 1))
    [ $i -ge $((t * 10)) ] && return 1
  done
  return 0
}

start_x() {
  # -displayfd lets the server pick a free display itself, so that tests run
  # side by side never talk to each other's server.
  local fd="$E2E_TMP/display" n
  # -noreset: the server must not restart when its last client (xdpyinfo
  # below) leaves, or the next one to connect in that moment is refused.
  Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp -noreset 3>"$fd" >"$E2E_TMP/xvfb.log" 2>&1 &
  E2E_PIDS+=($!)
  wait_for "[ -s '$fd' ]" 10 || fail "no X server could be started"
  n=$(head -1 "$fd")
  export DISPLAY=:$n
  wait_for "xdpyinfo" 5 || fail "X server :$n does not answer"
}

start_tray() {
  trayer --edge top --align right --widthtype pixel --width 120 --height 24 \
    >"$E2E_TMP/trayer.log" 2>&1 &
  E2E_PIDS+=($!)
  wait_for "xwininfo -root -tree | grep '\"panel\"'" 15 || fail "no tray host"
}

start_window_manager() {
  openbox --sm-disable >"$E2E_TMP/wm.log" 2>&1 &
  E2E_PIDS+=($!)
  wait_for "xprop -root _NET_SUPPORTING_WM_CHECK | grep window" 10 || fail "no window manager"
}

# Writes the settings file the program reads at start into folder: CP932,
# CR LF between lines, the given element lines (UTF-8) inside the root.
write_user_xml() { # folder line...
  local dir=$1
  shift
  mkdir -p "$dir"
  { printf '%s\r\n' "<?xml version='1.0' encoding='Shift-JIS' ?>" "<運用>" "$@"; printf '%s' "</運用>"; } \
    | iconv -f UTF-8 -t CP932 > "$dir/User.xml"
}

# Starts the program with fresh user folders; sets APP_PID, WID, WORK.
start_app() {
  export XDG_DATA_HOME="$E2E_TMP/data" XDG_CONFIG_HOME="$E2E_TMP/config"
  export XDG_RUNTIME_DIR="$E2E_TMP/run"
  mkdir -p "$XDG_DATA_HOME" "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
  chmod 700 "$XDG_RUNTIME_DIR"
  WORK="$XDG_DATA_HOME/Quillon/varnel/Temp"
  "$BIN" >"$E2E_TMP/app.log" 2>&1 &
  APP_PID=$!
  E2E_PIDS+=($APP_PID)
  wait_for main_window 20 || { cat "$E2E_TMP/app.log"; fail "window did not appear"; }
  WID=$(main_window)
  xdotool windowfocus --sync "$WID" 2>/dev/null || true
}

# The program's main window: the biggest visible window named Varnel of its
# class (Qt may map a bare 1x1 helper of the same name for a moment at
# start, and the tray icon shares name and class).
main_window() {
  local w best="" area best_area=0
  for w in $(xdotool search --onlyvisible --name '^Varnel$' 2>/dev/null); do
    xprop -id "$w" WM_CLASS 2>/dev/null | grep -q '"varnel"' || continue
    area=$(xwininfo -id "$w" 2>/dev/null | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w*h}')
    [ "${area:-0}" -gt "$best_area" ] && { best=$w; best_area=$area; }
  done
  [ -n "$best" ] && [ "$best_area" -gt 2000 ] && echo "$best"
}

is_viewable() { xwininfo -id "$WID" | grep IsViewable >/dev/null; }
tray_icon_present() { xwininfo -root -tree | grep '"Varnel": ("varnel" "Varnel")  22x22' >/dev/null; }

# x y w h of the program's open pop-up menu (a small top-level window).
menu_geometry() {
  xwininfo -root -children | grep '("varnel" "Varnel")' | grep -v '22x22' \
    | sed -E 's/.*\)  ([0-9]+)x([0-9]+)\+(-?[0-9]+)\+(-?[0-9]+).*/\3 \4 \1 \2/' \
    | awk '$4 < 200 && $3 < 400 {print; found=1} END {exit !found}'
}

# Real key presses (XTEST) into the program's window, which gets the focus
# first: without a window manager nobody else gives it.
key() {
  xdotool windowfocus --sync "$WID" 2>/dev/null || true
  xdotool key --delay 80 "$@"
  sleep 0.3
}

# Offers a picture file on the clipboard as image/png, like a screenshot tool.
offer_png() {
  xclip -selection clipboard -t image/png -i "$1" >/dev/null 2>&1 </dev/null
}

# Screenshot-like test pictures that differ from each other.
make_picture() { # out colour label
  convert -size 320x200 "xc:$2" -fill black -draw "rectangle 10,10 120,60" \
    -fill white -draw "rectangle 150,100 300,180" -fill "rgb(17,34,51)" -draw "point 5,5" "$1"
}

# x y w h on the screen of what shows a colour (a test picture of one colour).
colour_on_screen() { # colour
  import -window root "$E2E_TMP/screen.png"
  convert "$E2E_TMP/screen.png" -fill black +opaque "$1" -fill white -opaque "$1" \
    -trim -format '%X %Y %w %h\n' info: | tr -d '+'
}

# Pixels of a colour (within a tolerance) in a region of a file.
count_colour() { # file colour geometry
  convert "$1" -crop "$3" +repage -fuzz 25% -fill black +opaque "$2" -fill white -opaque "$2" \
    -format '%[fx:int(mean*w*h+0.5)]' info:
}

# A mouse drag with the left button, in steps the program sees as a move.
drag() { # x1 y1 x2 y2
  xdotool mousemove "$1" "$2" mousedown 1
  sleep 0.2
  xdotool mousemove $(( ($1 + $3) / 2 )) $(( ($2 + $4) / 2 ))
  sleep 0.1
  xdotool mousemove "$3" "$4"
  sleep 0.2
  xdotool mouseup 1
  sleep 0.3
}

same_pixels() { # a b
  [ "$(compare -metric AE "$1" "$2" null: 2>&1)" = "0" ]
}

# The program's top-level windows other than the main window and the tray
# icon: its dialogs and message boxes.
dialog_ids() {
  xwininfo -root -children | grep '("varnel" "Varnel")' | grep -v '22x22' | awk '{print $1}' \
    | while read -r id; do [ "$((id))" != "$WID" ] && echo "$id"; done || true
}
other_windows() { dialog_ids | wc -l; }
# Keys into the open dialog, which gets the keyboard first.
dialog_send() { # key|type args...
  local d how=$1
  shift
  d=$(dialog_ids | head -1)
  [ -n "$d" ] && xdotool windowfocus --sync "$d" 2>/dev/null || true
  if [ "$how" = key ]; then xdotool key --delay 80 "$@"; else xdotool type --delay 30 "$1"; fi
  sleep 0.3
}
dialog_key() { dialog_send key "$@"; }
dialog_type() { dialog_send type "$1"; }
# Pixels of the window close to a colour.
window_pixels_near() { # colour
  import -window "$WID" "$E2E_TMP/shot.png"
  convert "$E2E_TMP/shot.png" -fuzz 6% -fill black +opaque "$1" -fill white -opaque "$1" \
    -format '%[fx:int(mean*w*h)]' info:
}

# Brings the window back from standby with a click on the tray icon.
show_from_tray() {
  local icon
  icon=$(xwininfo -root -tree | grep '"Varnel": ("varnel" "Varnel")  22x22' | awk '{print $1}')
  xdotool mousemove --window "$icon" 10 10 click 1
  wait_for is_viewable 5 || fail "the tray icon did not bring the window back"
  sleep 0.5
}

# The work-folder list sits at the left under the tool strip: clicks go down
# it from the top until a picture with enough pixels of the colour shows.
# Sets LIST_Y to the height that did it.
click_list_until_shown() { # colour
  LIST_Y=""
  for y in $(seq 26 4 90); do
    xdotool mousemove --window "$WID" 30 "$y" click 1
    sleep 0.4
    if [ "$(window_pixels_near "$1")" -gt 3000 ]; then LIST_Y=$y; return 0; fi
  done
  return 1
}

# Clipboard owners of the tests' own making (varnel-test-owner beside the
# program), run in the background with their output in a file until killed;
# sets OWNER_PID.
OWNER="$(dirname "$BIN")/varnel-test-owner"
start_owner() { # name mode args...
  [ -x "$OWNER" ] || fail "varnel-test-owner is not built beside the program"
  local name=$1; shift
  "$OWNER" "$@" >"$E2E_TMP/$name.out" 2>&1 &
  OWNER_PID=$!
  E2E_PIDS+=($OWNER_PID)
  wait_for "grep -q owning '$E2E_TMP/$name.out'" 5 || fail "$name owner did not take the clipboard"
}
# The slowest of 30 round trips to the window, 50 ms apart, under 100 ms.
answers_fast() { # what
  local ms
  ms=$("$OWNER" ping "$WID" 30) || fail "the window did not answer a ping ($1)"
  [ "$ms" -lt 100 ] || fail "the window took $ms ms to answer ($1)"
  echo "slowest answer $ms ms ($1)"
}
