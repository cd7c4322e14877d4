#!/usr/bin/env bash
# Pictures of every page of the main window on the example project, taken without a
# display (Qt's offscreen platform), into BUILD/screenshots/.
set -euo pipefail
build=${1:-build}
project=${2:-examples/demo/Demo.dpr}
out=${3:-$build/screenshots}
if [ ! -x "$build/unitrace" ]; then
  echo "screenshots: $build/unitrace was not built (Qt 6 missing?)" >&2
  exit 1
fi
# The demo's compiler settings, as `make run` gives them.
UNITRACE_REGISTRY=$(bash "$(dirname "$0")/demo-registry.sh" "$build/demo/Delphi5.reg")
export UNITRACE_REGISTRY
export QT_QPA_PLATFORM=offscreen
"$build/unitrace" --screenshots "$out" "$project"
# The HTML report of the same scan, as a browser shows it.
if ! command -v chromium >/dev/null; then
  echo "screenshots: chromium is missing (scripts/install-deps.sh installs it)" >&2
  exit 1
fi
"$build/unitrace-cli" --format html "$project" >"$out/report.html"
bash "$(dirname "$0")/page-screenshot.sh" "$out/report.html" "$out/report.png" 1280,1800
ls -1 "$out"/*.png

# The same pages after a scan of a generated project of 10,000 units (deeplog.png: lines
# nested thousands of levels deep), into OUT/10000-units/; the project is generated again
# only when its generator or its arguments changed.
repo=$(cd "$(dirname "$0")/.." && pwd)
gen="$repo/bench/gen_corpus.py"
corpus="$build/screenshot-corpus"
want="$(python3 "$gen" --out "$corpus" --units 10000 --print-stamp) gen=$(cksum <"$gen" | cut -d' ' -f1)"
if [[ ! -f "$corpus/corpus.stamp" || "$(cat "$corpus/corpus.stamp")" != "$want" ]]; then
  rm -rf "$corpus"
  python3 "$gen" --out "$corpus" --units 10000 >/dev/null
  echo "$want" >"$corpus/corpus.stamp"
fi
"$build/unitrace" --screenshots "$out/10000-units" "$corpus/Bench.dpr"
ls -1 "$out"/10000-units/*.png
