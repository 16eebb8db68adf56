#!/usr/bin/env bash
# Installs what is needed, builds the game and starts it from the folder holding its data.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DORBIT_TESTS=OFF -DORBIT_BENCH=OFF
cmake --build build -j"$(nproc)"
cd build/bin
exec ./orbitdefense
