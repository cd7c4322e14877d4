#!/usr/bin/env bash
# The Windows command line under Wine must give the same JSON as the Linux one for the
# examples, apart from the spelling of paths: "Z:\work\x\a.pas" there is "/work/x/a.pas"
# here. Usage: compare-windows.sh WINDOWS_BUILD LINUX_BUILD
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
win=$(cd "${1:?usage: compare-windows.sh WINDOWS_BUILD LINUX_BUILD}" && pwd)
linux=${2:?usage: compare-windows.sh WINDOWS_BUILD LINUX_BUILD}
[ -x "$linux/unitrace-cli" ] || cmake --build "$linux" --target unitrace-cli -j 2 >/dev/null
linux=$(cd "$linux" && pwd)
work=$win/compare
rm -rf "$work"
mkdir -p "$work"

# Each example with the registry export of its stand-in installation.
bash "$repo/scripts/demo-registry.sh" "$work/Delphi5.reg" >/dev/null
bash "$repo/scripts/studio-registry.sh" "$work/Studio23.reg" >/dev/null
examples=("demo/Demo.dpr:Delphi5.reg" "dproj/Inventory.dproj:Studio23.reg")

# Paths in one spelling: drive Z: is the root, '\' (written "\\" in JSON) is '/'. Both
# outputs go through it: the registry's own values mix the separators on either system.
# The map file is named as the program builds its name ("Demo.MAP"): Windows opens it in any
# letter case and keeps that spelling, Linux gives the one on disk.
normalise() {
  sed -e 's|Z:\\\\|/|g' -e 's|Z:/|/|g' -e 's|\\\\|/|g' -e 's|"mapFile":"\([^"]*\)"|"mapFile":"\L\1"|' "$1"
}

status=0
for entry in "${examples[@]}"; do
  project=${entry%%:*}
  reg=${entry#*:}
  name=$(basename "$project")
  # The Windows program reads the same export with the root spelt on drive Z:.
  sed -e 's|"RootDir"="/|"RootDir"="Z:/|' "$work/$reg" > "$work/win-$reg"
  (cd "$repo/examples" && "$linux/unitrace-cli" --format json --registry "$work/$reg" \
    "$project" > "$work/$name.linux.json")
  (cd "$repo/examples" && bash "$repo/scripts/wine-run.sh" "$win/unitrace-cli.exe" \
    --format json --registry "Z:$work/win-$reg" "$project" | tr -d '\r' > "$work/$name.win.json")
  normalise "$work/$name.win.json" > "$work/$name.win-normalised.json"
  normalise "$work/$name.linux.json" > "$work/$name.linux-normalised.json"
  # The registry file's own name differs by its "win-" prefix.
  sed -i -e "s|$work/win-$reg|$work/$reg|g" "$work/$name.win-normalised.json"
  if diff -u "$work/$name.linux-normalised.json" "$work/$name.win-normalised.json" > "$work/$name.diff"; then
    echo "same JSON on Windows and Linux: $project"
  else
    echo "the Windows JSON of $project differs from the Linux one:" >&2
    head -40 "$work/$name.diff" >&2
    status=1
  fi
done
exit $status
