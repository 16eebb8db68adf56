#!/usr/bin/env bash
# Installs the build into a fresh prefix with a very long path, checks what lands where, then runs
# the installed game headless from an unrelated folder: every model, texture, sprite and the sound
# must be found (nothing named missing on stderr), and it must close normally when asked to.
#   install_test.sh BUILD_DIR
set -euo pipefail
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A prefix far longer than any fixed path buffer the game could have.
prefix=$work
for _ in $(seq 12); do prefix=$prefix/a-rather-long-folder-name-for-the-install; done
cmake --install "$build" --prefix "$prefix" >/dev/null

app=io.github.orbitdefense.OrbitDefense
for file in bin/orbitdefense share/orbitdefense/SATELLITE.x share/orbitdefense/TITLE.bmp \
    share/orbitdefense/G_bomb8.Wav share/applications/$app.desktop share/metainfo/$app.metainfo.xml \
    share/icons/hicolor/256x256/apps/$app.png share/icons/hicolor/16x16/apps/$app.png share/man/man6/orbitdefense.6; do
    [ -f "$prefix/$file" ] || { echo "not installed: $file" >&2; exit 1; }
done
unwanted=$(find "$prefix" -name 'game_tests' -o -name '*_bench' -o -name datagen -o -name '*.png' -path '*/orbitdefense/*')
[ -z "$unwanted" ] || { echo "installed but not wanted: $unwanted" >&2; exit 1; }

"$prefix/bin/orbitdefense" --version | grep -q '^orbitdefense [0-9]' || { echo "no version" >&2; exit 1; }

mkdir "$work/elsewhere"
cd "$work/elsewhere"
SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy XDG_DATA_DIRS=/nonexistent \
    "$prefix/bin/orbitdefense" 2>"$work/stderr" &
game=$!
sleep 3
kill -TERM "$game"
status=0
wait "$game" || status=$?
if grep -E 'not found|Error' "$work/stderr" >&2; then
    echo "the installed game missed some of its data" >&2
    exit 1
fi
[ "$status" -eq 1 ] || { echo "exit code $status, expected 1 after a normal close" >&2; exit 1; }
echo "installed game found all its data"
