#!/usr/bin/env bash
# The views at scale on the generated benchmark project: the matrix page's build and paint
# times, Graphviz's layout times for neighbourhoods, the HTML report's size and writing
# time, and pictures of all three (the report through headless Chromium) in OUT.
#
#   bench/views_bench.sh [N] [RUNS] [OUT]
#
# N     units in the generated project (default 10000)
# RUNS  runs of each step; the median counts (default 9)
# OUT   where the pictures go (default: views-10k/ in the build directory)
#
# Builds in build-bench-gui (or $GUI_BENCH_BUILD): Release, no sanitizers, offscreen.
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
units=${1:-10000}
runs=${2:-9}
build=${GUI_BENCH_BUILD:-$repo/build-bench-gui}
out=${3:-$build/views-10k}
cmake -S "$repo" -B "$build" -DCMAKE_BUILD_TYPE=Release -DUNITRACE_SANITIZE=OFF \
    -DUNITRACE_BENCH=ON -DUNITRACE_GUI=ON -DUNITRACE_TESTS=OFF >/dev/null
if [[ "$(cmake --build "$build" --target help)" != *bench_views* ]]; then
    echo "views_bench.sh: Qt 6 was not found, so there is no window to time" >&2
    exit 0
fi
cmake --build "$build" --target bench_views unitrace-cli -j "$(nproc 2>/dev/null || echo 2)" >/dev/null

corpus=${BENCH_CORPUS:-$build/views-corpus}
want=$(python3 "$repo/bench/gen_corpus.py" --out "$corpus" --units "$units" --print-stamp)
if [[ "$(cat "$corpus/corpus.stamp" 2>/dev/null)" != "$want" ]]; then
    echo "Generating $units units into $corpus ..." >&2
    rm -rf "$corpus"
    python3 "$repo/bench/gen_corpus.py" --out "$corpus" --units "$units"
fi
mkdir -p "$out"
QT_QPA_PLATFORM=offscreen "$build/bench/bench_views" "$corpus/Bench.dpr" "$out" "$runs"

start=$(date +%s%N)
"$build/unitrace-cli" --format html "$corpus/Bench.dpr" >"$out/report-10k.html"
end=$(date +%s%N)
echo "HTML report: $(( ($(stat -c %s "$out/report-10k.html") + 512) / 1024 )) KiB, written (scan included) in $(( (end - start) / 1000000 )) ms"
if command -v chromium >/dev/null; then
    bash "$repo/scripts/page-screenshot.sh" "$out/report-10k.html" "$out/report-10k.png" 1280,2600
fi
ls -1 "$out"/*.png
