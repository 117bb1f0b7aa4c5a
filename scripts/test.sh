#!/usr/bin/env bash
# Set up, build the sanitized test configuration and run the whole suite.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVARNEL_SANITIZE=ON >/dev/null
cmake --build build-test -j 2
cd build-test
ctest --output-on-failure -j 2 "$@"
