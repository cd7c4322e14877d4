#pragma once
// Why a unit is in the program: the shortest chains of uses entries from the project to it.
#include "analysis/UnitGraph.h"

#include <optional>
#include <string>
#include <string_view>
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

/// The first entry of a node's uses list that names `name` (any letter case), whether or not
/// it leads to a unit.
struct NamedEntry {
    int From = -1;
    std::string Name; ///< as written
    bool Interface = false;
    int Line = 0;
    std::string File; ///< the source or include file that holds it
};
std::optional<NamedEntry> FindNamedEntry(const UnitGraph& graph, int node, std::string_view name);

/// Every shortest path from the project to the units nearest to it whose uses lists name
/// `name` (a name no unit answers to); each path ends at such a unit, whose entry is the
/// last step (FindNamedEntry).
WhyPaths FindWhyPathsToName(const UnitGraph& graph, std::string_view name, int limit = 10);

/// "A -> Name  (interface, file:line)"
std::string FormatNamedEntry(const UnitGraph& graph, const NamedEntry& entry);

} // namespace ut
