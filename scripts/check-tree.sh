#!/usr/bin/env bash
# Checks that the tree keeps the house rules: C++ formatted as .clang-format says, text files as
# .editorconfig says, game folders including only what lies below them, and explicit source lists.
# With --fix, reformats the C++ files instead of reporting them.
set -euo pipefail
cd "$(dirname "$0")/.."

failed=0
fail() {
    echo "check-tree: $*" >&2
    failed=1
}

# C++ layout.
mapfile -t cpp < <(git ls-files '*.cpp' '*.h')
if [ "${1:-}" = "--fix" ]; then
    clang-format -i "${cpp[@]}"
elif ! clang-format --dry-run --Werror "${cpp[@]}" 2>/dev/null; then
    clang-format --dry-run "${cpp[@]}" 2>&1 | grep -E '^[^ ].*warning' | sed 's/:.*//' | sort -u | sed 's/^/  /' >&2
    fail "files differ from .clang-format (run scripts/check-tree.sh --fix)"
fi

# Text files: final newline, no trailing blanks, no tabs, no carriage returns.
while IFS= read -r file; do
    [ -s "$file" ] || continue
    grep -Iq . "$file" || continue # binary
    [ "$(tail -c 1 "$file" | od -An -c | tr -d ' ')" = '\n' ] || fail "$file: no newline at the end"
    case "$file" in *.md) ;; *) grep -n -E ' +$' "$file" | head -3 | sed "s|^|$file:|" | grep . >&2 && fail "$file: trailing blanks" ;; esac
    grep -q $'\t' "$file" && fail "$file: tabs"
    grep -q $'\r' "$file" && fail "$file: carriage returns"
done < <(git ls-files | grep -v -E '\.(png|bmp|wav|mid)$' | grep -v -E '^fuzz/(regressions|seeds)/')

# Game folders include only their own headers, the folders below them and the platform's public
# headers: platform -> base -> display, sound -> scene -> game -> shell.
declare -A below=(
    [base]="base"
    [display]="base display"
    [sound]="base sound"
    [scene]="base display sound scene"
    [game]="base display sound scene game"
    [shell]="base display sound scene game shell"
)
for folder in "${!below[@]}"; do
    while IFS= read -r line; do
        target=${line#*\"}
        target=${target%%\"*}
        case "$target" in
        */*)
            [[ " ${below[$folder]} " == *" ${target%%/*} "* ]] || fail "${line%%:*}: includes \"$target\", which is above or beside $folder/"
            ;;
        windows.h | unknown.h | ddraw.h | d3drm.h | dsound.h | mmsystem.h) ;;
        *) [ -f "$folder/$target" ] || fail "${line%%:*}: includes \"$target\", which is not a public platform header" ;;
        esac
    done < <(git grep -n -E '^#include "' -- "$folder" || true)
done

# Every CMakeLists.txt names its sources.
git grep -n -E 'file *\( *GLOB' -- '*CMakeLists.txt' '*.cmake' && fail "globbed source lists"

exit $failed
