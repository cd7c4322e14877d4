#include "report/DotExport.h"
#include "analysis/Cycles.h"
#include "core/analysis/GraphText.h"
#include "scanner/Unit.h"

#include <gtest/gtest.h>

namespace {

using namespace ut;
using namespace ut::report;
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
    // The label is the unit's declared name; the key keeps its file's spelling.
    const auto unit = TProject::FromUnitList("/p/vcl.forms.lpk", "Vcl.Forms", {});
    const UnitGraph named({{"vcl.forms", "", {}, {}, unit.get()}}, "", false);
    EXPECT_EQ(ExportDot(named, FindCycles(named)),
              "digraph uses {\n  node [shape=box];\n  \"vcl.forms\" [label=\"Vcl.Forms\"];\n}\n");
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

} // namespace
