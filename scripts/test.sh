#!/usr/bin/env bash
# Installs what is needed, builds everything and runs all tests headless.
#   scripts/test.sh              the ordinary build, in build/
#   scripts/test.sh --sanitize   the same suite under AddressSanitizer and UBSan, in build-asan/
# ORBIT_WERROR=ON in the environment turns warnings into errors (CI does).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

build=build
options=(-DORBIT_TESTS=ON -DORBIT_BENCH=ON)
if [ "${1:-}" = "--sanitize" ]; then
    build=build-asan
    options=(-DORBIT_TESTS=ON -DORBIT_BENCH=OFF -DORBIT_SANITIZE=ON)
fi
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORBIT_WERROR="${ORBIT_WERROR:-OFF}" "${options[@]}"
cmake --build "$build" -j"$(nproc)"
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy
ctest --test-dir "$build" --output-on-failure -j"$(nproc)"
