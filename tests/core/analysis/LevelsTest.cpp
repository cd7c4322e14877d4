#include "analysis/Levels.h"
#include "core/analysis/GraphText.h"

#include <gtest/gtest.h>

namespace {

using namespace ut;
using ut::testing::MakeGraph;

// "Key=level" per node in level order.
std::string LevelText(const UnitGraph& g) {
    const std::vector<int> levels = UnitLevels(g);
    std::string s;
    for (const int v : LevelOrder(g, levels))
        s += (s.empty() ? "" : " ") + g.Node(v).Key + "=" + std::to_string(levels[v]);
    return s;
}

TEST(Levels, OneAboveTheHighestUsedAndACycleAsOneBlock) {
    const struct {
        const char* name;
        const char* graph;
        const char* levels;
    } cases[] = {
        {"a chain", "P: A; A: B; B", "B=0 A=1 P=2"},
        {"the highest of two ways", "P: A B; A: B; B", "B=0 A=1 P=2"},
        {"implementation entries count too", "P: -A; A", "A=0 P=1"},
        {"a cycle shares a level and stays together", "P: C A; A: -C D; C: A; D",
         "D=0 A=1 C=1 P=2"},
        {"a unit that uses itself", "P: A; A: A", "A=0 P=1"},
        {"units of one level by key, a cycle by its first unit", "P: Z B Y M; B: Y; Y: B; M; Z",
         "B=0 Y=0 M=0 Z=0 P=1"},
        {"unreached units have levels too", "P; X: P", "P=0 X=1"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LevelText(MakeGraph(c.graph)), c.levels) << c.name;
}

TEST(Levels, AHundredThousandUnitChainWithoutADeepStack) {
    std::string text;
    for (int i = 0; i < 100000; ++i)
        text += "U" + std::to_string(i) + ": U" + std::to_string(i + 1) + "; ";
    text += "U100000";
    const UnitGraph g = MakeGraph(text, "U0");
    const std::vector<int> levels = UnitLevels(g);
    EXPECT_EQ(levels[g.Find("U0")], 100000);
    EXPECT_EQ(levels[g.Find("U100000")], 0);
}

} // namespace
