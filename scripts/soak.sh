#!/usr/bin/env bash
# The long soak: whole rounds of random play through the real loop, headless, checked every frame.
#   scripts/soak.sh [ROUNDS [SEED]]     50 rounds from seed 1 unless told otherwise
# A failure prints the seed and round count that bring it back; ctest runs the same test short.
set -euo pipefail
cd "$(dirname "$0")/.."
rounds=${1:-50}
seed=${2:-1}
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target game_tests -j"$(nproc)"
cd build/bin
SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy ORBIT_SOAK_ROUNDS="$rounds" ORBIT_SOAK_SEED="$seed" \
    ./game_tests --gtest_filter='GameSoak.*'
