#!/usr/bin/env python3
"""Generates a Delphi-style project of N units for timing the project scan.

The project looks like one that grew over years: a program file that lists part of its
units with `in` clauses, an options file (.DOF) whose search path names the unit
directories and whose conditionals switch branches of the sources, units in the project
directory and in several subdirectories, include files, forms with their .dfm files,
sources in Windows-1252 with CR LF line ends, and the linker's map file with a code,
data and bss segment for the units.

The units stand in layers, as large projects are built: forms and the application on
top (the program file lists them), business rules in the middle, base utilities at the
bottom; every unit is used from the layer above it. Interface uses point to lower layers
only (no cycle through interfaces, as the compiler demands); implementation uses mostly
too, some sideways and some upward, which makes cycles. Some uses sit in conditional
branches, some name units the search path does not hold (the library's and third-party
units), some spell a name in another letter case, and a few file names are in lower
case. A few units have a stale second copy in a later directory of the search path, so
the first match must win.

The output depends only on the arguments (same --seed, same files).
"""

import argparse
import math
import os
import random
import sys

GENERATOR_VERSION = "2"

SUBDIR_NAMES = [
    "Core", "Data", "Forms", "Reports", "Utils", "Net", "Services", "Common",
    "Import", "Export", "Print", "Admin",
]
PREFIXES = [
    "Cust", "Order", "Inv", "Acct", "Rpt", "Net", "Db", "Ui", "Sys", "Cfg", "Stock",
    "Price", "Tax", "Ship", "User", "Audit", "Bank", "Ledger", "Sales", "Purch", "Hr",
    "Pay", "Doc", "Mail",
]
NOUNS = [
    "Item", "List", "Record", "Query", "Cache", "Filter", "Batch", "Entry", "Header",
    "Line", "Table", "Field", "Rule", "Queue", "Event", "Report", "Grid", "View", "Tree",
    "Lookup", "Import", "Export", "Summary", "Detail", "Archive", "Session", "Account",
    "Period", "Schedule", "Template",
]
SUFFIXES = [
    "", "Mgr", "Utils", "Intf", "Impl", "Types", "Consts", "Svc", "Dlg", "Frm", "Dm",
    "Helper", "Engine", "Base",
]
# Units of the compiler's library: the first five are ignored by default, the rest are
# not on the search path and so are reported as not found, each once.
LIBRARY_UNITS = [
    "Windows", "Messages", "SysUtils", "Classes", "Graphics", "Controls", "Forms",
    "Dialogs", "StdCtrls", "ExtCtrls", "ComCtrls", "Db", "DBTables", "Grids", "Menus",
    "ActnList", "Math", "Variants", "IniFiles", "Registry", "ShellAPI", "Printers",
]
THIRD_PARTY = ["QRCtrls", "QuickRpt", "RxCtrls", "RxGrids", "IdHTTP", "IdTCPClient",
               "VirtualTrees", "JvComponent", "TeeProcs", "Chart"]
WORDS = (
    "the value of record is checked against limit before posting to ledger and "
    "customer order item total amount rounded tax rate applied when period closed "
    "user may cancel batch import while queue holds pending entries for export"
).split()
# Windows-1252 letters that real comments carry (é, ü, ß, ö, £).
ACCENTED = ["caf\u00e9", "Gr\u00fc\u00dfe", "K\u00f6ln", "\u00a3 total"]


class Unit:
    __slots__ = ("index", "name", "dir", "file_name", "intf", "impl", "cond",
                 "has_form", "lib_uses", "stale_copy_dir", "lib_inc")

    def __init__(self, index, name):
        self.index = index
        self.name = name
        self.dir = ""            # relative to the project directory; "" for the project dir
        self.file_name = name    # without extension
        self.intf = []           # indices of project units used in the interface
        self.impl = []           # indices used in the implementation
        self.cond = []           # (symbol, negate, index of the unit used, name in the dead branch)
        self.has_form = False
        self.lib_uses = []
        self.stale_copy_dir = None
        self.lib_inc = False     # includes its directory's .inc (which defines BENCH_LIB)


def make_names(rng, n):
    names, used = [], set()
    for i in range(n):
        base = rng.choice(PREFIXES) + rng.choice(NOUNS) + rng.choice(SUFFIXES)
        name, k = base, 1
        while name.upper() in used:
            k += 1
            name = "%s%d" % (base, k)
        used.add(name.upper())
        names.append(name)
    return names


def spelled(rng, name):
    """The name as a careless writer spells it now and then: in another letter case."""
    r = rng.random()
    if r < 0.04:
        return name.upper()
    if r < 0.08:
        return name.lower()
    return name


