#include "analysis/ResultDiff.h"

#include "analysis/Cycles.h"

#include <algorithm>
#include <unordered_set>

namespace ut {

namespace {

// For each node of `from`: the node of the same key in `to`, or -1.
std::vector<int> Counterparts(const UnitGraph& from, const UnitGraph& to) {
    std::vector<int> map(from.Count());
    for (int v = 0; v < from.Count(); ++v)
        map[v] = to.Find(from.Node(v).Key);
    return map;
}

std::uint64_t EdgeKey(int from, const UseEdge& e) {
    return (static_cast<std::uint64_t>(from) << 32) | (static_cast<std::uint64_t>(e.To) << 1) |
           (e.Interface ? 1u : 0u);
}

// The uses entries of `a` that `b` lacks; `map` takes a's nodes to b's.
std::vector<DiffEdge> MissingEdges(const UnitGraph& a, const UnitGraph& b,
                                   const std::vector<int>& map) {
    std::unordered_set<std::uint64_t> inB;
    for (int v = 0; v < b.Count(); ++v)
        for (const UseEdge& e : b.Node(v).Uses)
            inB.insert(EdgeKey(v, e));
    std::vector<DiffEdge> missing;
    for (int v = 0; v < a.Count(); ++v)
        for (const UseEdge& e : a.Node(v).Uses) {
            const bool found = map[v] >= 0 && map[e.To] >= 0 &&
                               inB.count(EdgeKey(map[v], {map[e.To], e.Interface, 0, -1}));
            if (!found)
                missing.push_back({a.Node(v).Key, a.Node(e.To).Key, e.Interface});
        }
    return missing;
}

// The names of `a` that `b` lacks, compared without regard to case.
std::vector<std::string> MissingNames(const std::vector<std::string>& a,
                                      const std::vector<std::string>& b) {
    std::vector<std::string> missing;
    for (const std::string& name : a)
        if (IndexOfText(b, name) < 0)
            missing.push_back(name);
    return missing;
}

std::vector<std::string> Keys(const UnitGraph& g, const std::vector<int>& nodes) {
    std::vector<std::string> keys;
    for (const int v : nodes)
        keys.push_back(g.Node(v).Key);
    return keys;
}

} // namespace

bool ResultDiff::Empty() const {
    return UnitsAdded.empty() && UnitsRemoved.empty() && UsesAdded.empty() && UsesRemoved.empty() &&
           SizeChanges.empty() && NewCycles.empty() && GrownCycles.empty() &&
           NotFoundAdded.empty() && NotFoundRemoved.empty();
}

ResultDiff DiffResults(const UnitGraph& oldResult, const UnitGraph& newResult,
                       const std::vector<std::string>& oldNotFound,
                       const std::vector<std::string>& newNotFound) {
    ResultDiff d;
    d.NotFoundAdded = MissingNames(newNotFound, oldNotFound);
    d.NotFoundRemoved = MissingNames(oldNotFound, newNotFound);
    const std::vector<int> toOld = Counterparts(newResult, oldResult);
    const std::vector<int> toNew = Counterparts(oldResult, newResult);
    for (int v = 0; v < newResult.Count(); ++v) {
        const GraphNode& n = newResult.Node(v);
        if (toOld[v] < 0) {
            d.UnitsAdded.push_back(n.Key);
            continue;
        }
        const GraphNode& o = oldResult.Node(toOld[v]);
        if (o.Size && n.Size && *o.Size != *n.Size)
            d.SizeChanges.push_back({n.Key, *o.Size, *n.Size});
    }
    for (int v = 0; v < oldResult.Count(); ++v)
        if (toNew[v] < 0)
            d.UnitsRemoved.push_back(oldResult.Node(v).Key);
    d.UsesAdded = MissingEdges(newResult, oldResult, toOld);
    d.UsesRemoved = MissingEdges(oldResult, newResult, toNew);

    const CycleReport oldCycles = FindCycles(oldResult);
    const CycleReport newCycles = FindCycles(newResult);
    for (const UnitCycle& cycle : newCycles.Cycles) {
        std::vector<int> overlapped; // old cycles sharing a unit with this one, in key order
        for (const int v : cycle.Units)
            if (toOld[v] >= 0 && oldCycles.CycleOf[toOld[v]] >= 0)
                overlapped.push_back(oldCycles.CycleOf[toOld[v]]);
        std::sort(overlapped.begin(), overlapped.end());
        overlapped.erase(std::unique(overlapped.begin(), overlapped.end()), overlapped.end());
        DiffCycle change{Keys(newResult, cycle.Units), {}, cycle.Interface};
        if (overlapped.empty()) {
            d.NewCycles.push_back(std::move(change));
            continue;
        }
        // It grew unless one old cycle held every unit it holds.
        const UnitCycle& first = oldCycles.Cycles[overlapped.front()];
        const bool grew =
            overlapped.size() > 1 ||
            std::any_of(cycle.Units.begin(), cycle.Units.end(), [&](int v) {
                return toOld[v] < 0 ||
                       !std::binary_search(first.Units.begin(), first.Units.end(), toOld[v]);
            });
        if (!grew)
            continue;
        for (const int c : overlapped)
            change.Was.push_back(Keys(oldResult, oldCycles.Cycles[c].Units));
        d.GrownCycles.push_back(std::move(change));
    }
    return d;
}

} // namespace ut
