#!/usr/bin/env bash
# Draws the include graph of src/ by folder and fails when an arrow points up the layers:
# each folder may include only folders of a lower rank (the window and the command line sit
# side by side on top and never include each other).
#
#   scripts/check-layers.sh [SRC]      prints "from -> to (includes)" per arrow
set -euo pipefail
src=${1:-"$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/src"}

declare -A rank=(
    [support]=0 [platform]=1
    [scanner]=2 [config]=2 [mapfile]=2 [imports]=2
    [scan]=3
    [trees]=4 [symbols]=4
    [analysis]=5
    [rules]=6
    [report]=7
    [cli]=8 [gui]=8
)

bad=0
while read -r count from to; do
    status=ok
    if [[ -z "${rank[$from]+x}" || -z "${rank[$to]+x}" ]]; then
        status="unknown folder"
    elif ((rank[$to] >= rank[$from])); then
        status="points up"
    fi
    printf '%-9s -> %-9s (%d)%s\n' "$from" "$to" "$count" \
        "$([[ $status == ok ]] || echo "  <- $status")"
    [[ $status == ok ]] || bad=1
done < <(cd "$src" && grep -rhoE --include='*.cpp' --include='*.h' '^#include "[a-z]+/' . -H |
             sed -E 's#^\./([a-z]+)/[^:]*:\#include "([a-z]+)/#\1 \2#' |
             awk '$1 != $2' | sort | uniq -c)
exit $bad
