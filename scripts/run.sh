#!/usr/bin/env bash
# Set up, build and start Varnel.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DVARNEL_TESTS=OFF >/dev/null
cmake --build build --target varnel
exec build/bin/varnel "$@"
