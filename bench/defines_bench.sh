#!/usr/bin/env bash
# Times what conditional symbols cost a scan:
#   - one program holding 100,000 conditional blocks, each defining and testing a symbol;
#   - a generated 5,000-unit project scanned with and without 1,000 extra symbols.
#
#   bench/defines_bench.sh [UNITRACE_CLI]
#
# UNITRACE_CLI defaults to build-bench-scan/unitrace-cli (built there, Release, when
# missing, as bench/scan_bench.sh does). Environment: BENCH_DIR (where the inputs are
# written; default: defines-bench/ beside the binary), BENCH_RUNS (timed runs, default 3).
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
default_cli="$repo/build-bench-scan/unitrace-cli"
cli=${1:-$default_cli}
runs=${BENCH_RUNS:-3}

bench=defines_bench.sh
source "$repo/bench/release_cli.sh"
dir=${BENCH_DIR:-$(dirname "$cli")/defines-bench}
mkdir -p "$dir"

# 100,000 blocks: every one defines a new symbol, tests it, and holds a use of a unit.
blocks="$dir/blocks"
if [[ ! -f "$blocks/Blocks.dpr" ]]; then
    mkdir -p "$blocks"
    python3 - "$blocks" <<'EOF'
import sys
out = sys.argv[1]
with open(out + "/Blocks.dpr", "w") as f:
    f.write("program Blocks;\nuses\n")
    for i in range(100000):
        f.write("{$DEFINE S%d}{$IFDEF S%d} U%d, {$ELSE} V%d, {$ENDIF}\n" % (i, i, i % 10, i % 10))
    f.write("  Last;\nbegin\nend.\n")
EOF
fi

corpus="$dir/corpus5000"
if [[ ! -f "$corpus/Bench.dpr" ]]; then
    python3 "$repo/bench/gen_corpus.py" --out "$corpus" --units 5000 --seed 1
fi
many=$(python3 -c 'print(";".join("SYM%d" % i for i in range(1000)))')

# Median wall-clock seconds of BENCH_RUNS runs of a command.
median() {
    local TIMEFORMAT='%R' i
    for ((i = 0; i < runs; i++)); do
        { time "$@" >/dev/null 2>/dev/null; } 2>&1
    done | sort -n | awk '{v[NR] = $1} END {m = int((NR + 1) / 2); print (NR % 2) ? v[m] : (v[m] + v[m + 1]) / 2}'
}

echo "binary:               $cli"
echo "100,000 conditionals: $(median "$cli" --format text "$blocks/Blocks.dpr") s (log), $(median "$cli" --format json "$blocks/Blocks.dpr") s (JSON)"
echo "5,000 units:          $(median "$cli" --format json --delphi 5.0 "$corpus/Bench.dpr") s"
echo "  with 1,000 defines: $(median "$cli" --format json --delphi 5.0 --defines "$many" "$corpus/Bench.dpr") s"
