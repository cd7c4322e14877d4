#!/usr/bin/env bash
# Writes the registry export of the stand-in Delphi 12 installation that the .dproj example
# uses (examples/dproj/studio), as HKCU\Software\Embarcadero would export it, with the root
# directory spelt for this checkout; prints the file's path.
set -euo pipefail
out=${1:-build/demo/Studio23.reg}
root=$(cd "$(dirname "$0")/.." && pwd)/examples/dproj/studio
mkdir -p "$(dirname "$out")"
lib() { # lib <platform>
  cat <<REG

[HKEY_CURRENT_USER\\Software\\Embarcadero\\BDS\\23.0\\Library\\$1]
"Search Path"="\$(BDSLIB)\\\\\$(Platform)\\\\release;\$(BDSUSERDIR)\\\\Imports"
"Browsing Path"="\$(BDS)\\\\source\\\\rtl\\\\common;\$(BDS)\\\\source\\\\vcl"
REG
}
{
  printf 'Windows Registry Editor Version 5.00\n\n'
  printf '[HKEY_CURRENT_USER\\Software\\Embarcadero\\BDS\\23.0]\n"RootDir"="%s/"\n' "$root"
  lib Win32
  lib Win64
} > "$out"
echo "$out"
