#!/usr/bin/env bash
# Installs what is needed, builds the game and starts it from the folder holding its data; any
# arguments go to the game (orbitdefense --help lists them).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DORBIT_TESTS=OFF -DORBIT_BENCH=OFF
cmake --build build -j"$(nproc)"
cd build/bin
# The game ends with 1 after a normal close (Escape or the window's close button).
status=0
./orbitdefense "$@" || status=$?
[ "$status" -eq 1 ] && status=0
exit "$status"
