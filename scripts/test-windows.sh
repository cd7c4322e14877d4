#!/usr/bin/env bash
# Runs the Windows build's test programs under Wine (one Wine server kept for the run), then
# compares the Windows command line's JSON for the examples with the Linux one.
# Usage: test-windows.sh WINDOWS_BUILD [LINUX_BUILD]
set -euo pipefail
win=$(cd "${1:?usage: test-windows.sh WINDOWS_BUILD [LINUX_BUILD]}" && pwd)
linux=${2:-build}
export UNITRACE_WINEPREFIX=$win/wine-prefix WINEPREFIX=$win/wine-prefix WINEDEBUG=-all
server=$(command -v wineserver || echo /usr/lib/wine/wineserver64)
# A server that stays up spares each program the start; it is started before anything else
# runs in the prefix, since one already up refuses to become persistent (and a server left
# up by an earlier run is used as it is). The prefix is made on the first run.
"$server" -p 2>/dev/null || true
trap '"$server" -k || true' EXIT
bash "$(dirname "$0")/wine-run.sh" wineboot --init >/dev/null 2>&1 || true
(cd "$win" && ctest --output-on-failure -j 2)
bash "$(dirname "$0")/compare-windows.sh" "$win" "$linux"
