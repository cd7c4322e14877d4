#!/usr/bin/env bash
# Times the project scan against merely reading the same files.
#
#   bench/scan_bench.sh [N] [UNITRACE_CLI]
#
# N             units in the generated project (default 10000)
# UNITRACE_CLI  the command-line front end (default build-bench-scan/unitrace-cli; when
#               that default is missing it is built there, Release, without sanitizers)
#
# Environment: BENCH_CORPUS (project directory; default: corpus/ beside the binary),
# BENCH_SEED (default 1), BENCH_RUNS (timed runs of each command, default 5).
#
# The corpus is generated once and again only when N, the seed or the generator change.
# Both commands run once untimed first, so the files are in the page cache; then each
# runs BENCH_RUNS times and the median counts. hyperfine is used when installed.
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
units=${1:-10000}
default_cli="$repo/build-bench-scan/unitrace-cli"
cli=${2:-$default_cli}
seed=${BENCH_SEED:-1}
runs=${BENCH_RUNS:-5}

if ! [[ "$units" =~ ^[0-9]+$ ]] || ((units < 1)); then
    echo "scan_bench.sh: N must be a positive number, not \"$units\"" >&2
    exit 2
fi
if ! [[ "$runs" =~ ^[0-9]+$ ]] || ((runs < 1)); then
    echo "scan_bench.sh: BENCH_RUNS must be a positive number, not \"$runs\"" >&2
    exit 2
fi

if [[ ! -x "$cli" ]]; then
    if [[ "$cli" != "$default_cli" ]]; then
        echo "scan_bench.sh: \"$cli\" is not an executable" >&2
        exit 2
    fi
    echo "Building $cli (Release) ..." >&2
    cmake -S "$repo" -B "$repo/build-bench-scan" -DCMAKE_BUILD_TYPE=Release \
        -DUNITRACE_SANITIZE=OFF -DUNITRACE_GUI=OFF -DUNITRACE_TESTS=OFF >/dev/null
    cmake --build "$repo/build-bench-scan" --target unitrace-cli -j "$(nproc 2>/dev/null || echo 2)" >/dev/null
fi
cli=$(cd "$(dirname "$cli")" && pwd)/$(basename "$cli")

corpus=${BENCH_CORPUS:-$(dirname "$cli")/corpus}
gen="$repo/bench/gen_corpus.py"
want=$(python3 "$gen" --out "$corpus" --units "$units" --seed "$seed" --print-stamp)
want="$want gen=$(cksum <"$gen" | cut -d' ' -f1)"
if [[ ! -f "$corpus/corpus.stamp" || "$(cat "$corpus/corpus.stamp")" != "$want" ]]; then
    echo "Generating $units units into $corpus ..." >&2
    rm -rf "$corpus"
    python3 "$gen" --out "$corpus" --units "$units" --seed "$seed"
    echo "$want" >"$corpus/corpus.stamp"
fi
project="$corpus/Bench.dpr"

scan_cmd=("$cli" --format json --delphi 5.0 "$project")
read_cmd=(find "$corpus" -type f -exec cat {} +)

# One untimed run of each warms the cache and checks the scan's result.
result=$(mktemp)
trap 'rm -f "$result" "$result.read.json" "$result.scan.json"' EXIT
"${read_cmd[@]}" >/dev/null
if ! "${scan_cmd[@]}" >"$result"; then
    echo "scan_bench.sh: the scan failed (exit $?)" >&2
    exit 1
fi
read -r scanned exceptions < <(python3 -c '
import json, sys
d = json.load(open(sys.argv[1]))
if not d["completed"]:
    sys.exit("scan_bench.sh: the scan did not complete")
exc = sum(1 for line in d["log"] if "EXC:" in line["text"])
print(len(d["units"]), exc)' "$result")
files=$(find "$corpus" -type f | wc -l)
bytes=$(find "$corpus" -type f -printf '%s\n' | awk '{s += $1} END {print s}')

# Median of the first column (wall clock) and of the second (CPU: user + system) of the
# runs' lines "wall user system".
medians() {
    awk '{w[NR] = $1; c[NR] = $2 + $3}
    function median(v, n,    i, j, t, m) {
        for (i = 2; i <= n; i++)
            for (j = i; j > 1 && v[j - 1] > v[j]; j--) {
                t = v[j]; v[j] = v[j - 1]; v[j - 1] = t
            }
        m = int((n + 1) / 2)
        return (n % 2) ? v[m] : (v[m] + v[m + 1]) / 2
    }
    END {print median(w, NR), median(c, NR)}'
}

# Prints "wall cpu" in seconds for a command: medians of BENCH_RUNS warm runs (hyperfine
# gives the median wall clock and the mean CPU time).
time_runs() {
    local label=$1
    shift
    if command -v hyperfine >/dev/null 2>&1; then
        hyperfine --style none --warmup 1 --runs "$runs" --export-json "$result.$label.json" \
            --command-name "$label" "$(printf '%q ' "$@") >/dev/null" >/dev/null
        python3 -c 'import json, sys
r = json.load(open(sys.argv[1]))["results"][0]
print(r["median"], r["user"] + r["system"])' "$result.$label.json"
    else
        local TIMEFORMAT='%R %U %S' i
        for ((i = 0; i < runs; i++)); do
            { time "$@" >/dev/null 2>/dev/null; } 2>&1
        done | medians
    fi
}

tool=$(command -v hyperfine >/dev/null 2>&1 && echo hyperfine || echo "bash time")
read -r read_s read_cpu < <(time_runs read "${read_cmd[@]}")
read -r scan_s scan_cpu < <(time_runs scan "${scan_cmd[@]}")

awk -v n="$units" -v scanned="$scanned" -v exc="$exceptions" -v files="$files" \
    -v bytes="$bytes" -v r="$read_s" -v s="$scan_s" -v rc="$read_cpu" -v sc="$scan_cpu" \
    -v runs="$runs" -v tool="$tool" '
BEGIN {
    printf "corpus:     %d units generated, %d files, %.1f MiB\n", n, files, bytes / 1048576
    printf "scanned:    %d units (project included), %d exceptions logged\n", scanned, exc
    printf "timing:     median of %d warm runs (%s); CPU = user + system\n", runs, tool
    printf "read-only:  %.3f s wall, %.3f s CPU  (find | cat > /dev/null)\n", r, rc
    printf "scan:       %.3f s wall, %.3f s CPU  (unitrace-cli --format json --delphi 5.0)\n", s, sc
    printf "units/s:    %.0f\n", (s > 0 ? scanned / s : 0)
    printf "ratio:      %.2f wall, %.2f CPU  (scan / read; target <= 3)\n", (r > 0 ? s / r : 0), (rc > 0 ? sc / rc : 0)
}'
