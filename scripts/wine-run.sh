#!/usr/bin/env bash
# Runs a Windows program under Wine, headless, in a prefix of its own
# ($UNITRACE_WINEPREFIX, else wine-prefix/ beside the program's build directory).
set -euo pipefail
prog=$1
shift
if [ -z "${UNITRACE_WINEPREFIX:-}" ]; then
  dir=$(cd "$(dirname "$prog")" && pwd)
  while [ "$dir" != / ] && [ ! -f "$dir/CMakeCache.txt" ]; do dir=$(dirname "$dir"); done
  UNITRACE_WINEPREFIX=$dir/wine-prefix
fi
export WINEPREFIX=$UNITRACE_WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" DISPLAY=
# Debian's wine64 package puts the loader in /usr/lib/wine; the wine package links it to PATH.
wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
exec "$wine" "$prog" "$@"
