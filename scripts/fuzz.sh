#!/usr/bin/env bash
# Builds the fuzz targets with clang and libFuzzer in build-fuzz/ and runs each in turn.
#   scripts/fuzz.sh [target|all] [seconds|-runs=N] [more libFuzzer options]
# Targets: model bitmap texture riff wave mci. The corpora grow in build-fuzz/corpus/<target>/,
# seeded from the data generator's files and fuzz/seeds/<target>/; a fault leaves its input in
# build-fuzz/faults/<target>/. Keep such an input in fuzz/regressions/<target>/ once it is fixed.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
targets=(model bitmap texture riff wave mci)
which=${1:-all}
budget=${2:-60}
shift $(($# > 2 ? 2 : $#))
[ "$which" = all ] || targets=("$which")
case "$budget" in
-runs=*) limit=("$budget") ;;
*) limit=("-max_total_time=$budget") ;;
esac

build=$root/build-fuzz
CXX=clang++-14 CC=clang-14 cmake -S . -B "$build" -DORBIT_FUZZ=ON -DORBIT_TESTS=OFF -DORBIT_BENCH=OFF \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2 --target gamedata "${targets[@]/#/fuzz_}"

# Seeds: the generated files each target reads, and the small hand-made ones kept in the tree.
data=$build/bin
seed() { # target, file patterns...
    local target=$1
    shift
    mkdir -p "$build/corpus/$target"
    for pattern in "$@"; do
        find "$data" -maxdepth 1 -iname "$pattern" -exec cp -n {} "$build/corpus/$target/" \;
    done
    if [ -d "fuzz/seeds/$target" ]; then cp -n fuzz/seeds/"$target"/* "$build/corpus/$target/" 2>/dev/null || true; fi
}
seed model '*.x'
seed bitmap '*.bmp'
seed texture '*_texture.bmp' 'line.bmp' 'hibana.bmp'
seed riff '*.wav'
seed wave '*.wav'
seed mci

# The targets run in an empty folder, so a command string can open no data file by chance.
mkdir -p "$build/work"
for target in "${targets[@]}"; do
    mkdir -p "$build/faults/$target"
    # The generated models are large; the reader's faults hide in short texts, which run faster.
    size=()
    [ "$target" = model ] && size=(-max_len=8192)
    echo "== $target"
    # FluidSynth's OpenMP threads (set up when the library loads) would spin between short renders.
    (cd "$build/work" && SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy OMP_NUM_THREADS=1 OMP_WAIT_POLICY=passive \
        "$build/bin/fuzz_$target" "${limit[@]}" "${size[@]}" -print_final_stats=1 -close_fd_mask=3 \
        -artifact_prefix="$build/faults/$target/" "$@" "$build/corpus/$target")
done
