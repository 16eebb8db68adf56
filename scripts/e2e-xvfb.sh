#!/usr/bin/env bash
# End to end like a player: builds the game and the screen probe, starts a private Xvfb at the
# game's 640 x 480 and runs tests/e2e/player.sh on it (xdotool input, screenshots read back).
#   scripts/e2e-xvfb.sh [BUILD_FOLDER]     build/ unless told otherwise
# Screenshots of every step land in BUILD_FOLDER/e2e/.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
for tool in Xvfb xdotool import convert; do
    command -v "$tool" >/dev/null || { echo "e2e: $tool is missing (scripts/install-deps.sh)" >&2; exit 1; }
done
[ -f "$build/CMakeCache.txt" ] || cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target orbitdefense screen_probe -j"$(nproc)"

work=$(mktemp -d)
server=""
cleanup() {
    [ -n "$server" ] && kill "$server" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# The server takes the first free display and says which.
Xvfb -displayfd 3 -screen 0 640x480x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
server=$!
for _ in $(seq 1 100); do
    [ -s "$work/display" ] && break
    sleep 0.1
done
[ -s "$work/display" ] || { echo "e2e: Xvfb did not start:" >&2; cat "$work/xvfb.log" >&2; exit 1; }
export DISPLAY=":$(head -n 1 "$work/display")"
# No sound device on a CI machine; the game plays silently.
export SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}
unset SDL_VIDEODRIVER
rm -rf "$build/e2e"
tests/e2e/player.sh "$build/bin" "$build/e2e"
