# A private headless sway with XWayland for the end-to-end tests, run as an
# unprivileged user when started as root. Sets WAYLAND_DISPLAY (a full
# path), DISPLAY, SWAYSOCK; skips the test (exit 77) where it cannot start.

skip() { echo "SKIP: $*"; exit 77; }

start_sway() {
  local t
  for t in sway Xwayland wl-copy xhost xclip; do
    command -v "$t" >/dev/null 2>&1 || skip "$t is not installed"
  done
  # The compositor's files live in a folder of its own user; the test's
  # folder must let that user through.
  chmod 711 "$E2E_TMP"
  WL="$E2E_TMP/wl"
  mkdir -p "$WL"
  local run=()
  if [ "$(id -u)" -eq 0 ]; then
    command -v setpriv >/dev/null 2>&1 || skip "setpriv is not installed"
    chown nobody:nogroup "$WL"
    run=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
  fi
  chmod 700 "$WL"
  printf 'xwayland force\nexec env > %s/env.tmp && mv %s/env.tmp %s/env\n' "$WL" "$WL" "$WL" >"$E2E_TMP/sway.conf"
  chmod 644 "$E2E_TMP/sway.conf"
  "${run[@]}" env -i PATH=/usr/bin:/bin HOME="$WL" XDG_RUNTIME_DIR="$WL" \
    WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 \
    "$(command -v sway)" -c "$E2E_TMP/sway.conf" >"$E2E_TMP/sway.log" 2>&1 &
  E2E_PIDS+=($!)
  wait_for "[ -f '$WL/env' ]" 20 || { tail -5 "$E2E_TMP/sway.log"; skip "headless sway could not start"; }
  local wd xd sock
  wd=$(sed -n 's/^WAYLAND_DISPLAY=//p' "$WL/env")
  xd=$(sed -n 's/^DISPLAY=//p' "$WL/env")
  sock=$(sed -n 's/^SWAYSOCK=//p' "$WL/env")
  [ -n "$wd" ] && [ -n "$xd" ] || skip "sway started without XWayland"
  export WAYLAND_DISPLAY="$WL/$wd" DISPLAY="$xd" SWAYSOCK="$sock"
  unset QT_QPA_PLATFORM
  # Root's X11 clients may use the compositor user's X server.
  wait_for "${run[*]} env DISPLAY=$xd xhost +si:localuser:$(id -un)" 20 || skip "XWayland does not answer"
  wait_for "xdpyinfo" 10 || skip "XWayland refuses this user"
}

# A copy by a native Wayland client, which stays until the next copy.
wl_offer_png() {
  wl-copy --foreground -t image/png <"$1" >/dev/null 2>&1 &
  E2E_PIDS+=($!)
}

# A pointer the tests can move: the headless desktop has no input devices,
# and a VNC server's virtual pointer gives it one. Sets VNC_SOCK.
start_pointer() {
  command -v wayvnc >/dev/null 2>&1 || skip "wayvnc is not installed"
  command -v python3 >/dev/null 2>&1 || skip "python3 is not installed"
  VNC_SOCK="$E2E_TMP/vnc.sock"
  mkdir -p "$E2E_TMP/vnc"
  chmod 700 "$E2E_TMP/vnc"
  XDG_RUNTIME_DIR="$E2E_TMP/vnc" wayvnc -u "$VNC_SOCK" >"$E2E_TMP/wayvnc.log" 2>&1 &
  E2E_PIDS+=($!)
  wait_for "[ -S '$VNC_SOCK' ] && swaymsg -t get_seats | grep -q '\"pointer\"'" 15 \
    || { cat "$E2E_TMP/wayvnc.log"; skip "no virtual pointer on the headless desktop"; }
}

# Moves the pointer to x y in small steps, as a mouse does. The compositor
# then sends relative motion too; XWayland notices the pointer leaving its
# windows only after such motion (a bare warp keeps its last window).
move_pointer() { # x y
  python3 "$(dirname "${BASH_SOURCE[0]}")/vnc_input.py" "$VNC_SOCK" move "$1" "$2" \
    || fail "the pointer could not be moved to $1,$2"
}

