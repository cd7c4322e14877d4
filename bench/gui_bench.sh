#!/usr/bin/env bash
# Builds and runs the GUI tree benchmark: Release, no sanitizers, in build-bench-gui (or
# $GUI_BENCH_BUILD); the views are shown on Qt's offscreen platform, so no display is needed.
#
#   bench/gui_bench.sh [bench_gui_tree options...]
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${GUI_BENCH_BUILD:-$repo/build-bench-gui}
cmake -S "$repo" -B "$build" -DCMAKE_BUILD_TYPE=Release -DUNITRACE_SANITIZE=OFF \
    -DUNITRACE_BENCH=ON -DUNITRACE_GUI=ON -DUNITRACE_TESTS=OFF >/dev/null
targets=$(cmake --build "$build" --target help)
if [[ "$targets" != *bench_gui_tree* ]]; then
    echo "gui_bench.sh: Qt 6 was not found, so there is no GUI benchmark to run" >&2
    exit 0
fi
cmake --build "$build" --target bench_gui_tree -j "$(nproc 2>/dev/null || echo 2)"
QT_QPA_PLATFORM=offscreen "$build/bench/bench_gui_tree" "$@"
