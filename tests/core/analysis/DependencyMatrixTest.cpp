#include "analysis/DependencyMatrix.h"
#include "analysis/Cycles.h"
#include "analysis/Levels.h"
#include "analysis/Neighbourhood.h"
#include "core/analysis/GraphText.h"

#include <gtest/gtest.h>

#include <map>

namespace {

using namespace ut;
using ut::testing::MakeGraph;

// MakeGraph's graph with each unit's source in the folder `dirs` names (the project's own
// folder /p/ otherwise); P is the project.
UnitGraph Placed(const std::string& text, std::map<std::string, std::string> dirs) {
    const UnitGraph g = MakeGraph(text);
    std::vector<ResultUnit> units;
    for (const GraphNode& n : g.Nodes()) {
        const std::string dir = dirs.count(n.Key) ? dirs[n.Key] : "/p/";
        ResultUnit u{n.Key, dir + n.Key + ".pas", n.Size, {}, nullptr};
        for (const UseEdge& e : n.Uses)
            u.Uses.push_back({g.Node(e.To).Key, e.Interface, e.Line, {}});
        units.push_back(std::move(u));
    }
    return UnitGraph(std::move(units), "P", g.HasSizes());
}

// "Key=group" per node.
std::string GroupText(const UnitGraph& g, const UnitGrouping& grouping) {
    std::string s;
    for (int v = 0; v < g.Count(); ++v)
        s += (s.empty() ? "" : " ") + g.Node(v).Key + "=" + grouping.Names[grouping.GroupOf[v]];
    return s;
}

TEST(UnitGroups, FolderScopeAndPackageNameTheGroups) {
    const UnitGraph folders =
        Placed("P: A X Y; A; X; Y", {{"A", "/p/lib/core/"}, {"X", "/elsewhere/"}});
    EXPECT_EQ(GroupText(folders, GroupUnits(folders, GroupBy::Folder)),
              "A=lib/core P=. X=/elsewhere Y=.");
    const UnitGraph scoped = MakeGraph("P: System.Classes Vcl.Forms; System.Classes; Vcl.Forms");
    EXPECT_EQ(GroupText(scoped, GroupUnits(scoped, GroupBy::Scope)),
              "P=(no scope) System.Classes=System. Vcl.Forms=Vcl.");
    const UnitGraph packaged = MakeGraph("P: A B C; A; B; C");
    // A unit two packages contain goes to the first; keys compare without regard to case.
    const std::vector<PackageContents> packages{{"Pk1", "", {"a", "B"}}, {"Pk2", "", {"A", "C"}}};
    EXPECT_EQ(GroupText(packaged, GroupUnits(packaged, GroupBy::Package, packages)),
              "A=Pk1 B=Pk1 C=Pk2 P=(no package)");
    EXPECT_FALSE(GroupUnits(packaged, GroupBy::None).Grouped());
}

// A, B, C form a cycle across the folders lib and core; E and F one within core.
class Matrix : public ::testing::Test {
  protected:
    const UnitGraph G =
        Placed("P: A B E -X; A: B; B: -C; C: A; E: F; F: -E; X", {{"A", "/p/lib/"},
                                                                  {"B", "/p/lib/"},
                                                                  {"C", "/p/core/"},
                                                                  {"E", "/p/core/"},
                                                                  {"F", "/p/core/"},
                                                                  {"X", "/p/core/"}});
    const std::vector<int> Levels = UnitLevels(G);

