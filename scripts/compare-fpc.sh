#!/usr/bin/env bash
# Compares the units and uses edges unitrace-cli finds for Free Pascal programs with those the
# compiler itself loads: each program is compiled with `fpc -vu` into a temporary directory,
# and its "Load from A (interface|implementation) unit B" lines are set beside the tool's JSON
# result for the same program, paths and defines.
#
#   scripts/compare-fpc.sh [--cli PATH] [--define SYM]... [--verbose] [PROGRAM...]
#
# Without PROGRAMs, the example and utility programs listed below (relative to the Free
# Pascal sources) are compared. The compiler loads the installed units (.ppu); the tool reads
# their sources, so it is given the directories of those sources as its search path: for each
# unit the compiler loaded, the source file of that name in its package's tree whose
# directory holds the most of the include files the .ppu names. Both sides get the program's
# directory and the same defines. Names compare without regard to case; a program's own
# uses entries count as one section on both sides (the compiler calls them implementation,
# the tool interface).
#
# Prints per program the units and edges on both sides, only in the tool, only in the
# compiler, and each difference with its reason; then the totals and the count of each
# reason. Exit status 0 when every difference has a known reason, 1 otherwise.
# Environment: FPC_SOURCE (default: the newest /usr/share/fpcsrc/<version>), FPC (fpc).
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cli=$repo/build/unitrace-cli
defines=()
verbose=0
programs=()
while (($#)); do
    case $1 in
    --cli) cli=$2; shift 2 ;;
    --define) defines+=("$2"); shift 2 ;;
    --verbose) verbose=1; shift ;;
    -h | --help) sed -n '2,21p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) programs+=("$1"); shift ;;
    esac
