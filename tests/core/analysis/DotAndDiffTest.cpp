#include "analysis/DotExport.h"
#include "analysis/ResultDiff.h"
#include "core/analysis/GraphText.h"

#include <gtest/gtest.h>

namespace {

using namespace ut;
using ut::testing::MakeGraph;

TEST(DotExport, StylesSectionsCyclesAndCircularReferences) {
    // A and B form an interface cycle; B and C a legal one through C's implementation entry.
    const UnitGraph g = MakeGraph("P=7: A -D; A: B; B: A C; C: -B; D");
    const std::string dot = ExportDot(g, FindCycles(g));
    EXPECT_EQ(dot, "digraph uses {\n"
                   "  node [shape=box];\n"
                   "  \"A\" [label=\"A\", color=red, penwidth=2];\n"
                   "  \"B\" [label=\"B\", color=red, penwidth=2];\n"
                   "  \"C\" [label=\"C\", color=red];\n"
                   "  \"D\" [label=\"D\"];\n"
                   "  \"P\" [label=\"P\\n7 bytes\", peripheries=2];\n"
                   "  \"A\" -> \"B\" [style=bold, color=red];\n"
                   "  \"B\" -> \"A\" [style=bold, color=red];\n"
                   "  \"B\" -> \"C\" [color=red];\n"
                   "  \"C\" -> \"B\" [style=dashed, color=red];\n"
                   "  \"P\" -> \"A\";\n"
                   "  \"P\" -> \"D\" [style=dashed];\n"
                   "}\n");
}

TEST(DotExport, NamesAreQuotedWhateverTheyHold) {
    const UnitGraph g({{"My \"Unit\"", "", {}, {{"C:\\x", true, 1, {}}}}, {"C:\\x", "", {}, {}}},
                      "", false);
    DotOptions o;
    o.Text = [](const std::string& s) { return "<" + s + ">"; };
    const std::string dot = ExportDot(g, FindCycles(g), o);
    EXPECT_NE(dot.find("  \"<C:\\\\x>\" [label=\"<C:\\\\x>\"];\n"), std::string::npos) << dot;
    EXPECT_NE(dot.find("  \"<My \\\"Unit\\\">\" -> \"<C:\\\\x>\";\n"), std::string::npos) << dot;
}

TEST(DotExport, FocusDepthAndCyclesOnlyChooseTheUnits) {
    // P -> A -> F -> G -> H, P -> B -> F, P -> X; H and G use each other.
    const UnitGraph g = MakeGraph("P: A B X; A: F; B: F; F: G; G: H; H: -G; X; Lone: F");
    const struct {
        const char* name;
        const char* focus;
        int depth;
        bool cyclesOnly;
        const char* units;
    } cases[] = {
        {"everything, unreached units too", "", -1, false, "A B F G H Lone P X"},
        {"depth from the project", "", 1, false, "A B P X"},
        {"focus: the paths from the project through it and below", "F", -1, false, "A B F G H P"},
        {"focus with depth, up and down", "F", 1, false, "A B F G"},
        {"focus on the project", "P", 2, false, "A B F P X"},
        {"cycles only", "", -1, true, "G H"},
        {"cycles only within the focus's depth", "F", 1, true, "G"},
    };
    for (const auto& c : cases) {
        DotOptions o;
        o.Focus = *c.focus ? g.Find(c.focus) : -1;
        o.Depth = c.depth;
        o.CyclesOnly = c.cyclesOnly;
        const std::vector<bool> keep = DotSelection(g, FindCycles(g), o);
        std::string units;
        for (int v = 0; v < g.Count(); ++v)
            if (keep[v])
                units += (units.empty() ? "" : " ") + g.Node(v).Key;
        EXPECT_EQ(units, c.units) << c.name;
    }
}

std::string DiffText(const ResultDiff& d) {
    std::string s;
    auto list = [&](const char* title, const std::vector<std::string>& names) {
        for (const std::string& n : names)
            s += std::string(title) + n + "; ";
    };
    list("+", d.UnitsAdded);
    list("-", d.UnitsRemoved);
    for (const DiffEdge& e : d.UsesAdded)
        s += "+" + e.From + (e.Interface ? ">" : "~>") + e.To + "; ";
    for (const DiffEdge& e : d.UsesRemoved)
        s += "-" + e.From + (e.Interface ? ">" : "~>") + e.To + "; ";
    for (const DiffSize& z : d.SizeChanges)
        s += z.Unit + " " + std::to_string(z.Old) + ">" + std::to_string(z.New) + "; ";
    auto cycles = [&](const char* title, const std::vector<DiffCycle>& list) {
        for (const DiffCycle& c : list) {
            s += title;
            for (const std::string& u : c.Units)
                s += " " + u;
            if (!c.Was.empty())
                s += " was";
            for (const std::vector<std::string>& old : c.Was) {
                s += " [";
                for (size_t i = 0; i < old.size(); ++i)
                    s += (i ? " " : "") + old[i];
                s += "]";
            }
            s += c.Interface ? " (interface); " : "; ";
        }
    };
    cycles("new", d.NewCycles);
    cycles("grown", d.GrownCycles);
    return s;
}

TEST(ResultDiff, UnitsUsesSizesAndCycles) {
    const struct {
        const char* name;
        const char* oldGraph;
        const char* newGraph;
        const char* diff;
    } cases[] = {
        {"nothing changed, keys in another case", "P=1: A; A=2", "p=1: a; a=2", ""},
        {"a unit and its entry added, another removed", "P: A Old; A; Old", "P: A; A: -N; N",
         "+N; -Old; +A~>N; -P>Old; "},
        {"an entry moved to the implementation list", "P: A; A: B; B", "P: A; A: -B; B",
         "+A~>B; -A>B; "},
        {"sizes known on both sides", "P=1: A B; A=2; B", "P=1: A B; A=5; B=9", "A 2>5; "},
        {"a new cycle", "P: A; A: B; B", "P: A; A: B; B: A", "+B>A; new A B (interface); "},
        {"a cycle that grew", "P: A; A: B; B: -A; C", "P: A; A: B; B: -A C; C: A",
         "+B>C; +C>A; grown A B C was [A B] (interface); "},
        {"two cycles merged into one grew", "P: A C; A: B; B: -A; C: D; D: -C",
         "P: A C; A: B; B: -A C; C: D; D: -C A",
         "+B>C; +D>A; grown A B C D was [A B] [C D] (interface); "},
        {"a cycle that shrank is neither", "P: A; A: B; B: C; C: -A", "P: A; A: B; B: -A; C",
         "+B~>A; -B>C; -C~>A; "},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DiffText(DiffResults(MakeGraph(c.oldGraph), MakeGraph(c.newGraph))), c.diff)
            << c.name;
}

} // namespace