    // Each line's name (a closed group as "[name]"), and each block as "first-last".
    static std::string Lines(const DependencyMatrix& m) {
        std::string s;
        for (int i = 0; i < m.LineCount(); ++i) {
            const MatrixLine& l = m.Line(i);
            s += (s.empty() ? "" : " ") + (l.Node >= 0 ? m.Graph().Node(l.Node).Key
                                                       : "[" + m.Grouping().Names[l.Group] + "]");
        }
        for (const MatrixBlock& b : m.Blocks())
            s += " |" + std::to_string(b.First) + "-" + std::to_string(b.Last) +
                 (b.Groups ? "g" : "");
        return s;
    }
};

TEST_F(Matrix, LinesInLevelOrderWithCyclesAsBlocks) {
    DependencyMatrix units(G, Levels);
    DependencyMatrix folders(G, Levels, GroupUnits(G, GroupBy::Folder));
    const int core = folders.Line(0).Group;
    const struct {
        const char* name;
        DependencyMatrix& matrix;
        std::function<void()> change;
        const char* lines;
    } cases[] = {
        {"units alone", units, [] {}, "A B C E F X P |0-2 |3-4"},
        {"closed folders: the folders' own cycle", folders, [] {}, "[core] [lib] [.] |0-1g"},
        {"one folder open: its cycle inside the folders'", folders,
         [&] { folders.SetExpanded(core, true); }, "C E F X [lib] [.] |0-4g |1-2"},
        {"a cycle split by folders is no block of its own", folders,
         [&] { folders.SetAllExpanded(true); }, "C E F X A B P |0-5g |1-2"},
    };
    for (const auto& c : cases) {
        c.change();
        EXPECT_EQ(Lines(c.matrix), c.lines) << c.name;
    }
}

TEST_F(Matrix, AClosedGroupsCellIsTheSumOfItsMembersCells) {
    DependencyMatrix closed(G, Levels, GroupUnits(G, GroupBy::Folder));
    DependencyMatrix open(G, Levels, GroupUnits(G, GroupBy::Folder));
    open.SetAllExpanded(true);
    for (const int from : closed.GroupOrder())
        for (const int to : closed.GroupOrder()) {
            MatrixCell sum;
            for (const int a : open.Members(from))
                for (const int b : open.Members(to)) {
                    const MatrixCell c = open.Cell(open.LineOfNode(a), open.LineOfNode(b));
                    sum.Interface += c.Interface;
                    sum.Implementation += c.Implementation;
                }
            const MatrixCell c =
                closed.Cell(closed.FirstLineOfGroup(from), closed.FirstLineOfGroup(to));
            EXPECT_EQ(c, sum) << closed.Grouping().Names[from] << " -> "
                              << closed.Grouping().Names[to];
        }
    // The sections told apart: P uses E in its interface and X in its implementation.
    EXPECT_EQ(closed.Cell(2, 0), (MatrixCell{1, 1}));
}

TEST_F(Matrix, EntriesBehindACellAndTheCellsInARange) {
    DependencyMatrix m(G, Levels, GroupUnits(G, GroupBy::Folder));
    std::string entries;
    for (const MatrixEntry& e : m.Entries(2, 1))
        entries += G.Node(e.From).Key + "->" + G.Node(e.Edge->To).Key + ":" +
                   std::to_string(e.Edge->Line) + " ";
    EXPECT_EQ(entries, "P->A:1 P->B:2 ");
    std::string cells;
    m.ForEachCell(1, 2, 0, 0, [&](int r, int c, MatrixCell cell) {
        cells += std::to_string(r) + "," + std::to_string(c) + "=" +
                 std::to_string(cell.Interface) + "/" + std::to_string(cell.Implementation) + " ";
    });
    EXPECT_EQ(cells, "1,0=0/1 2,0=1/1 ");
}

TEST(Neighbourhood, StepsOutBothWaysUpToTheLimit) {
    const UnitGraph g = MakeGraph("P: A Q; A: B; B: -C; C: A; Q: D; D");
    const CycleReport cycles = FindCycles(g);
    const struct {
        const char* name;
        int steps, limit;
        const char* nodes;
        int leftOut;
    } cases[] = {
        {"one step: its uses and its users", 1, 150, "A B C P", 0},
        {"two steps each way, never sideways", 2, 150, "A B C P", 0},
        {"the nearest kept", 1, 2, "A B", 2},
    };
    for (const auto& c : cases) {
        const Neighbourhood n = FindNeighbourhood(g, cycles, g.Find("A"), c.steps, c.limit);
        std::string nodes;
        for (const int v : n.Nodes)
            nodes += (nodes.empty() ? "" : " ") + g.Node(v).Key;
        EXPECT_EQ(nodes, c.nodes) << c.name;
        EXPECT_EQ(n.LeftOut, c.leftOut) << c.name;
    }
    std::string edges;
    for (const NeighbourEdge& e : FindNeighbourhood(g, cycles, g.Find("Q"), 2).Edges)
        edges += g.Node(e.From).Key + ">" + g.Node(e.To).Key + (e.Interface ? "" : "~") +
                 (e.OnCycle ? "!" : "") + " ";
    EXPECT_EQ(edges, "P>Q Q>D ");
    std::string cycle;
    for (const NeighbourEdge& e : FindNeighbourhood(g, cycles, g.Find("B"), 1).Edges)
        cycle += g.Node(e.From).Key + ">" + g.Node(e.To).Key + (e.Interface ? "" : "~") +
                 (e.OnCycle ? "!" : "") + " ";
    EXPECT_EQ(cycle, "A>B! B>C~! C>A! ");
}

} // namespace