# Key chords ("ctrl+v", "ctrl+w") typed through the VNC server's virtual
# keyboard into the focused window (start_pointer first): a native Wayland
# window, which no X11 tool can reach.
vnc_keys() { # chord...
  python3 "$(dirname "${BASH_SOURCE[0]}")/vnc_input.py" "$VNC_SOCK" keys "$@" \
    || fail "the keys $* could not be typed"
}

# GNOME's compositor, headless, with XWayland and a D-Bus session bus of its
# own (no notification area, as on GNOME). Sets WAYLAND_DISPLAY, DISPLAY,
# XAUTHORITY and XDG_RUNTIME_DIR; skips where it cannot start.
start_mutter() {
  local t
  for t in mutter dbus-run-session Xwayland xclip; do
    command -v "$t" >/dev/null 2>&1 || skip "$t is not installed"
  done
  # XWayland's socket folder must be writable by all, as a booted system
  # makes it; mutter refuses to start its X server otherwise.
  if [ -d /tmp/.X11-unix ] && [ "$(stat -c %a /tmp/.X11-unix)" != 1777 ]; then
    chmod 1777 /tmp/.X11-unix 2>/dev/null || skip "/tmp/.X11-unix is not writable by all"
  fi
  export XDG_RUNTIME_DIR="$E2E_TMP/run"
  mkdir -p "$XDG_RUNTIME_DIR"
  chmod 700 "$XDG_RUNTIME_DIR"
  local envf="$E2E_TMP/mutter.env"
  # The command mutter runs once it is up reports its environment and
  # mutter's process (the session bus ends with it).
  dbus-run-session -- mutter --headless --wayland --virtual-monitor 1280x800 --wayland-display=wl-e2e \
    -- sh -c "echo \$PPID > '$E2E_TMP/mutter.pid'; env > '$envf.tmp' && mv '$envf.tmp' '$envf'; exec sleep 3600" \
    >"$E2E_TMP/mutter.log" 2>&1 &
  E2E_PIDS+=($!)
  wait_for "[ -f '$envf' ]" 30 || { tail -5 "$E2E_TMP/mutter.log"; skip "headless mutter could not start"; }
  E2E_PIDS+=("$(cat "$E2E_TMP/mutter.pid")")
  export WAYLAND_DISPLAY=wl-e2e
  DISPLAY=$(sed -n 's/^DISPLAY=//p' "$envf")
  [ -n "$DISPLAY" ] || skip "mutter started without XWayland"
  export DISPLAY
  local xa
  xa=$(sed -n 's/^XAUTHORITY=//p' "$envf")
  [ -n "$xa" ] && export XAUTHORITY="$xa"
  unset QT_QPA_PLATFORM XDG_CURRENT_DESKTOP
  wait_for "xdpyinfo" 15 || skip "mutter's XWayland does not answer"
}

# Whether the program's main window is minimised (iconic).
is_iconic() { xprop -id "$WID" WM_STATE 2>/dev/null | grep -q 'Iconic'; }

# A top-level window of the program other than the main window, visible:
# a message.
other_window() {
  local w
  for w in $(xdotool search --onlyvisible --name '^Varnel$' 2>/dev/null); do
    [ "$w" = "$WID" ] && continue
    xprop -id "$w" WM_CLASS 2>/dev/null | grep -q '"varnel"' && { echo "$w"; return 0; }
  done
  return 1
}

# Ctrl+Q into the program's window, focused first; again while standby has
# not begun (a key sent while the program still starts up can be lost).
enter_standby_minimised() {
  local attempt
  for attempt in 1 2 3; do
    xdotool windowactivate --sync "$WID" >/dev/null 2>&1 || xdotool windowfocus --sync "$WID" >/dev/null 2>&1 || true
    xdotool key --window "$WID" ctrl+q
    wait_for is_iconic 5 && return 0
  done
  return 1
}
