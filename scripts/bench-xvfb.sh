#!/usr/bin/env bash
# Frames shown per second by the real game on an X server without a GPU (Xvfb), on the title and
# during play (the left button held from the title on: a round with the weapon firing), for each
# screen size given.
#   scripts/bench-xvfb.sh [BUILD_DIR]
#   SIZES="640x480 1280x960" SECONDS_EACH=10 scripts/bench-xvfb.sh build
# ORBIT_PRESENT=renderer forces presenting through SDL's OpenGL renderer (on Mesa's llvmpipe here),
# ORBIT_PRESENT=surface through the window surface; unset, the game chooses.
set -euo pipefail
build=$(cd "${1:-build}/bin" && pwd)
seconds=${SECONDS_EACH:-10}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

measure() { # size phase -> frames per second
    local size=$1 phase=$2 display xvfb game
    display=:$((100 + RANDOM % 400))
    Xvfb "$display" -screen 0 "${size}x24" -nolisten tcp >/dev/null 2>&1 &
    xvfb=$!
    for _ in $(seq 50); do DISPLAY=$display xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done
    # Counting starts 2 s after the first picture: past the start-up, and past the click for play.
    (cd "$build" && exec env DISPLAY="$display" SDL_AUDIODRIVER=dummy ORBIT_REPORT_FRAMES=2 ./orbitdefense) \
        2>"$work/log" &
    game=$!
    sleep 1
    if [ "$phase" = play ]; then
        DISPLAY=$display xdotool mousemove 300 200 mousedown 1
    fi
    sleep $((seconds + 1))
    kill -TERM "$game"
    wait "$game" || true
    kill "$xvfb"
    wait "$xvfb" 2>/dev/null || true
    sed -n 's/.*(\([0-9.]*\) per second).*/\1/p' "$work/log"
}

printf '%-10s %-6s %s\n' screen phase frames/s
for size in ${SIZES:-640x480 1280x960}; do
    for phase in title play; do
        printf '%-10s %-6s %s\n' "$size" "$phase" "$(measure "$size" "$phase")"
    done
done
