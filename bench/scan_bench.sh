#!/usr/bin/env bash
# Times the project scan against merely reading the same files: the text log and the JSON
# document, with the default jobs and with --jobs 1, each with its peak memory; and the size
# of the JSON document; then the scan with the uses hygiene (--hygiene), which reads every
# source whole once more. Targets: each scan within 1.0x the reading, the hygiene within
# 2.0x, peak memory at most half the bytes of the sources, JSON under 5 MB.
#
#   bench/scan_bench.sh [N] [UNITRACE_CLI]
#
# N             units in the generated project (default 10000)
# UNITRACE_CLI  the command-line front end (default build-bench-scan/unitrace-cli; when
#               that default is missing it is built there, Release, without sanitizers)
#
# Environment: BENCH_CORPUS (project directory; default: corpus/ beside the binary),
# BENCH_SEED (default 1), BENCH_RUNS (timed runs of each command, default 5),
# BENCH_BASELINE (another unitrace-cli, e.g. an older build, timed beside it).
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

bench=scan_bench.sh
source "$repo/bench/release_cli.sh"

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

# Peak resident memory of one run in MiB.
peak_mib() {
    /usr/bin/time -f '%M' "$@" 2>&1 >/dev/null | tail -1 | awk '{printf "%.0f", $1 / 1024}'
}

tool=$(command -v hyperfine >/dev/null 2>&1 && echo hyperfine || echo "bash time")
read -r read_s read_cpu < <(time_runs read "${read_cmd[@]}")
json_bytes=$(wc -c <"$result")
printf 'corpus:     %d units generated, %d files, %.1f MiB\n' "$units" "$files" "$(awk -v b="$bytes" 'BEGIN {print b / 1048576}')"
printf 'scanned:    %d units (project included), %d exceptions logged\n' "$scanned" "$exceptions"
printf 'timing:     median of %d warm runs (%s); CPU = user + system; %d cores\n' "$runs" "$tool" "$(nproc)"
printf 'read-only:  %.3f s wall, %.3f s CPU  (find | cat > /dev/null)\n' "$read_s" "$read_cpu"
printf 'json size:  %.2f MiB  (target < 5 MB)\n' "$(awk -v b="$json_bytes" 'BEGIN {print b / 1048576}')"

# Each format, with the default jobs and serially; BENCH_BASELINE names another build of
# unitrace-cli (one without --jobs, say) to time beside it.
report() {
    local label=$1 target=$2
    shift 2
    local s cpu rss
    read -r s cpu < <(time_runs "$label" "$@")
    rss=$(peak_mib "$@")
    awk -v l="$label" -v t="$target" -v s="$s" -v c="$cpu" -v r="$read_s" -v m="$rss" -v b="$bytes" 'BEGIN {
        printf "%-22s %.3f s wall, %.3f s CPU, ratio %.2f (target <= %s), peak %d MiB (%.2f of the sources; target <= 0.5)\n",
            l ":", s, c, (r > 0 ? s / r : 0), t, m, m * 1048576 / b }'
}
text_cmd=("$cli" --delphi 5.0 "$project")
report "text" 1.0 "${text_cmd[@]}"
report "json" 1.0 "${scan_cmd[@]}"
report "text --jobs 1" 1.0 "${text_cmd[@]}" --jobs 1
report "json --jobs 1" 1.0 "${scan_cmd[@]}" --jobs 1
report "text --hygiene" 2.0 "${text_cmd[@]}" --hygiene
report "json --hygiene" 2.0 "${scan_cmd[@]}" --hygiene
if [[ -n "${BENCH_BASELINE:-}" ]]; then
    report "baseline text" 1.0 "$BENCH_BASELINE" --delphi 5.0 "$project"
    report "baseline json" 1.0 "$BENCH_BASELINE" --format json --delphi 5.0 "$project"
fi
