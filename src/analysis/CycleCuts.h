#pragma once
// How to break each cycle: the uses entries to cut so that its units form no cycle, the
// cheapest by the references that tie them; for a circular unit reference also the interface
// entries to move to the implementation so that only legal cycles remain.
#include "analysis/Cycles.h"
#include "analysis/EntryCosts.h"

#include <functional>
#include <vector>

namespace ut {

struct CutEntry {
    int From = -1;
    const UseEdge* Edge = nullptr; ///< the entry, in the graph
    EntryCost Cost;
};

struct CycleCuts {
    /// Entries whose removal leaves the cycle's units without a cycle, of least total
    /// references (then fewest); by using unit, then in source order.
    std::vector<CutEntry> Cuts;
    /// For an interface cycle: the interface entries to move to the implementation so that no
    /// cycle of interface entries is left; the entries that need code changes tied by as few
    /// references as can be, then as few entries as can be. Empty for a legal cycle.
    std::vector<CutEntry> InterfaceCuts;
    /// Both sets were searched exactly (every strong component of at most 20 entries).
    bool Exact = true;
};

CycleCuts CutCycle(const UnitGraph& graph, const UnitCycle& cycle, const EntryCosts& costs);
/// The cuts of every cycle, in the order of `cycles`.
std::vector<CycleCuts> CutCycles(const UnitGraph& graph, const CycleReport& cycles,
                                 const EntryCosts& costs);

/// The entries among the cycle's units (only interface ones when `interfaceOnly`) that leave
/// no cycle among them, of least total `weight`; `exact` is cleared when the search was not.
std::vector<CutEntry> CheapestCut(const UnitGraph& graph, const UnitCycle& cycle,
                                  const EntryCosts& costs, bool interfaceOnly,
                                  const std::function<std::int64_t(const EntryCost&)>& weight,
                                  bool& exact);
/// The interface entries to move for an interface cycle (see CycleCuts::InterfaceCuts).
std::vector<CutEntry> InterfaceCuts(const UnitGraph& graph, const UnitCycle& cycle,
                                    const EntryCosts& costs, bool& exact);

} // namespace ut