def layer_count(n):
    return max(2, min(16, round(math.log2(max(n, 2)))))


def build_graph(rng, n, subdirs, project_share, sideways, upward):
    """Units in layers, as large projects are built: forms and the application on top,
    business rules in the middle, base utilities at the bottom. Interface uses point to
    lower layers only; implementation uses mostly too, some sideways and some upward,
    which closes the cycles. Layer 0 is what the program file lists."""
    units = [Unit(i, name) for i, name in enumerate(make_names(rng, n))]
    layers = layer_count(n)
    layer_of = [i * layers // n for i in range(n)]
    first = [0] * (layers + 1)
    for i in range(n - 1, -1, -1):
        first[layer_of[i]] = i
    first[layers] = n

    def pick(lo_layer, hi_layer):
        lo_layer, hi_layer = max(0, lo_layer), min(layers - 1, hi_layer)
        return rng.randint(first[lo_layer], first[hi_layer + 1] - 1)

    for u in units:
        if u.index == 0 or rng.random() < project_share:
            u.dir = ""
        else:
            u.dir = rng.choice(subdirs)
        if rng.random() < 0.03:
            u.file_name = u.name.lower()
        u.has_form = rng.random() < (0.5 if layer_of[u.index] == 0 else 0.1)
        u.lib_inc = bool(u.dir) and rng.random() < 0.5
    for i in range(first[1], n):
        # The edge that makes unit i reachable: from the layer above.
        k = layer_of[i]
        p = pick(k - 1, k - 1)
        (units[p].intf if rng.random() < 0.6 else units[p].impl).append(i)
    for u in units:
        i, k = u.index, layer_of[u.index]
        below = k + 1 < layers
        if below:
            for _ in range(rng.randint(0, 4)):
                u.intf.append(pick(k + 1, k + 3))
        for _ in range(rng.randint(0, 3)):
            r = rng.random()
            if r < 1 - sideways - upward and below:
                u.impl.append(pick(k + 1, layers - 1))
            elif r < 1 - upward:
                u.impl.append(pick(k, k))       # sideways
            else:
                u.impl.append(pick(0, k))       # upward: a cycle
        if rng.random() < 0.25 and below:
            symbol, negate = rng.choice([("USE_LOGGING", False), ("DELPHI5_UP", False),
                                         ("DEBUG_TRACE", False), ("BENCH_LIB", False),
                                         ("DEBUG_TRACE", True)])
            used = pick(k + 1, k + 3)
            dead = rng.choice(THIRD_PARTY) if rng.random() < 0.5 else units[
                rng.randint(0, n - 1)].name
            u.cond.append((symbol, negate, used, dead))
        u.lib_uses = rng.sample(LIBRARY_UNITS[:10], rng.randint(1, 6))
        if rng.random() < 0.05:
            u.lib_uses.append(rng.choice(THIRD_PARTY))
        # A name may stand once in a unit: in one section, in or out of a branch.
        seen = {i}
        for lst in (u.intf, u.impl):
            out = []
            for j in lst:
                if j not in seen:
                    seen.add(j)
                    out.append(j)
            lst[:] = out
        u.cond = [c for c in u.cond if c[2] not in seen and c[3] != units[i].name]
        rng.shuffle(u.intf)
        rng.shuffle(u.impl)
        if u.dir and rng.random() < 0.005:
            later = subdirs[subdirs.index(u.dir) + 1:]
            if later:
                u.stale_copy_dir = rng.choice(later)
    return units, [u.index for u in units if layer_of[u.index] == 0]


def is_active(u, symbol, negate):
    """Whether the branch is taken: USE_LOGGING comes from the options file, DELPHI5_UP from
    Bench.inc (for VER130), BENCH_LIB from the directory's include file."""
    defined = symbol in ("USE_LOGGING", "DELPHI5_UP") or (symbol == "BENCH_LIB" and u.lib_inc)
    return defined != negate


def uses_clause(rng, units, u, section):
    names = []
    if section == "interface":
        names += u.lib_uses
        names += [spelled(rng, units[j].name) for j in u.intf]
    else:
        names += [spelled(rng, units[j].name) for j in u.impl]
    if not names and not (section == "interface" and u.cond):
        return []
    lines = ["uses"]
    if section == "interface":
        for symbol, negate, used, dead in u.cond:
            # The unit the compiler sees stands in whichever branch the symbols take.
            taken, other = units[used].name, dead
            if not is_active(u, symbol, negate):
                taken, other = other, taken
            lines.append("  {$IF%sDEF %s}" % ("N" if negate else "", symbol))
            lines.append("  %s, // %s" % (taken, rng.choice(WORDS)))
            lines.append("  {$ELSE}")
            lines.append("  %s," % other)
            lines.append("  {$ENDIF}")
        if not names:
            names = ["SysUtils"]
    row = "  "
    for k, name in enumerate(names):
        piece = name + ("," if k + 1 < len(names) else ";")
        if len(row) + len(piece) > 78:
            lines.append(row.rstrip())
            row = "  "
        row += piece + " "
    lines.append(row.rstrip())
    return lines


def sentence(rng, lo=4, hi=14):
    words = [rng.choice(WORDS) for _ in range(rng.randint(lo, hi))]
    if rng.random() < 0.05:
        words.append(rng.choice(ACCENTED))
    return " ".join(words)


def routine_body(rng, name, k):
    out = []
    kind = rng.random()
    if kind < 0.3:
        out.append("{ %s }" % sentence(rng))
    elif kind < 0.4:
        out.append("(* %s" % sentence(rng))
        out.append("   %s *)" % sentence(rng))
    out.append("function T%s.Step%d(const AValue: string; ACount: Integer): Boolean;" % (name, k))
    out.append("var")
    out.append("  I, Total: Integer;")
    out.append("  S: string;")
    out.append("begin")
    out.append("  Result := False;")
    out.append("  Total := 0;")
    for _ in range(rng.randint(2, 9)):
        r = rng.random()
        if r < 0.25:
            out.append("  S := '%s' + AValue + 'it''s {not} a comment';" % sentence(rng, 2, 6))
        elif r < 0.5:
            out.append("  for I := 0 to ACount - 1 do")
            out.append("    Inc(Total, Length(AValue) * I + %d);" % rng.randint(1, 999))
        elif r < 0.7:
            out.append("  if Total > %d then  // %s" % (rng.randint(1, 9999), sentence(rng, 2, 6)))
            out.append("    Exit;")
        elif r < 0.85:
            out.append("  FItems.Add(Format('%s=%d', [S, Total]));")
        else:
            out.append("  { %s }" % sentence(rng))
            out.append("  Result := Total mod %d = 0;" % rng.randint(2, 97))
    out.append("end;")
    out.append("")
    return out


def unit_text(rng, units, u, subdir_inc):
    name = u.name
    routines = min(60, int(rng.expovariate(1 / 9.0)) + 2)
    lines = ["unit %s;" % name, ""]
    lines.append("{ %s" % sentence(rng))
    lines.append("  %s }" % sentence(rng))
    lines.append("")
    if u.dir:
        lines.append("{$I ..\\Bench.inc}")
        if u.lib_inc:
            inc = subdir_inc[u.dir]
            lines.append("{$I %s}" % (inc.upper() if rng.random() < 0.1 else inc))
    else:
        lines.append("{$I Bench.inc}")
    if rng.random() < 0.2:
        lines.append("{$DEFINE %s_LOCAL}" % name.upper())
    lines.append("")
    lines.append("interface")
    lines.append("")
    lines += uses_clause(rng, units, u, "interface")
    lines.append("")
    lines.append("type")
    base = "TForm" if u.has_form else "TObject"
    lines.append("  T%s = class(%s)" % (name, base))
    if u.has_form:
        lines.append("    btnOk: TButton;")
        lines.append("    grdItems: TStringGrid;")
    lines.append("  private")
    lines.append("    FItems: TStringList;")
    lines.append("  public")
    for k in range(routines):
        lines.append("    function Step%d(const AValue: string; ACount: Integer): Boolean;" % k)
    lines.append("  end;")
    lines.append("")
    lines.append("const")
    lines.append("  S%sCaption = '%s';" % (name, sentence(rng, 2, 5).replace("'", "''")))
    lines.append("")
    if u.has_form:
        lines.append("var")
        lines.append("  %s: T%s;" % (name[:1].lower() + name[1:], name))
        lines.append("")
    lines.append("implementation")
    lines.append("")
    lines += uses_clause(rng, units, u, "implementation")
    lines.append("")
    if u.has_form:
        lines.append("{$R *.DFM}")
        lines.append("")
    for k in range(routines):
        lines += routine_body(rng, name, k)
    lines.append("initialization")
    lines.append("  // %s" % sentence(rng))
    lines.append("end.")
    return lines


def dfm_text(rng, u):
    lines = ["object %s: T%s" % (u.name, u.name), "  Left = %d" % rng.randint(0, 400),
             "  Top = %d" % rng.randint(0, 300), "  Caption = '%s'" % sentence(rng, 1, 3)]
    for k in range(rng.randint(2, 12)):
        lines += ["  object Control%d: TEdit" % k, "    Left = %d" % (8 * k),
                  "    Top = %d" % (24 * k), "    Width = 121", "    TabOrder = %d" % k,
                  "  end"]
    lines.append("end")
    return lines


def write_text(path, lines):
    with open(path, "wb") as f:
        f.write(("\r\n".join(lines) + "\r\n").encode("cp1252"))


def project_text(rng, units, listed, logged):
    """The program file: `listed` by name (most with an `in` clause), `logged` in a branch."""
    lines = ["program Bench;", "", "{ The benchmark project: generated. }", "",
             "{$I Bench.inc}", "", "uses", "  Forms,"]
    for k, i in enumerate(listed):
        u = units[i]
        path = (u.dir + "\\" if u.dir else "") + u.file_name + ".pas"
        if rng.random() < 0.7 or i == 0:
            form = " {%s}" % u.name if u.has_form else ""
            entry = "%s in '%s'%s" % (u.name, path, form)
        else:
            entry = spelled(rng, u.name)
        lines.append("  %s%s" % (entry, ";" if k + 1 == len(listed) else ","))
        if k == len(listed) // 2:
            lines += ["  {$IFDEF USE_LOGGING}", "  %s," % units[logged].name, "  {$ENDIF}"]
    lines += ["", "{$R *.RES}", "", "begin", "  Application.Initialize;",
              "  Application.Run;", "end."]
    return lines


def program_uses(units, listed, logged):
    order = list(listed)
    order.insert(len(listed) // 2 + 1, logged)
    return order


def walk_depth(units, roots):
    """The depth the scan's depth-first walk reaches: the log's deepest indentation."""
    seen, deepest = set(), 0
    for root in roots:
        if root in seen:
            continue
        seen.add(root)
        stack = [(root, iter(unit_uses(units[root])))]
        while stack:
            deepest = max(deepest, len(stack))
            for j in stack[-1][1]:
                if j not in seen:
                    seen.add(j)
                    stack.append((j, iter(unit_uses(units[j]))))
                    break
            else:
                stack.pop()
    return deepest, len(seen)


def unit_uses(u):
    return [c[2] for c in u.cond] + u.intf + u.impl


def map_text(rng, units):
    code, data, bss = [], [], []
    modules = ["System", "SysInit"] + LIBRARY_UNITS[:6] + [u.name for u in units] + ["Bench"]
    for name in modules:
        code.append((name, rng.randint(0x40, 0xC000)))
        if rng.random() < 0.3:
            data.append((name, rng.randint(4, 0x400)))
        if rng.random() < 0.2:
            bss.append((name, rng.randint(4, 0x200)))
    def rows(seg, cls, sname, group, entries):
        out, addr = [], 0
        for name, length in entries:
            out.append(" %04X:%08X %08X C=%-8s S=%-8s G=%-8s M=%-8s ACBP=A9"
                       % (seg, addr, length, cls, sname, group, name))
            addr += length
        return out, addr
    code_rows, code_len = rows(1, "CODE", ".text", "(none)", code)
    data_rows, data_len = rows(2, "DATA", ".data", "DGROUP", data)
    bss_rows, bss_len = rows(2, "BSS", ".bss", "DGROUP", bss)
    lines = ["", " Start         Length     Name                   Class",
             " 0001:00000000 %08XH .text                   CODE" % code_len,
             " 0002:00000000 %08XH .data                   DATA" % data_len,
             " 0002:%08X %08XH .bss                    BSS" % (data_len, bss_len),
             "", "", "Detailed map of segments", ""]
    lines += code_rows + data_rows + bss_rows
    lines += ["", "", "  Address         Publics by Name", ""]
    for u in units[: min(len(units), 200)]:
        lines.append(" 0001:%08X       T%s.Step0" % (rng.randint(0, code_len), u.name))
    lines.append("")
    return lines


def generate(out, n, seed, nsubdirs, project_share, sideways, upward, stats=False):
    rng = random.Random(seed)
    subdirs = [SUBDIR_NAMES[k % len(SUBDIR_NAMES)] + ("" if k < len(SUBDIR_NAMES) else str(k))
               for k in range(nsubdirs)]
    units, top = build_graph(rng, n, subdirs, project_share, sideways, upward)
    os.makedirs(out, exist_ok=True)
    subdir_inc = {}
    for d in subdirs:
        os.makedirs(os.path.join(out, d), exist_ok=True)
        subdir_inc[d] = d + ".inc"
        write_text(os.path.join(out, d, subdir_inc[d]),
                   ["// Switches of the %s units." % d, "{$DEFINE BENCH_LIB}",
                    "{$IFDEF DEBUG_TRACE}", "  {$DEFINE TRACE_%s}" % d.upper(), "{$ENDIF}"])
    write_text(os.path.join(out, "Bench.inc"),
               ["// Switches shared by every unit.", "{$DEFINE BENCH_INC}",
                "{$IFDEF VER130}", "  {$DEFINE DELPHI5_UP}", "{$ENDIF}",
                "{$IFNDEF USE_LOGGING}", "  {$DEFINE QUIET}", "{$ENDIF}"])
    for u in units:
        text = unit_text(rng, units, u, subdir_inc)
        where = os.path.join(out, u.dir)
        write_text(os.path.join(where, u.file_name + ".pas"), text)
        if u.has_form:
            write_text(os.path.join(where, u.file_name + ".dfm"), dfm_text(rng, u))
        if u.stale_copy_dir:
            stale = ["unit %s;" % u.name, "", "{ An old copy: the search path finds the",
                     "  current one first. }", "", "interface", "", "uses StaleOnly;", "",
                     "implementation", "", "end."]
            write_text(os.path.join(out, u.stale_copy_dir, u.file_name + ".pas"), stale)
    others = [i for i in range(n) if i not in set(top)]
    extra = rng.sample(others, min(len(others), n // 100 + 1)) if others else []
    listed = sorted(set(top + extra[1:]))
    logged = extra[0] if extra else top[-1]
    write_text(os.path.join(out, "Bench.dpr"), project_text(rng, units, listed, logged))
    if stats:
        depth, reached = walk_depth(units, program_uses(units, listed, logged))
        print("%d units, %d layers, %d reached, walk depth %d, %d listed in the program"
              % (n, layer_count(n), reached, depth, len(listed)), file=sys.stderr)
    write_text(os.path.join(out, "Bench.dof"), [
        "[FileVersion]", "Version=5.0", "", "[Compiler]", "A=1", "", "[Linker]", "MapFile=3", "",
        "[Directories]", "OutputDir=", "UnitOutputDir=",
        "SearchPath=" + ";".join(subdirs), "Packages=Vcl50",
        "Conditionals=USE_LOGGING;RELEASE", "DebugSourceDirs=", "UsePackages=0"])
    write_text(os.path.join(out, "Bench.map"), map_text(rng, units))
    with open(os.path.join(out, "corpus.stamp"), "w") as f:
        f.write(stamp(n, seed, nsubdirs, project_share, sideways, upward) + "\n")


def stamp(n, seed, nsubdirs, project_share, sideways, upward):
    return "units=%d seed=%d subdirs=%d project_share=%g sideways=%g upward=%g version=%s" % (
        n, seed, nsubdirs, project_share, sideways, upward, GENERATOR_VERSION)


def main(argv):
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("--out", required=True, help="project directory to write")
    ap.add_argument("--units", type=int, default=10000, help="number of units (default 10000)")
    ap.add_argument("--seed", type=int, default=1, help="random seed (default 1)")
    ap.add_argument("--subdirs", type=int, default=8, help="unit directories (default 8)")
    ap.add_argument("--project-share", type=float, default=0.05,
                    help="share of units in the project directory (default 0.05)")
    ap.add_argument("--sideways", type=float, default=0.07,
                    help="share of implementation uses within the same layer (default 0.07)")
    ap.add_argument("--upward", type=float, default=0.03,
                    help="share of implementation uses to a higher layer, closing cycles; "
                         "more makes the depth-first walk deeper (default 0.03)")
    ap.add_argument("--stats", action="store_true",
                    help="print the layer count, the units reached and the walk depth")
    ap.add_argument("--print-stamp", action="store_true",
                    help="print the stamp these arguments give and write nothing")
    args = ap.parse_args(argv)
    if args.units < 1 or args.subdirs < 1:
        ap.error("--units and --subdirs must be at least 1")
    if min(args.sideways, args.upward) < 0 or args.sideways + args.upward > 1:
        ap.error("--sideways and --upward are shares that add up to at most 1")
    if args.print_stamp:
        print(stamp(args.units, args.seed, args.subdirs, args.project_share, args.sideways,
                    args.upward))
        return 0
    generate(args.out, args.units, args.seed, args.subdirs, args.project_share, args.sideways,
             args.upward, args.stats)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
