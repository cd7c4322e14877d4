#include "analysis/CycleCuts.h"
#include "analysis/DependencyAnalysis.h"
#include "analysis/FeedbackEdges.h"
#include "core/analysis/GraphText.h"

#include <gtest/gtest.h>

#include <random>

namespace {

using namespace ut;
using ut::testing::MakeGraph;

// Costs written "A>B=5 B>A=2m": the references of an entry, 'm' when it is movable.
EntryCosts CostsOf(const UnitGraph& g, const std::string& text) {
    EntryCosts costs;
    std::istringstream in(text);
    for (std::string item; in >> item;) {
        const size_t arrow = item.find('>'), eq = item.find('=');
        EntryCost c;
        c.References = std::stoi(item.substr(eq + 1));
        c.Movable = item.back() == 'm';
        costs.Set(g.Find(item.substr(0, arrow)), g.Find(item.substr(arrow + 1, eq - arrow - 1)), c);
    }
    return costs;
}

std::string EntriesText(const UnitGraph& g, const std::vector<CutEntry>& cuts) {
    std::string s;
    for (const CutEntry& c : cuts)
        s += (s.empty() ? "" : " ") + g.Node(c.From).Key + ">" + g.Node(c.Edge->To).Key +
             (c.Cost.Movable ? "m" : "");
    return s;
}

// The graph with every entry in `cuts` dropped (or, with `move`, made an implementation one).
UnitGraph Without(const UnitGraph& g, const std::vector<CutEntry>& cuts, bool move) {
    std::vector<ResultUnit> units;
    for (int v = 0; v < g.Count(); ++v) {
        units.push_back({g.Node(v).Key, g.Node(v).FileName, {}, {}, nullptr});
        for (const UseEdge& e : g.Node(v).Uses) {
            const bool cut = std::any_of(cuts.begin(), cuts.end(),
                                         [&](const CutEntry& c) { return c.Edge == &e; });
            if (!cut || move)
                units.back().Uses.push_back({g.Node(e.To).Key, e.Interface && !cut, e.Line, {}});
        }
    }
    return UnitGraph(std::move(units), "", false);
}

// The cuts of every cycle as "cuts | interface cuts", cycles apart by " / "; checks that
// dropping all cuts leaves no cycle and moving all interface cuts leaves no interface cycle.
std::string CutsOf(const UnitGraph& g, const EntryCosts& costs, bool* exact = nullptr) {
    const CycleReport report = FindCycles(g);
    std::vector<CutEntry> all, moved;
    std::string s;
    for (const CycleCuts& c : CutCycles(g, report, costs)) {
        s += (s.empty() ? "" : " / ") + EntriesText(g, c.Cuts) + " | " +
             EntriesText(g, c.InterfaceCuts);
        all.insert(all.end(), c.Cuts.begin(), c.Cuts.end());
        moved.insert(moved.end(), c.InterfaceCuts.begin(), c.InterfaceCuts.end());
        if (exact)
            *exact = c.Exact;
    }
    EXPECT_TRUE(FindCycles(Without(g, all, false)).Cycles.empty()) << s;
    for (const UnitCycle& c : FindCycles(Without(g, moved, true)).Cycles)
        EXPECT_FALSE(c.Interface) << s;
    return s;
}

TEST(CycleCuts, CheapestEntriesToCutAndToMove) {
    const struct {
        const char* name;
        const char* graph;
        const char* costs;
        const char* cuts;
    } cases[] = {
        {"two cycles sharing a unit", "P: A; A: B C; B: A; C: A", "A>B=5 B>A=1 A>C=1 C>A=3",
         "A>C B>A | A>C B>A"},
        {"the cheapest cut is not the fewest entries", "P: A; A: B C; B: C; C: A",
         "C>A=10 A>C=2 B>C=3", "A>B A>C | A>B A>C"},
        {"one move makes an interface cycle legal", "P: A; A: B; B: A -C; C: A", "B>A=4m",
         "A>B | B>Am"},
        {"an interface cycle that needs code changes", "P: A; A: B; B: A", "A>B=3 B>A=2",
         "B>A | B>A"},
        {"two movable moves before one that needs code changes", "P: A; A: B; B: C D; C: A; D: A",
         "B>C=1m B>D=1m", "A>B | B>Cm B>Dm"},
        {"an entry no reference ties is free to cut", "P: A; A: B; B: C; C: A", "B>C=0",
         "B>C | B>C"},
        {"a unit using itself", "P: A; A: A", "", "A>A | A>A"},
        {"a legal cycle has nothing to move", "P: A; A: -B; B: A", "B>A=2", "A>B | "},
        {"cycles apart are cut apart", "P: A C; A: B; B: A; C: D; D: -C", "B>A=2",
         "A>B | A>B / D>C | "},
    };
    for (const auto& c : cases) {
        const UnitGraph g = MakeGraph(c.graph);
        EXPECT_EQ(CutsOf(g, CostsOf(g, c.costs)), c.cuts) << c.name;
    }
}

TEST(CycleCuts, ExactUpToTwentyEntriesInAComponent) {
    // Five units each using the four others: one of each pair of entries goes. `extra` is
    // one more unit that A uses.
    auto five = [](const std::string& extra) {
        std::string text = "P: A; " + extra;
        for (const char* u : {"A", "B", "C", "D", "E"}) {
            text += std::string(u) + ":";
            for (const char* t : {"A", "B", "C", "D", "E"})
                if (std::string(t) != u)
                    text += std::string(" ") + t;
            text += std::string(u) == "A" && !extra.empty() ? " X; " : "; ";
        }
        return MakeGraph(text);
    };
    bool exact = false;
    const UnitGraph g = five("");
    EXPECT_EQ(CutsOf(g, CostsOf(g, "B>A=2"), &exact),
              "A>B C>A C>B D>A D>B D>C E>A E>B E>C E>D | A>B C>A C>B D>A D>B D>C E>A E>B E>C E>D");
    EXPECT_TRUE(exact);
    // 22 entries: the greedy order, here as good as the search.
    EXPECT_EQ(
        CutsOf(five("X: -A; "), EntryCosts(), &exact),
        "B>A C>A C>B D>A D>B D>C E>A E>B E>C E>D X>A | B>A C>A C>B D>A D>B D>C E>A E>B E>C E>D");
    EXPECT_FALSE(exact);
    // 21 entries: the greedy order alone cuts six, moving single units finds five, the least.
    EXPECT_EQ(CutsOf(MakeGraph("P: A; A: F B D G; B: C G; C: A B; D: F B; E: C D; F: B G A D; "
                               "G: A C E B D"),
                     EntryCosts()),
              "A>F A>G B>C B>G D>F | A>F A>G B>C B>G D>F");
}

// A ring of 10,000 units, every entry tied by five references but one: the greedy order and
// the put-back find that one without deep stacks or quadratic time.
TEST(CycleCuts, TenThousandUnitRingIsCutAtItsCheapestEntry) {
    const int n = 10000;
    std::vector<ResultUnit> units(n);
    for (int i = 0; i < n; ++i) {
        units[i].Key = "U" + std::to_string(i);
        units[i].Uses.push_back({"U" + std::to_string((i + 1) % n), false, 1, {}});
    }
    const UnitGraph g(std::move(units), "U0", false);
    EntryCosts costs;
    for (int i = 0; i < n; ++i)
        costs.Set(g.Find("U" + std::to_string(i)), g.Find("U" + std::to_string((i + 1) % n)),
                  {i == 4321 ? 1 : 5, {}, false});
    bool exact = true;
    EXPECT_EQ(CutsOf(g, costs, &exact), "U4321>U4322 | ");
    EXPECT_FALSE(exact);
}

// Random graphs: the search finds a set of least weight (against every subset), and the
// greedy set leaves no cycle while each of its edges is needed.
TEST(FeedbackEdges, SearchIsLeastAndGreedyIsMinimalOnRandomGraphs) {
    std::mt19937 random(7);
    auto acyclic = [](int n, const std::vector<WeightedEdge>& edges, unsigned drop) {
        std::vector<int> in(n, 0), ready;
        for (size_t k = 0; k < edges.size(); ++k)
            in[edges[k].To] += !(drop >> k & 1);
        for (int v = 0; v < n; ++v)
            if (in[v] == 0)
                ready.push_back(v);
        for (size_t i = 0; i < ready.size(); ++i)
            for (size_t k = 0; k < edges.size(); ++k)
                if (!(drop >> k & 1) && edges[k].From == ready[i] && --in[edges[k].To] == 0)
                    ready.push_back(edges[k].To);
        return static_cast<int>(ready.size()) == n;
    };
    for (int round = 0; round < 300; ++round) {
        const int n = 2 + static_cast<int>(random() % 5), m = 1 + static_cast<int>(random() % 11);
        std::vector<WeightedEdge> edges;
        for (int k = 0; k < m; ++k)
            edges.push_back({static_cast<int>(random() % n), static_cast<int>(random() % n),
                             static_cast<std::int64_t>(random() % 4)});
        std::pair<std::int64_t, int> least{1 << 30, 0};
        for (unsigned drop = 0; drop < (1u << m); ++drop)
            if (acyclic(n, edges, drop)) {
                std::pair<std::int64_t, int> cost{0, std::popcount(drop)};
                for (int k = 0; k < m; ++k)
                    cost.first += (drop >> k & 1) ? edges[k].Weight : 0;
                least = std::min(least, cost);
            }
        const FeedbackSet exact = MinimumFeedbackEdges(n, edges);
        std::pair<std::int64_t, int> found{0, static_cast<int>(exact.Edges.size())};
        for (const int k : exact.Edges)
            found.first += edges[k].Weight;
        EXPECT_EQ(found, least) << "round " << round;
        unsigned greedy = 0;
        for (const int k : GreedyFeedbackEdges(n, edges))
            greedy |= 1u << k;
        EXPECT_TRUE(acyclic(n, edges, greedy)) << "round " << round;
        for (int k = 0; k < m; ++k)
            if (greedy >> k & 1) {
                EXPECT_FALSE(acyclic(n, edges, greedy & ~(1u << k))) << "round " << round;
            }
    }
}

} // namespace
