# A private headless sway with XWayland for the end-to-end tests, run as an
# unprivileged user when started as root. Sets WAYLAND_DISPLAY (a full
# path), DISPLAY, SWAYSOCK; skips the test (exit 77) where it cannot start.

skip() { echo "SKIP: $*"; exit 77; }

start_sway() {
  local t
  for t in sway Xwayland wl-copy wl-paste xhost xclip; do
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
