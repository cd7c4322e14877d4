#!/usr/bin/env bash
# Writes the compiler settings of the demo's stand-in Delphi 5 installation as a registry
# export, with the installation root spelt for this checkout, and prints the file's path.
set -euo pipefail
out=${1:-build/demo/Delphi5.reg}
root=$(cd "$(dirname "$0")/.." && pwd)/examples/delphi5
mkdir -p "$(dirname "$out")"
cat > "$out" <<REG
REGEDIT4

[HKEY_LOCAL_MACHINE\\Software\\Borland\\Delphi\\5.0]
"RootDir"="$root"

[HKEY_CURRENT_USER\\Software\\Borland\\Delphi\\5.0\\Library]
"Search Path"="\$(DELPHI)\\\\Lib"
"Browsing Path"="\$(DELPHI)\\\\Source"
REG
echo "$out"
