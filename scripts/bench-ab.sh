#!/usr/bin/env bash
# Two builds' frame times, their benchmarks run in turn several times: on a shared machine the load
# of the host moves a single run by a third or more, so builds are compared by the fastest of each
# build's turns (and the middle one, to show the spread). Each figure is a benchmark's median
# frame time of one turn; the change is the new build's fastest against the base's.
#   scripts/bench-ab.sh BASE_BUILD_DIR NEW_BUILD_DIR [FILTER] [TURNS]
#   ORBIT_RENDER_THREADS=1 scripts/bench-ab.sh ../base/build build 'BM_Render3D' 9
# An older commit to compare with can be built beside this tree, as scripts/test.sh builds:
#   git worktree add ../base COMMIT
#   cmake -S ../base -B ../base/build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORBIT_BENCH=ON
#   cmake --build ../base/build -j"$(nproc)" --target game_bench
set -euo pipefail
if [ $# -lt 2 ]; then
    echo "usage: $0 BASE_BUILD_DIR NEW_BUILD_DIR [FILTER] [TURNS]" >&2
    exit 2
fi
base=$(cd "$1/bin" && pwd)
new=$(cd "$2/bin" && pwd)
filter=${3:-BM_Render3D|BM_PlayFrame/enemies:40}
turns=${4:-7}
export SDL_VIDEODRIVER=${SDL_VIDEODRIVER:-dummy} SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}
times=$(mktemp)
trap 'rm -f "$times"' EXIT

for _ in $(seq "$turns"); do
    for side in base new; do
        dir=$base
        [ "$side" = new ] && dir=$new
        # Each from its own folder, where its data lies.
        (cd "$dir" && ./game_bench --benchmark_filter="$filter" --benchmark_min_time=0.2 2>/dev/null) |
            awk -v side="$side" '/^BM_/ { for (i = 2; i <= NF; i++) if ($i ~ /^median_ms=/) { sub(/^median_ms=/, "", $i); print $1, side, $i } }' \
                >>"$times" || {
            echo "bench-ab: game_bench failed in $dir" >&2
            exit 1
        }
    done
done

if [ ! -s "$times" ]; then
    echo "bench-ab: no benchmark matched '$filter' (or game_bench failed)" >&2
    exit 1
fi
echo "Median frame times in ms over $turns turns (ORBIT_RENDER_THREADS=${ORBIT_RENDER_THREADS:-default}):"
printf '%-42s %12s %12s %12s %12s %9s\n' benchmark "base fastest" "base middle" "new fastest" "new middle" change
sort -k1,1 -k2,2 -k3,3g "$times" | awk '
    { key = $1 SUBSEP $2; n[key]++; t[key, n[key]] = $3; names[$1] = 1 }
    function fastest(k) { return t[k, 1] }
    function middle(k) { return t[k, int((n[k] + 1) / 2)] }
    END {
        for (name in names) {
            b = name SUBSEP "base"; m = name SUBSEP "new"
            if (!(b in n) || !(m in n)) continue
            printf "%-42s %12.3f %12.3f %12.3f %12.3f %8.1f%%\n", name, fastest(b), middle(b), fastest(m), middle(m),
                (fastest(m) - fastest(b)) / fastest(b) * 100
        }
    }' | sort
