#pragma once
// Why a unit is in the program: the shortest chains of uses entries from the project to it.
#include "analysis/UnitGraph.h"

#include <string>
#include <vector>

namespace ut {

/// One uses entry on a path: `Edge` of node `From`.
struct WhyStep {
    int From = -1;
    const UseEdge* Edge = nullptr;
};

struct WhyPaths {
    /// Every shortest path from the project to the unit, up to the limit, in the order of
    /// the uses lists from the project down. Empty when the project does not reach the unit;
    /// one empty path when the unit is the project.
    std::vector<std::vector<WhyStep>> Paths;
    /// How many shortest paths there are, counted up to the limit plus one.
    int Count = 0;
    bool Truncated() const { return Count > static_cast<int>(Paths.size()); }
};

/// Breadth first from the project; linear in the graph's size plus the paths returned.
WhyPaths FindWhyPaths(const UnitGraph& graph, int target, int limit = 10);

/// "A -> B  (interface, file:line)"
std::string FormatWhyStep(const UnitGraph& graph, const WhyStep& step);

} // namespace ut
