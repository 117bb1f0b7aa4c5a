#!/usr/bin/env bash
# Installs the Debian packages Varnel needs to build, run and test.
# As root it installs them; otherwise it prints the line to run.
set -euo pipefail
PKGS=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-image-formats-plugins
      libx11-dev libxcb1-dev libxcb-xfixes0-dev libxfixes-dev libgif-dev libtiff-dev libdeflate-dev libgtest-dev googletest
      xvfb xclip xdotool trayer openbox x11-utils imagemagick time fonts-ipafont-gothic
      clang-14 libclang-rt-14-dev
      libqt6svg6 dpkg-dev file appstream desktop-file-utils)
# The English face: lupdate and lrelease at build time; Qt's own Japanese
# texts (its dialogs and buttons) at run time.
PKGS+=(qt6-l10n-tools qt6-tools-dev qt6-translations-l10n)
# Wayland sessions: the clipboard watcher (its glue made by wayland-scanner),
# the headless desktop of the tests, and wl-copy as another program's copy.
PKGS+=(libwayland-dev libwayland-bin wl-clipboard sway xwayland x11-xserver-utils)
# A pointer for the headless desktop of the tests (a VNC virtual pointer).
PKGS+=(wayvnc python3)
# Qt on Wayland itself, for Wayland desktops without XWayland (and the test
# of a paste there).
PKGS+=(qt6-wayland)
# An X session manager, for the test of the session's end.
PKGS+=(x11-session-utils)
# A Wayland desktop without data-control, for the test of what standby says there.
PKGS+=(weston)
# A screenshot tool that copies and exits, for the test of the clipboard
# manager's role.
PKGS+=(xfce4-screenshooter)
# GNOME's compositor, headless, for the test of standby there (its own D-Bus).
PKGS+=(mutter dbus-daemon)
# Reading the text in a picture (Japanese and English).
PKGS+=(tesseract-ocr tesseract-ocr-jpn tesseract-ocr-eng)
missing=()
for p in "${PKGS[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi
if [ "$(id -u)" -eq 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
else
  echo "Missing packages. Run:"
  echo "  sudo apt-get install -y ${missing[*]}"
  exit 1
fi
