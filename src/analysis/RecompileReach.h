#pragma once
// What a change to a unit's interface costs: the other units the compiler recompiles. Those
// are the units that use it from their interface, directly or through others that do (each
// unit that uses one of them from its interface joins them), and every unit that uses one of
// those from its implementation.
#include "analysis/UnitGraph.h"

#include <vector>

namespace ut {

/// How the counts are taken; both give the same counts.
enum class ReachMethod {
    Auto,    ///< the cheaper of the two for the graph
    Bitsets, ///< 256 recompiled units at a time pushed down the interface entries: O(n(n+m)/64)
    Chains,  ///< counts along chains of interface entries: O(w(n+m)) for w chains, plus
             ///< bitsets for the units with implementation entries
};

/// Per node: the number of other units recompiled when its interface changes.
std::vector<int> RecompileReach(const UnitGraph& graph, ReachMethod method = ReachMethod::Auto);

} // namespace ut
