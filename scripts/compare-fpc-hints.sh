#!/usr/bin/env bash
# Compares the uses hygiene's `remove` verdicts on Free Pascal's own units with the
# compiler's hint 5023 ("Unit X not used in Y"), then applies unitrace-cli's patch to a copy
# of those sources and compiles them again: no unit may stop compiling.
#
#   scripts/compare-fpc-hints.sh [UNITRACE_CLI]
#
# UNITRACE_CLI defaults to build/unitrace-cli. The units of the packages are copied into a
# temporary tree with a Lazarus project that lists them all (`in` clauses), whose search
# and include paths name the copy, the other packages' and the RTL's sources (the target's
# directories first, other systems' left out). Each unit is compiled with `fpc -vhq` into
# a temporary directory of its own; units that do not compile before the patch (other
# systems', missing libraries) are left out of the figures. Prints every difference with
# the tool's verdict and reasons, then the figures.
# Environment: FPC_SOURCE (default: the newest /usr/share/fpcsrc/<version>), PACKAGES
# (default: every fcl-* package), FPC (default: fpc), JOBS (parallel compiles, default:
# the cores), KEEP_WORK=1 keeps the temporary tree and names it.
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cli=${1:-$repo/build/unitrace-cli}
source_dir=${FPC_SOURCE:-$(ls -d /usr/share/fpcsrc/*/ 2>/dev/null | sort -V | tail -1)}
fpc=${FPC:-fpc}
jobs=${JOBS:-$(nproc 2>/dev/null || echo 2)}

for tool in "$cli" "$fpc" patch python3; do
    if ! command -v "$tool" >/dev/null; then
        echo "compare-fpc-hints.sh: $tool is missing (apt-get install fpc patch; build unitrace-cli)" >&2
        exit 2
    fi
done
if [[ -z "$source_dir" || ! -d "$source_dir/packages" ]]; then
    echo "compare-fpc-hints.sh: no Free Pascal sources (apt-get install fpc-source)" >&2
    exit 2
fi
packages=${PACKAGES:-$(cd "$source_dir/packages" && ls -d fcl-* | tr '\n' ' ')}

work=$(mktemp -d)
if [[ "${KEEP_WORK:-}" == 1 ]]; then
    echo "work: $work" >&2
else
    trap 'rm -rf "$work"' EXIT
fi

python3 - "$cli" "$source_dir" "$work" "$fpc" "$jobs" $packages <<'EOF'
import json, os, re, shutil, subprocess, sys
from concurrent.futures import ThreadPoolExecutor

cli, source, work, fpc, jobs = sys.argv[1:6]
packages = sys.argv[6:]
jobs = max(1, int(jobs))
tree = os.path.join(work, "tree")

# Directories of other targets than this Linux one.
OTHER = {"win", "win16", "win32", "win64", "wince", "os2", "emx", "amiga", "morphos", "aros",
         "go32v2", "msdos", "netware", "netwlibc", "wii", "macos", "macosx", "darwin", "beos",
         "haiku", "nativent", "embedded", "atari", "symbian", "palmos", "gba", "nds", "watcom",
         "solaris", "aix", "freebsd", "openbsd", "netbsd", "dragonfly", "bsd", "qnx", "iphonesim",
         "android", "java", "jvm", "wasi", "msxdos", "sinclairql", "zxspectrum", "freertos"}

def source_dirs(top):
    out = []
    for root, dirs, files in os.walk(top):
        dirs[:] = sorted(d for d in dirs if d.lower() not in OTHER)
        if any(f.lower().endswith((".pp", ".pas", ".inc")) for f in files):
            out.append(root)
    # The target's own directories first: their units win over generic ones.
    return sorted(out, key=lambda d: (0 if re.search(r"/(linux|unix|x86_64)(/|$)", d) else 1, d))

for p in packages:
    shutil.copytree(os.path.join(source, "packages", p, "src"), os.path.join(tree, p))

unit_re = re.compile(r"^\s*unit\s+([\w.]+)", re.I | re.M)
units = {}  # lower name -> path relative to the tree
for d in source_dirs(tree):
    for f in sorted(os.listdir(d)):
        if not f.lower().endswith((".pp", ".pas")):
            continue
        path = os.path.join(d, f)
        m = unit_re.search(open(path, errors="replace").read())
        if m and m.group(1).lower() not in units:
            units[m.group(1).lower()] = os.path.relpath(path, tree)

others = [d for p in sorted(os.listdir(os.path.join(source, "packages")))
          if p not in packages for d in source_dirs(os.path.join(source, "packages", p, "src"))]
paths = source_dirs(tree) + others + source_dirs(os.path.join(source, "rtl"))
with open(os.path.join(tree, "AllUnits.lpr"), "w") as f:
    f.write("program AllUnits;\n\nuses\n")
    f.write(",\n".join(f"  {n} in '{p}'" for n, p in sorted(units.items())) + ";\n\nbegin\nend.\n")
with open(os.path.join(tree, "AllUnits.lpi"), "w") as f:
    f.write(f"""<?xml version="1.0"?>
<CONFIG><ProjectOptions><General><MainUnit Value="0"/></General>
<Units><Unit><Filename Value="AllUnits.lpr"/></Unit></Units></ProjectOptions>
<CompilerOptions><SearchPaths><IncludeFiles Value="{';'.join(paths)}"/>
<OtherUnitFiles Value="{';'.join(paths)}"/></SearchPaths></CompilerOptions></CONFIG>
""")

def tool(fmt):
    r = subprocess.run([cli, "--ignore", "", "--hygiene", "--format", fmt,
                        os.path.join(tree, "AllUnits.lpi")], capture_output=True)
    if r.returncode != 0:
        sys.exit(f"unitrace-cli --format {fmt} failed ({r.returncode}): {r.stderr.decode()}")
    return r.stdout

doc = json.loads(tool("json"))
patch = tool("patch")

hint_re = re.compile(r'Unit "([^"]+)" not used in ([\w.]+)')
def compile_all(label):
    """Compiles every unit alone; returns the units that compiled and the 5023 hints."""
    def one(item):
        n, (name, rel) = item
        out = os.path.join(work, label, str(n))
        os.makedirs(out)
        unit_dir = os.path.dirname(os.path.join(tree, rel))
        package = os.path.join(tree, rel.split(os.sep)[0])
        args = [fpc, "-vhq", "-FU" + out, "-FE" + out, "-Fi" + unit_dir]
        args += ["-Fi" + d for d in source_dirs(package)]
        r = subprocess.run(args + [os.path.join(tree, rel)], capture_output=True, text=True,
                           errors="replace", cwd=out)
        shutil.rmtree(out)
        return name, r.returncode == 0, hint_re.findall(r.stdout), r.stdout
    with ThreadPoolExecutor(jobs) as pool:
        results = list(pool.map(one, enumerate(sorted(units.items()))))
    ok = {name for name, good, _, _ in results if good}
    hints = {(unit.lower(), used.lower()) for _, _, found, _ in results for used, unit in found}
    logs = {name: text for name, good, _, text in results if not good}
    return ok, hints, logs

compiled, hints, _ = compile_all("before")

verdicts = {}  # (unit, entry) -> the tool's entry
for u in doc["units"]:
    if u["kind"] == "unit" and u["name"].lower() in compiled:
        for e in u["uses"]:
            verdicts[(u["name"].lower(), e["name"].lower())] = e
removes = {k for k, e in verdicts.items() if e.get("verdict") == "remove"}
hints = {k for k in hints if k[0] in compiled}

def why(key):
    e = verdicts.get(key)
    if e is None:
        return "the tool did not read this entry (another branch for the tool)"
    text = e.get("verdict") or "no verdict"
    if e.get("reasons"):
        text += " (" + ", ".join(e["reasons"]) + ")"
    if e.get("note"):
        text += ": " + e["note"]
    if e.get("evidence"):
        ev = e["evidence"][0]
        text += f"; first use {ev['identifier']} at {os.path.relpath(ev['file'], source)}:{ev['line']}"
    if e.get("conditions"):
        text += "; in " + " / ".join(e["conditions"])
    return text

for key in sorted(hints - removes):
    print(f"only compiler: {key[1]} in {key[0]}: {why(key)}")
for key in sorted(removes - hints):
    print(f"only tool: {key[1]} in {key[0]}: {why(key)}")

# The patch, applied to the tree; every unit that compiled must compile still.
patch_file = os.path.join(work, "hygiene.patch")
open(patch_file, "wb").write(patch)
edited = len(re.findall(rb"^\+\+\+ ", patch, re.M))
skipped = len(re.findall(rb"^# ", patch, re.M))
r = subprocess.run(["patch", "-p1", "-i", patch_file], cwd=tree, capture_output=True, text=True)
if r.returncode != 0:
    sys.exit("the patch does not apply:\n" + r.stdout + r.stderr)
after, _, logs = compile_all("after")
broken = sorted(compiled - after)
for name in broken:
    print(f"no longer compiles: {name} ({units[name]})")
    print("  " + "\n  ".join(l for l in logs[name].splitlines() if "Error" in l or "Fatal" in l))

print(f"{len(units)} units in {', '.join(packages)}; {len(compiled)} compile with {fpc}")
print(f"remove verdicts and hints 5023 on them: both {len(removes & hints)}, "
      f"only the tool {len(removes - hints)}, only the compiler {len(hints - removes)}")
counts = {}
for e in verdicts.values():
    counts[e.get("verdict")] = counts.get(e.get("verdict"), 0) + 1
print("verdicts on the entries of the units that compile: " +
      ", ".join(f"{v} {counts.get(v, 0)}" for v in ("keep", "move", "remove", "unknown")))
moves = counts.get("move", 0)
print(f"move verdicts {moves}; the patch edits {edited} files and lists {skipped} entries "
      f"it does not edit; after it {len(after)} units compile, {len(broken)} no longer do")
sys.exit(1 if broken else 0)
EOF
