#pragma once
// The level of each unit in the graph of its components: 0 for a unit that uses no other
// parsed unit, otherwise one more than the highest level it uses. The units of a cycle share
// a level, so ordering by level puts every unit after what it uses, a cycle as one block.
#include "analysis/UnitGraph.h"

#include <vector>

namespace ut {

/// A level per node; linear in nodes and edges, without recursion.
std::vector<int> UnitLevels(const UnitGraph& graph);

/// The nodes by level, lowest first; within a level, a cycle's units together, then by key.
std::vector<int> LevelOrder(const UnitGraph& graph, const std::vector<int>& levels);

} // namespace ut