done
source_dir=${FPC_SOURCE:-$(ls -d /usr/share/fpcsrc/*/ 2>/dev/null | sort -V | tail -1)}
source_dir=${source_dir%/}
fpc=${FPC:-fpc}
for tool in "$cli" "$fpc" python3; do
    if ! command -v "$tool" >/dev/null; then
        echo "compare-fpc.sh: $tool is missing (apt-get install fpc fpc-source; build unitrace-cli)" >&2
        exit 2
    fi
done
if [[ -z "$source_dir" || ! -d "$source_dir/packages" ]]; then
    echo "compare-fpc.sh: no Free Pascal sources (apt-get install fpc-source)" >&2
    exit 2
fi
if ((${#programs[@]} == 0)); then
    while read -r p; do
        [[ -n $p && $p != \#* ]] && programs+=("$source_dir/$p")
    done <<'LIST'
packages/fcl-db/examples/createsql.pas
packages/fcl-db/examples/demomacros.pp
packages/fcl-db/examples/demotypesafeaccess.pp
packages/fcl-db/examples/logsqldemo.pas
packages/fcl-db/examples/parsesql.pas
packages/fcl-db/examples/showcsv.pp
packages/fcl-db/examples/sqlparser.pp
packages/fcl-db/examples/sqlshell.pas
packages/fcl-db/examples/tsamytable.pp
packages/fcl-db/examples/loadlibdemo.pp
packages/fcl-web/examples/httpapp/testhttp.pp
packages/fcl-web/examples/simpleserver/simpleserver.pas
packages/fcl-web/examples/httpserver/simplehttpserver.pas
packages/fcl-web/examples/httpclient/httppost.pp
packages/fcl-web/examples/httpclient/httpget.pas
packages/fcl-web/examples/restbridge/demorestbridge.pp
packages/fcl-web/examples/restbridge/cmdclient/cmdclient.pas
packages/fcl-json/examples/confdemo.pp
packages/fcl-json/examples/demoformat.pp
packages/fcl-json/examples/demortti.pp
packages/fcl-json/examples/ini2json.pp
packages/fcl-json/examples/j2y.pp
packages/fcl-json/examples/parsedemo.pp
packages/fcl-json/examples/simpledemo.pp
packages/fcl-passrc/examples/parsepp.pp
packages/fcl-passrc/examples/pasrewrite.pp
packages/fcl-passrc/examples/test_parser.pp
packages/fcl-xml/tests/xmlts.pp
packages/fcl-xml/tests/xpathts.pp
packages/fcl-xml/tests/testgen.pp
packages/fcl-base/examples/testini.pp
packages/fcl-base/examples/b64test.pp
packages/fcl-base/examples/testcgi.pp
packages/fcl-base/examples/sockcli.pp
packages/fcl-base/examples/testzip.pp
packages/fcl-base/examples/avltreetest.pp
packages/fcl-base/examples/testmime.pp
packages/fcl-base/examples/stringl.pp
LIST
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

python3 - "$cli" "$fpc" "$source_dir" "$work" "$verbose" "${#defines[@]}" "${defines[@]}" \
    "${programs[@]}" <<'EOF'
import collections, json, os, re, subprocess, sys

cli, fpc, source, work, verbose, ndef = sys.argv[1:7]
defines = sys.argv[7:7 + int(ndef)]
programs = [os.path.abspath(p) for p in sys.argv[7 + int(ndef):]]
verbose = verbose == "1"

# Units the compiler loads without a uses entry naming them.
IMPLICIT = {"SYSTEM", "OBJPAS", "FPINTRES", "SI_PRC", "SI_C", "SI_DLL", "SI_G", "MACPAS",
            "ISO7185", "EXTPAS", "HEAPTRC", "LINEINFO", "LNFODWRF", "CMEM", "SYSINIT",
            "UUCHAR", "FPCYLIX", "CPU"}
LOAD = re.compile(r"^\((\w+)\)\s+Load from (\w+) \((interface|implementation)\) unit (\w+)")
PPU_NAME = re.compile(r"^\((\w+)\)\s+PPU Name: (.+\.ppu)$")
PPU_SOURCE = re.compile(r"^\((\w+)\)\s+PPU Source: (\S+)")
PREFER = ["linux", "unix", "x86_64", "x86", "inc", "objpas", "src"]
OTHER_OS = re.compile(r"/(win|win32|win64|wince|os2|go32v2|msdos|amiga|morphos|aros|darwin|"
                      r"freebsd|netbsd|openbsd|beos|haiku|solaris|nativent|symbian|embedded|"
                      r"wii|gba|nds|macos|netware|netwlibc|emx|watcom|android|aix|i386|arm|"
                      r"aarch64|powerpc|powerpc64|sparc|mips|m68k|avr|jvm|i8086|wasm32|"
                      r"dragonfly|atari|palmos|msxdos|sinclairql|zxspectrum|riscv\w*)/", re.I)
files_by_name = {}


def source_files(root):
    """Pascal and include files below `root`, by lower-case name."""
    if root not in files_by_name:
        index = collections.defaultdict(list)
        for dirpath, _, names in os.walk(root):
            for n in names:
                index[n.lower()].append(os.path.join(dirpath, n))
        files_by_name[root] = index
    return files_by_name[root]


def score(path, includes, index):
    d = os.path.dirname(path)
    near = sum(1 for i in includes if any(os.path.dirname(f) == d for f in index.get(i, [])))
    parts = path.lower().split("/")
    prefer = max((len(PREFER) - PREFER.index(p) for p in parts if p in PREFER), default=0)
    return (near, 0 if OTHER_OS.search(path[len(source):]) else 1, prefer, -len(path))


def compile_program(program):
    out = os.path.join(work, "out-" + os.path.basename(program))
    os.makedirs(out, exist_ok=True)
    args = [fpc, "-vu", "-FU" + out, "-FE" + out] + ["-d" + d for d in defines] + [program]
    run = subprocess.run(args, cwd=os.path.dirname(program), capture_output=True, text=True,
                         errors="replace")
    edges, ppu, sources = set(), {}, collections.defaultdict(list)
    units, main = set(), None
    for line in run.stdout.splitlines():
        if m := LOAD.match(line):
            main = main or m[2].upper()  # the program loads the first unit: System
            edges.add((m[2].upper(), m[4].upper(), m[3]))
            units.update((m[2].upper(), m[4].upper()))
        elif m := PPU_NAME.match(line):
            ppu[m[1].upper()] = m[2]
        elif m := PPU_SOURCE.match(line):
            sources[m[1].upper()].append(m[2].lower())
    return run.returncode, units, edges, ppu, sources, main


def source_dirs(ppu, sources):
    """The directories of the installed units' sources, most specific first, and the
    directories of their include files."""
    unit_dirs, inc_dirs = [], []
    for unit, path in sorted(ppu.items()):
        package = os.path.basename(os.path.dirname(path))
        root = os.path.join(source, "rtl") if package == "rtl" else \
            os.path.join(source, "packages", package)
        if not sources[unit] or not os.path.isdir(root):
            continue
        index = source_files(root)
        main, includes = sources[unit][0], sources[unit][1:]
        candidates = index.get(main, [])
        if not candidates:
            continue
        best = max(candidates, key=lambda c: score(c, includes, index))
        unit_dirs.append((score(best, [], index), os.path.dirname(best)))
        for inc in includes:
            found = index.get(inc, [])
            if found:
                inc_dirs.append(os.path.dirname(
                    max(found, key=lambda f: (os.path.dirname(f) == os.path.dirname(best),)
                        + score(f, [], index)[1:])))
    ordered = []
    for _, d in sorted(unit_dirs, key=lambda x: x[0][1:3], reverse=True):
        if d not in ordered:
            ordered.append(d)
    return ordered, list(dict.fromkeys(inc_dirs))


def scan(program, search, include):
    args = [cli, "--compiler", "fpc", "--ignore", "", "--format", "json",
            "--search-path", ";".join(search), "--include-path", ";".join(include)]
    if defines:
        args += ["--defines", ";".join(defines)]
    run = subprocess.run(args + [program], capture_output=True, text=True, errors="replace")
    doc = json.loads(run.stdout)
    # The compiler names a unit (and a program) as its heading does, the tool by its file.
    declared = {u["key"].upper(): (u["name"] or u["key"]).upper() for u in doc["units"]}
    units, edges, names = set(), set(), {}
    for u in doc["units"]:
        name = declared[u["key"].upper()]
        units.add(name)
        names[name] = u
        for use in u["uses"]:
            if use["status"] == "unit" and use.get("key"):
                edges.add((name, declared.get(use["key"].upper(), use["key"].upper()),
                           "interface" if use["interface"] else "implementation"))
    exc = {}
    for line in doc["log"]:
        if m := re.match(r"EXC: File=(.*?), Msg=(.*)", line["text"]):
            key = os.path.splitext(os.path.basename(m[1]))[0].upper()
            exc[declared.get(key, key)] = m[2]
    project = next(u for u in doc["units"] if u["file"] == doc["project"] or
                   os.path.splitext(u["file"])[0] == os.path.splitext(doc["project"])[0])
    return units, edges, names, [n.upper() for n in doc["notFound"]], exc, \
        declared[project["key"].upper()]


def text_of(path):
    try:
        with open(path, encoding="latin-1") as f:
            return f.read()
    except OSError:
        return ""


def reason_unit(unit, side, tool_names, not_found, exc):
    if side == "compiler" and unit in IMPLICIT:
        return "implicit unit: loaded by the compiler without a uses entry"
    if side == "compiler" and unit in not_found:
        return "no source of it in the tool's search path"
    if side == "compiler":
        return "reached only through an edge the tool does not have"
    return "reached only through an edge the compiler does not have"


def reason_edge(edge, side, tool_names, not_found, exc, program_key):
    a, b, _ = edge
    if side == "compiler" and b in IMPLICIT:
        return "implicit unit: loaded by the compiler without a uses entry"
    if side == "compiler" and b in not_found:
        return "no source of " + b + " in the paths given (the tool lists it as not found)"
    if a not in tool_names:
        return "the tool has no source of " + a
    if a in exc:
        return "the tool stopped reading " + a + ": " + exc[a]
    text = text_of(tool_names[a]["file"])
    line = re.search(r"^.*\b" + re.escape(b) + r"\b.*$", text, re.I | re.M)
    if not line:
        if side == "compiler":
            return "not in " + a + "'s source: its uses entry is in an include file the tool did not read"
        return "?"
    if re.search(r"\{\$ifopt", line[0], re.I):
        return "{$IFOPT} is read as false; the installed build of " + a + " had the switch on"
    return ("a conditional branch taken otherwise than in the installed build of " + a
            if a != program_key else "a conditional branch of the program taken otherwise")


totals = collections.Counter()
reasons = collections.Counter()
unexplained = 0
for program in programs:
    key = os.path.splitext(os.path.basename(program))[0].upper()
    status, c_units, c_edges, ppu, sources, main = compile_program(program)
    if not c_units:
        print(f"== {program}: the compiler loaded nothing (exit {status}); skipped")
        continue
    search, include = source_dirs(ppu, sources)
    t_units, t_edges, names, not_found, exc, key = scan(program, search, include)
    # The program is one node on both sides (the compiler calls a program without a heading
    # "Program"), and its entries are one section.
    def norm(es, own):
        return {("<PROGRAM>" if a == own else a, b, "program" if a == own else s)
                for a, b, s in es}
    c_edges, t_edges = norm(c_edges, main), norm(t_edges, key)
    c_units = {"<PROGRAM>" if u == main else u for u in c_units}
    t_units = {"<PROGRAM>" if u == key else u for u in t_units}
    names["<PROGRAM>"] = names[key]
    # Units that only stand in for themselves: a unit the tool parsed is one it has.
    both_u, only_t_u, only_c_u = c_units & t_units, t_units - c_units, c_units - t_units
    both_e, only_t_e, only_c_e = c_edges & t_edges, t_edges - c_edges, c_edges - t_edges
    state = "" if status == 0 else f" (compiler exit {status})"
    print(f"== {os.path.relpath(program, source)}{state}: units {len(both_u)} both, "
          f"{len(only_t_u)} only tool, {len(only_c_u)} only compiler; edges {len(both_e)} "
          f"both, {len(only_t_e)} only tool, {len(only_c_e)} only compiler")
    totals.update(programs=1, units_both=len(both_u), units_tool=len(only_t_u),
                  units_compiler=len(only_c_u), edges_both=len(both_e),
                  edges_tool=len(only_t_e), edges_compiler=len(only_c_e))
    for side, units in (("tool", only_t_u), ("compiler", only_c_u)):
        for u in sorted(units):
            r = reason_unit(u, side, names, not_found, exc)
            reasons[f"unit only {side}: {r}"] += 1
            if verbose or r == "?":
                print(f"   unit only {side}: {u}: {r}")
    for side, edges in (("tool", only_t_e), ("compiler", only_c_e)):
        for e in sorted(edges):
            r = reason_edge(e, side, names, not_found, exc, "<PROGRAM>")
            unexplained += r == "?"
            reasons[f"edge only {side}: " + re.sub(r"\b[A-Z][A-Z0-9_]+\b", "X", r)] += 1
            if verbose or r == "?" or not r.startswith("implicit"):
                print(f"   edge only {side}: {e[0]} -> {e[1]} ({e[2]}): {r}")

print(f"\n{totals['programs']} programs; units: {totals['units_both']} both, "
      f"{totals['units_tool']} only tool, {totals['units_compiler']} only compiler; edges: "
      f"{totals['edges_both']} both, {totals['edges_tool']} only tool, "
      f"{totals['edges_compiler']} only compiler")
for r, n in reasons.most_common():
    print(f"{n:6d}  {r}")
sys.exit(1 if unexplained else 0)
EOF
