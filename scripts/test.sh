#!/usr/bin/env bash
# Installs what the build needs when it is missing, builds everything in
# build/ and runs every test.
# Extra arguments go to CMake's configure step (e.g. -DORVIK_SANITIZE=ON),
# and BUILD_DIR chooses another build folder.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
build="${BUILD_DIR:-build}"
cmake -S . -B "$build" "$@"
cmake --build "$build" -j"$(nproc)"
ctest --test-dir "$build" --output-on-failure -j"$(nproc)"
