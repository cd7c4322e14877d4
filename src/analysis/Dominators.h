#pragma once
// Dominators of the uses graph rooted at the project, and what they give: the bytes that
// would leave the executable with a unit, because nothing else reaches them.
#include "analysis/UnitGraph.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace ut {

/// The immediate dominator of each node in the graph rooted at `root` (Cooper, Harvey and
/// Kennedy's iterative algorithm over reverse postorder): the root's is the root itself;
/// -1 for nodes the root does not reach.
std::vector<int> ImmediateDominators(const UnitGraph& graph, int root);

/// Per node: the sum of the sizes (unknown counts 0) of the nodes it dominates, itself
/// included; none for nodes the root does not reach.
std::vector<std::optional<std::int64_t>> ExclusiveSizes(const UnitGraph& graph,
                                                        const std::vector<int>& idom);

} // namespace ut
