#!/usr/bin/env bash
# Compares the interface uses lists that unitrace-cli reads from Free Pascal's own units with
# those of pasdoc (an independent documentation tool that parses Pascal), unit by unit, for
# the packages fcl-base, fcl-xml, fcl-json and fcl-db of Debian's fpc-source package.
#
#   scripts/compare-pasdoc.sh [UNITRACE_CLI]
#
# UNITRACE_CLI defaults to build/unitrace-cli. Both tools get the same symbols: those of
# unitrace-cli's Free Pascal mode (pasdoc's --define). Names compare without regard to case,
# as sets. Prints every unit whose lists differ, then the share of units that agree.
# Environment: FPC_SOURCE (default: the newest /usr/share/fpcsrc/<version>), PACKAGES.
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cli=${1:-$repo/build/unitrace-cli}
source_dir=${FPC_SOURCE:-$(ls -d /usr/share/fpcsrc/*/ 2>/dev/null | sort -V | tail -1)}
packages=${PACKAGES:-"fcl-base fcl-xml fcl-json fcl-db"}

for tool in "$cli" pasdoc; do
    if ! command -v "$tool" >/dev/null; then
        echo "compare-pasdoc.sh: $tool is missing (apt-get install pasdoc; build unitrace-cli)" >&2
        exit 2
    fi
done
if [[ -z "$source_dir" || ! -d "$source_dir/packages" ]]; then
    echo "compare-pasdoc.sh: no Free Pascal sources (apt-get install fpc-source)" >&2
    exit 2
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

python3 - "$cli" "$source_dir" "$work" $packages <<'EOF'
import json, os, re, subprocess, sys

cli, source, work = sys.argv[1:4]
packages = sys.argv[4:]

files = []
for p in packages:
    for root, _, names in os.walk(os.path.join(source, "packages", p, "src")):
        files += [os.path.join(root, n) for n in names if n.lower().endswith((".pp", ".pas"))]
files.sort()

def ours(path):
    out = subprocess.run([cli, "--compiler", "fpc", "--ignore", "", "--format", "json", path],
                         capture_output=True, text=True, errors="replace").stdout
    doc = json.loads(out)
    key = os.path.splitext(os.path.basename(path))[0].lower()
    unit = next(u for u in doc["units"] if u["key"].lower() == key)
    return doc["inputs"]["defines"], unit["name"], {
        x["name"].lower() for x in unit["uses"] if x["interface"]}

edge = re.compile(r'^\s*"([^"]+)"\s*->\s*"([^"]+)"')
node = re.compile(r'^\s*"([^"]+)"\s*\[')

def theirs(path, defines):
    out = os.path.join(work, "out")
    os.makedirs(out, exist_ok=True)
    dot = os.path.join(out, "GVUses.dot")
    if os.path.exists(dot):
        os.remove(dot)
    args = ["pasdoc", "--graphviz-uses", "-v", "0", "-E", out]
    for d in defines:
        args += ["-D", d]
    subprocess.run(args + [path], capture_output=True)
    if not os.path.exists(dot):
        return None, set()
    units, uses = set(), {}
    for line in open(dot, errors="replace"):
        if m := edge.match(line):
            uses.setdefault(m[1].lower(), set()).add(m[2].lower())
        elif m := node.match(line):
            units.add(m[1].lower())
    return units, uses

agree, differ, unread = 0, [], []
for path in files:
    defines, name, mine = ours(path)
    units, uses = theirs(path, defines)
    if not units or name.lower() not in units:
        unread.append(path)
        continue
    other = uses.get(name.lower(), set())
    if mine == other:
        agree += 1
    else:
        differ.append((path, sorted(mine - other), sorted(other - mine)))

rel = lambda p: os.path.relpath(p, os.path.join(source, "packages"))
for path, only_ours, only_theirs in differ:
    print(f"differ: {rel(path)}: only unitrace {only_ours}, only pasdoc {only_theirs}")
for path in unread:
    print(f"pasdoc read nothing: {rel(path)}")
compared = agree + len(differ)
print(f"{len(files)} units in {', '.join(packages)}; {compared} read by both; "
      f"{agree} agree ({100.0 * agree / max(compared, 1):.1f}%), {len(differ)} differ, "
      f"{len(unread)} not read by pasdoc")
EOF
