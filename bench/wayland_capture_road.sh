#!/usr/bin/env bash
# The capture road through the Wayland watcher, measured end to end on a
# headless sway: from the moment wl-copy offers a screenshot-like PNG to the
# moment the numbered BMP stands complete on disk, 1920x1080 and 3840x2160
# (median of several runs). The program runs through XWayland, as it starts
# in such a session, and no X11 window has the focus.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DVARNEL_TESTS=OFF >/dev/null
cmake --build build-bench --target varnel >/dev/null
exec python3 bench/wayland_capture_road.py build-bench/bin/varnel "$@"
