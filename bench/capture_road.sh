#!/usr/bin/env bash
# The capture road, measured end to end: from the moment xclip offers a
# screenshot-like PNG to the moment the numbered BMP stands complete on disk,
# for 1920x1080 and 3840x2160 (median of several runs), and bursts of 20
# pictures offered 100 ms apart (how many files arrive, and whether the last
# picture always does).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DVARNEL_TESTS=OFF >/dev/null
cmake --build build-bench --target varnel >/dev/null
exec python3 bench/capture_road.py build-bench/bin/varnel "$@"
