#!/usr/bin/env bash
# Plays the real game like a player on the X server in $DISPLAY and reads the screen back: the
# title shows, the HUD clock falls after the start, the tally follows the round, the game-over page
# and the title follow the right button, and Escape ends the program with exit code 1.
#   tests/e2e/player.sh BIN_FOLDER OUT_FOLDER
# BIN_FOLDER holds orbitdefense, screen_probe and the generated data; the screenshots of every
# step are left in OUT_FOLDER. scripts/e2e-xvfb.sh runs this on a private Xvfb.
set -euo pipefail
bin=$(cd "$1" && pwd)
out=$(mkdir -p "$2" && cd "$2" && pwd)
probe="$bin/screen_probe"
step="start"
game=""

fail() {
    echo "e2e: FAILED at '$step': $*" >&2
    echo "e2e: the screenshots are in $out (last.png is the screen at the failure)" >&2
    [ -f "$out/shot.ppm" ] && convert "$out/shot.ppm" "$out/last.png" 2>/dev/null || true
    if [ -n "$game" ] && kill -0 "$game" 2>/dev/null; then
        kill "$game" 2>/dev/null || true
    fi
    exit 1
}

# The game's own pictures, to look for on the screen.
for sheet in TITLE number_char GAMEOVER bonus_char hakairitu_char totalbonus_char yourscore_char; do
    convert "$bin/$sheet.bmp" -depth 8 "ppm:$out/$sheet.ppm" || fail "cannot convert $sheet.bmp"
done

shot() {
    import -window root -depth 8 "ppm:$out/shot.ppm" 2>/dev/null || xwd -root -silent | convert xwd:- -depth 8 "ppm:$out/shot.ppm"
}
keep() { convert "$out/shot.ppm" "$out/$1.png"; }
sprite() { "$probe" sprite "$out/shot.ppm" "$out/$1.ppm" "$2" "$3"; }
clock() { "$probe" number "$out/shot.ppm" "$out/number_char.ppm" 340 450 3 || true; }
alive() { kill -0 "$game" 2>/dev/null || fail "the game ended by itself"; }

# Polls the screen until the test passes or the time runs out.
wait_for() {
    local what=$1 seconds=$2 test=$3 deadline=$((SECONDS + $2))
    step=$what
    while [ $SECONDS -lt $deadline ]; do
        alive
        shot
        if eval "$test"; then
            keep "$what"
            return 0
        fi
        sleep 0.3
    done
    fail "not seen within $seconds s (last probe: $(eval "$4" 2>&1 | tr '\n' ' '))"
}

shows_title() { [ "$(sprite TITLE 0 200)" -ge 80 ]; }
shows_hud_clock() { [[ "$(clock)" =~ ^[0-9]{3}$ ]]; }
shows_tally() { [ "$(sprite bonus_char 362 80)" -ge 80 ] && [ "$(sprite hakairitu_char 230 80)" -ge 80 ] &&
    [ "$(sprite totalbonus_char 100 190)" -ge 80 ] && [ "$(sprite yourscore_char 240 235)" -ge 80 ]; }
shows_game_over() { [ "$(sprite GAMEOVER 0 200)" -ge 80 ]; }
title_probe() { echo "title banner $(sprite TITLE 0 200)% of its pixels"; }
tally_probe() { echo "tally labels $(sprite bonus_char 362 80)% $(sprite hakairitu_char 230 80)%" \
    "$(sprite totalbonus_char 100 190)% $(sprite yourscore_char 240 235)%"; }

# A right press held over a few frames and let go turns one page.
right_click() {
    xdotool mousedown 3
    sleep 0.5
    xdotool mouseup 3
}

(cd "$bin" && exec ./orbitdefense) &
game=$!

xdotool mousemove 320 240
wait_for title 30 shows_title title_probe

# The left button held starts the round and fires while it stays down.
step="start the round"
xdotool mousemove 100 120 mousemove 540 360 mousemove 600 60 mousedown 1
wait_for play 20 shows_hud_clock "echo clock reads \$(clock)"
first=$(clock)
sleep 2
xdotool mousemove 560 80 mousemove 620 40
sleep 1
xdotool mouseup 1
step="the clock falls"
shot
second=$(clock)
keep clock_later
[[ "$second" =~ ^[0-9]{3}$ ]] || fail "the clock no longer reads (got '$second')"
[ $((10#$first)) -le 180 ] && [ $((10#$second)) -lt $((10#$first)) ] ||
    fail "the clock read $first at the start and $second three seconds later"
echo "e2e: the clock read $first, then $second"

# Nobody shoots the missiles now: the first that reaches the satellite ends the round (some
# 16 s in); failing that, the clock does at 180 s.
xdotool mousemove 630 10
wait_for tally 200 shows_tally tally_probe

right_click
wait_for game_over 15 shows_game_over "echo game-over banner \$(sprite GAMEOVER 0 200)%"
right_click
wait_for title_again 15 shows_title title_probe

step="Escape"
xdotool key Escape
for _ in $(seq 1 100); do
    kill -0 "$game" 2>/dev/null || break
    sleep 0.1
done
kill -0 "$game" 2>/dev/null && fail "the game still runs 10 s after Escape"
set +e
wait "$game"
code=$?
set -e
game=""
[ "$code" -eq 1 ] || fail "exit code $code after Escape, not 1"
echo "e2e: title, play, tally, game over, title and Escape with exit code 1: all seen"
