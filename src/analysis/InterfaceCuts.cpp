// The interface entries to move to the implementation so that a circular unit reference
// becomes a legal cycle: a feedback edge set of the interface entries alone, weighted so that
// any number of movable entries costs less than one entry that needs code changes, and among
// those the entries tied by fewer references cost less.
#include "analysis/CycleCuts.h"

#include <algorithm>

namespace ut {

std::vector<CutEntry> InterfaceCuts(const UnitGraph& graph, const UnitCycle& cycle,
                                    const EntryCosts& costs, bool& exact) {
    std::int64_t entries = 0;
    for (const int from : cycle.Units)
        entries += static_cast<std::int64_t>(graph.Node(from).Uses.size());
    const std::int64_t movableTotal = entries + 1;
    return CheapestCut(
        graph, cycle, costs, true,
        [&](const EntryCost& cost) -> std::int64_t {
            if (cost.Movable)
                return 1;
            const std::int64_t references = std::clamp(cost.References, 0, 1 << 20);
            return movableTotal * (1 + references);
        },
        exact);
}

} // namespace ut
