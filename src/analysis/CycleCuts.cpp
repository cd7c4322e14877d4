#include "analysis/CycleCuts.h"

#include "analysis/FeedbackEdges.h"

#include <algorithm>

namespace ut {

std::vector<CutEntry> CheapestCut(const UnitGraph& graph, const UnitCycle& cycle,
                                  const EntryCosts& costs, bool interfaceOnly,
                                  const std::function<std::int64_t(const EntryCost&)>& weight,
                                  bool& exact) {
    auto local = [&](int node) {
        const auto it = std::lower_bound(cycle.Units.begin(), cycle.Units.end(), node);
        return it != cycle.Units.end() && *it == node ? static_cast<int>(it - cycle.Units.begin())
                                                      : -1;
    };
    std::vector<CutEntry> entries;
    std::vector<WeightedEdge> edges;
    for (const int from : cycle.Units)
        for (const UseEdge& e : graph.Node(from).Uses) {
            const int to = local(e.To);
            if (to < 0 || (interfaceOnly && !e.Interface))
                continue;
            const EntryCost& cost = costs.Of(from, e.To);
            entries.push_back({from, &e, cost});
            edges.push_back({local(from), to, std::max<std::int64_t>(0, weight(cost))});
        }
    const FeedbackSet set =
        MinimumFeedbackEdges(static_cast<int>(cycle.Units.size()), edges, ExactFeedbackLimit);
    exact = exact && set.Exact;
    std::vector<CutEntry> cut;
    cut.reserve(set.Edges.size());
    for (const int k : set.Edges)
        cut.push_back(std::move(entries[static_cast<size_t>(k)]));
    return cut;
}

CycleCuts CutCycle(const UnitGraph& graph, const UnitCycle& cycle, const EntryCosts& costs) {
    CycleCuts c;
    c.Cuts = CheapestCut(
        graph, cycle, costs, false, [](const EntryCost& cost) { return cost.References; }, c.Exact);
    if (cycle.Interface)
        c.InterfaceCuts = InterfaceCuts(graph, cycle, costs, c.Exact);
    return c;
}

std::vector<CycleCuts> CutCycles(const UnitGraph& graph, const CycleReport& cycles,
                                 const EntryCosts& costs) {
    std::vector<CycleCuts> all;
    all.reserve(cycles.Cycles.size());
    for (const UnitCycle& cycle : cycles.Cycles)
        all.push_back(CutCycle(graph, cycle, costs));
    return all;
}

} // namespace ut
