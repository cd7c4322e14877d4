#!/usr/bin/env bash
# Runs the Windows build's test programs under Wine (one Wine server kept for the run), then
# compares the Windows command line's JSON for the examples with the Linux one.
# Usage: test-windows.sh WINDOWS_BUILD [LINUX_BUILD]
set -euo pipefail
win=$(cd "${1:?usage: test-windows.sh WINDOWS_BUILD [LINUX_BUILD]}" && pwd)
linux=${2:-build}
export UNITRACE_WINEPREFIX=$win/wine-prefix WINEPREFIX=$win/wine-prefix WINEDEBUG=-all
server=$(command -v wineserver || echo /usr/lib/wine/wineserver64)
# The prefix is made on the first run; a server that stays up spares each program the start.
bash "$(dirname "$0")/wine-run.sh" wineboot --init >/dev/null 2>&1 || true
"$server" -p
trap '"$server" -k || true' EXIT
(cd "$win" && ctest --output-on-failure -j 2)
bash "$(dirname "$0")/compare-windows.sh" "$win" "$linux"
