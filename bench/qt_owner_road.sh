#!/usr/bin/env bash
# The capture road from a Qt owner that encodes the picture for each request
# (as Qt screenshot tools do), offering what Qt offers, only BMP, or only PNG:
# clipboard taken -> numbered BMP complete, 1920x1080 and 3840x2160.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DVARNEL_TESTS=OFF >/dev/null
cmake --build build-bench --target varnel qt_owner >/dev/null
exec python3 bench/qt_owner_road.py build-bench/bin/varnel build-bench/bin/qt_owner "$@"
