#include "analysis/CycleCuts.h"
#include "analysis/Cycles.h"
#include "analysis/DependencyAnalysis.h"
#include "analysis/Dominators.h"
#include "analysis/WhyPath.h"
#include "core/analysis/GraphText.h"

#include <gtest/gtest.h>

namespace {

using namespace ut;
using ut::testing::MakeGraph;

// "[A B] interface: A->B i, B->A m | [C]"
std::string Describe(const UnitGraph& g, const CycleReport& r) {
    std::string s;
    for (const UnitCycle& c : r.Cycles) {
        s += s.empty() ? "[" : " | [";
        for (size_t i = 0; i < c.Units.size(); ++i)
            s += (i ? " " : "") + g.Node(c.Units[i]).Key;
        s += c.Interface ? "] interface:" : "]:";
        for (size_t i = 0; i < c.Edges.size(); ++i)
            s += (i ? ", " : " ") + g.Node(c.Edges[i].From).Key + "->" + g.Node(c.Edges[i].To).Key +
                 (c.Edges[i].Interface ? " i" : " m");
    }
    return s;
}

TEST(Cycles, ComponentsAndTheirInterfaceCycles) {
    const struct {
        const char* name;
        const char* graph;
        const char* cycles;
    } cases[] = {
        {"no cycle in a diamond", "P: A B; A: D; B: D; D", ""},
        {"two interlocking cycles are one component", "P: A; A: B; B: -A C; C: -B D; D",
         "[A B C]: A->B i, B->A m, B->C i, C->B m"},
        {"an interface cycle hidden among implementation entries",
         "P: A; A: -B -C; B: -A; C: D -A; D: C",
         "[A B C D] interface: A->B m, A->C m, B->A m, C->D i, C->A m, D->C i"},
        {"every cycle broken by one implementation entry is legal", "P: A; A: B; B: C -A; C: -A",
         "[A B C]: A->B i, B->C i, B->A m, C->A m"},
        {"a unit using itself", "P: A B; A: -A; B: B", "[A]: A->A m | [B] interface: B->B i"},
        {"cycles in the order of their first key", "P: Z A; Z: -Y; Y: Z; A: -B; B: A",
         "[A B]: A->B m, B->A i | [Y Z]: Y->Z i, Z->Y m"},
        {"a name used twice keeps its first entry", "P: A; A: B -B; B: -A",
         "[A B]: A->B i, B->A m"},
    };
    for (const auto& c : cases) {
        const UnitGraph g = MakeGraph(c.graph);
        EXPECT_EQ(Describe(g, FindCycles(g)), c.cycles) << c.name;
    }
}

// "P=15 A=14 X=-": the exclusive size of each node in key order, '-' when none.
std::string ExclusiveText(const UnitGraph& g) {
    const auto sizes = ExclusiveSizes(g, ImmediateDominators(g, g.Root()));
    std::string s;
    for (int v = 0; v < g.Count(); ++v)
        s += (v ? " " : "") + g.Node(v).Key + "=" +
             (sizes[v] ? std::to_string(*sizes[v]) : std::string("-"));
    return s;
}

TEST(Dominators, ExclusiveSizeIsWhatOnlyTheUnitReaches) {
    const struct {
        const char* name;
        const char* graph;
        const char* sizes;
    } cases[] = {
        {"a diamond: the join belongs to neither side",
         "P=1: A B; A=10: D; B=20: D; D=100: E; E=1000", "A=10 B=20 D=1100 E=1000 P=1131"},
        {"a unit reached only through a cycle", "P=1: A; A=2: B; B=4: -A C; C=8",
         "A=14 B=12 C=8 P=15"},
        {"a second way in past the cycle", "P=1: A C; A=2: B; B=4: -A C; C=8", "A=6 B=4 C=8 P=15"},
        {"unknown sizes count nothing; unreached units have none", "P=1: A; A: B; B=4; X=5",
         "A=4 B=4 P=5 X=-"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ExclusiveText(MakeGraph(c.graph)), c.sizes) << c.name;
}

// Each path as "A>B>C", paths joined by " | ".
std::string PathsText(const UnitGraph& g, const WhyPaths& w) {
    std::string s;
    for (const auto& path : w.Paths) {
        s += s.empty() ? "" : " | ";
        s += g.Node(g.Root()).Key;
        for (const WhyStep& step : path)
            s += ">" + g.Node(step.Edge->To).Key;
    }
    return s;
}

TEST(WhyPath, EveryShortestPathInUsesOrder) {
    const char* diamond = "P: B A; A: D; B: D; D: E; E: D; X";
    const struct {
        const char* name;
        const char* graph;
        const char* target;
        int limit;
        const char* paths;
        bool truncated;
    } cases[] = {
        {"both sides of a diamond, in the project's order", diamond, "E", 10, "P>B>D>E | P>A>D>E",
         false},
        {"a longer way round is not shortest", "P: A C; A: B; B: C; C", "C", 10, "P>C", false},
        {"through a cycle", "P: A; A: B; B: -A C; C", "C", 10, "P>A>B>C", false},
        {"the project itself", diamond, "P", 10, "P", false},
        {"a unit the project does not reach", diamond, "X", 10, "", false},
        {"cut at the limit", "P: A B C; A: T; B: T; C: T; T", "T", 2, "P>A>T | P>B>T", true},
        {"exactly the limit", "P: A B; A: T; B: T; T", "T", 2, "P>A>T | P>B>T", false},
    };
    // The default limit: ten of eleven shortest paths.
    const UnitGraph fan = MakeGraph("P: A B C D E F G H I J K; A: T; B: T; C: T; D: T; E: T; "
                                    "F: T; G: T; H: T; I: T; J: T; K: T; T");
    const WhyPaths eleven = FindWhyPaths(fan, fan.Find("T"));
    EXPECT_EQ(eleven.Paths.size(), 10u);
    EXPECT_EQ(eleven.Count, 11);
    EXPECT_TRUE(eleven.Truncated());
    for (const auto& c : cases) {
        const UnitGraph g = MakeGraph(c.graph);
        const WhyPaths w = FindWhyPaths(g, g.Find(c.target), c.limit);
        EXPECT_EQ(PathsText(g, w), c.paths) << c.name;
        EXPECT_EQ(w.Truncated(), c.truncated) << c.name;
    }
}

TEST(WhyPath, StepNamesSectionFileAndLine) {
    std::vector<ResultUnit> units = {
        {"P", "/src/P.dpr", {}, {{"a", true, 3, {}}}},
        {"A", "/src/A.pas", {}, {{"B", false, 12, "/src/inc/uses.inc"}}},
        {"B", "/src/B.pas", {}, {}},
        {"b", "/other/b.pas", {}, {}}}; // a key met twice keeps its first unit
    const UnitGraph g(std::move(units), "p", false);
    EXPECT_EQ(g.Count(), 3);
    EXPECT_EQ(g.Node(g.Find("b")).FileName, "/src/B.pas");
    const WhyPaths w = FindWhyPaths(g, g.Find("b"));
    ASSERT_EQ(w.Paths.size(), 1u);
    EXPECT_EQ(FormatWhyStep(g, w.Paths[0][0]), "P -> A  (interface, /src/P.dpr:3)");
    EXPECT_EQ(FormatWhyStep(g, w.Paths[0][1]), "A -> B  (implementation, /src/inc/uses.inc:12)");
}

// A chain P -> U1 -> ... -> U99999 whose last 10,000 units form a cycle (the last uses
// U90000 in its interface). Guards against native recursion in every walk, and against
// quadratic time in recompile reach and cuts.
TEST(LargeGraphs, LongChainWithALongCycleNeedsNoDeepStack) {
    const int n = 100000;
    std::vector<ResultUnit> units(n);
    auto key = [](int i) { return i == 0 ? std::string("P") : "U" + std::to_string(i); };
    for (int i = 0; i < n; ++i) {
        units[i].Key = key(i);
        units[i].Size = 1;
        if (i + 1 < n)
            units[i].Uses.push_back({key(i + 1), true, 1, {}});
    }
    units[n - 1].Uses.push_back({key(n - 10000), true, 2, {}});
    const DependencyAnalysis a{UnitGraph(std::move(units), "P", true)};
    const UnitGraph& g = a.Graph();

    ASSERT_EQ(a.Cycles().Cycles.size(), 1u);
    const UnitCycle& cycle = a.Cycles().Cycles[0];
    EXPECT_TRUE(cycle.Interface);
    EXPECT_EQ(cycle.Units.size(), 10000u);
    EXPECT_EQ(a.Cycles().CycleOf[g.Find("U89999")], -1);
    EXPECT_EQ(a.Cycles().CycleOf[g.Find("U90000")], 0);
    EXPECT_EQ(a.ExclusiveSize(g.Find("U1")), n - 1);
    EXPECT_EQ(a.ExclusiveSize(g.Find("U99999")), 1);
    EXPECT_EQ(a.Recompile()[g.Find("U90000")], n - 1);
    EXPECT_EQ(a.Recompile()[g.Find("U89999")], 89999);
    EXPECT_EQ(a.Recompile()[g.Find("U1")], 1);
    const CycleCuts cuts = CutCycle(g, cycle, EntryCosts());
    ASSERT_EQ(cuts.Cuts.size(), 1u);
    EXPECT_EQ(g.Node(cuts.Cuts[0].From).Key, "U99999");
    EXPECT_EQ(cuts.InterfaceCuts[0].Edge, cuts.Cuts[0].Edge);

    const WhyPaths w = a.Why(g.Find("U99999"));
    ASSERT_EQ(w.Paths.size(), 1u);
    EXPECT_EQ(w.Paths[0].size(), static_cast<size_t>(n - 1));
    EXPECT_EQ(g.Node(w.Paths[0].back().From).Key, "U99998");
}

} // namespace
