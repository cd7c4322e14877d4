#!/usr/bin/env bash
# Times the dependency analysis (graph, cycles, dominators, DOT, levels, recompile reach,
# cuts) of the generated benchmark project against its scan, and how cuts and recompile reach
# grow with the units.
#
#   bench/analysis_bench.sh [N] [RUNS]
#
# N     units in the generated project (default 10000)
# RUNS  runs of each step; the fastest counts (default 7)
#
# Builds bench_analysis in build-bench (or $ANALYSIS_BENCH_BUILD), Release, without
# sanitizers. The corpus (BENCH_CORPUS, default analysis-corpus/ in that build directory)
# comes from bench/gen_corpus.py and is generated again only when its stamp differs.
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
units=${1:-10000}
runs=${2:-7}
build=${ANALYSIS_BENCH_BUILD:-$repo/build-bench}
cmake -S "$repo" -B "$build" -DCMAKE_BUILD_TYPE=Release -DUNITRACE_SANITIZE=OFF \
    -DUNITRACE_BENCH=ON -DUNITRACE_GUI=OFF -DUNITRACE_TESTS=OFF >/dev/null
cmake --build "$build" --target bench_analysis -j "$(nproc 2>/dev/null || echo 2)" >/dev/null

corpus=${BENCH_CORPUS:-$build/analysis-corpus}
want=$(python3 "$repo/bench/gen_corpus.py" --out "$corpus" --units "$units" --print-stamp)
if [[ "$(cat "$corpus/corpus.stamp" 2>/dev/null)" != "$want" ]]; then
    echo "Generating $units units into $corpus ..." >&2
    rm -rf "$corpus"
    python3 "$repo/bench/gen_corpus.py" --out "$corpus" --units "$units"
fi
"$build/bench/bench_analysis" "$corpus/Bench.dpr" "$runs"
