#include "analysis/RecompileReach.h"
#include "core/analysis/GraphText.h"

#include <gtest/gtest.h>

#include <random>

namespace {

using namespace ut;
using ut::testing::MakeGraph;

// Each unit's count by walking up from it: the units that use the recompiled ones from their
// interface join them, then the implementation users of any of them.
std::vector<int> WalkedReach(const UnitGraph& g) {
    std::vector<int> reach;
    for (int x = 0; x < g.Count(); ++x) {
        std::vector<bool> in(g.Count(), false), counted(g.Count(), false);
        in[x] = true;
        for (bool grew = true; grew;) {
            grew = false;
            for (int v = 0; v < g.Count(); ++v)
                for (const UseEdge& e : g.Node(v).Uses)
                    if (e.Interface && in[e.To] && !in[v])
                        in[v] = grew = true;
        }
        for (int v = 0; v < g.Count(); ++v)
            for (const UseEdge& e : g.Node(v).Uses)
                counted[v] = counted[v] || in[v] || in[e.To];
        reach.push_back(static_cast<int>(std::count(counted.begin(), counted.end(), true)) -
                        (counted[x] ? 1 : 0));
    }
    return reach;
}

std::string ReachText(const UnitGraph& g, ReachMethod method) {
    const std::vector<int> reach = RecompileReach(g, method);
    std::string s;
    for (int v = 0; v < g.Count(); ++v)
        s += (v ? " " : "") + g.Node(v).Key + "=" + std::to_string(reach[v]);
    return s;
}

TEST(RecompileReach, InterfaceUsersJoinImplementationUsersEnd) {
    const struct {
        const char* name;
        const char* graph;
        const char* reach;
    } cases[] = {
        {"interface users of interface users", "P: A; A: B; B: C; C", "A=1 B=2 C=3 P=0"},
        {"an implementation user joins, its users do not", "P: A; A: -B; B: C; C",
         "A=1 B=1 C=2 P=0"},
        {"a diamond counts the top once", "P: A B; A: D; B: D; D", "A=1 B=1 D=3 P=0"},
        {"an interface cycle shares its reach", "P: A; A: B; B: A -C; C: -B", "A=3 B=3 C=1 P=0"},
        {"a unit both ways counts once", "P: A -B; A: B; B", "A=1 B=2 P=0"},
    };
    for (const auto& c : cases)
        for (const ReachMethod method : {ReachMethod::Bitsets, ReachMethod::Chains})
            EXPECT_EQ(ReachText(MakeGraph(c.graph), method), c.reach) << c.name;
}

// Random graphs of up to 150 units (more than 64, so the bitsets take several rounds).
TEST(RecompileReach, BothMethodsCountWhatAWalkCounts) {
    std::mt19937 random(11);
    for (int round = 0; round < 40; ++round) {
        const int n = 2 + static_cast<int>(random() % 150);
        const int density = 1 + static_cast<int>(random() % 3);
        std::vector<ResultUnit> units(n);
        for (int i = 0; i < n; ++i) {
            units[i].Key = "U" + std::to_string(i);
            for (int k = 0; k < density; ++k)
                units[i].Uses.push_back(
                    {"U" + std::to_string(random() % n), random() % 3 != 0, 1, {}});
        }
        const UnitGraph g(std::move(units), "", false);
        const std::vector<int> walked = WalkedReach(g);
        EXPECT_EQ(RecompileReach(g, ReachMethod::Bitsets), walked) << "round " << round;
        EXPECT_EQ(RecompileReach(g, ReachMethod::Chains), walked) << "round " << round;
    }
}

} // namespace
