#include "analysis/UnitGraph.h"

#include "scan/ProjectScan.h"
#include "support/Textutil.h"

#include <algorithm>

namespace ut {

UnitGraph::UnitGraph(std::vector<ResultUnit> units, std::string_view rootKey, bool hasSizes)
    : FHasSizes(hasSizes) {
    std::stable_sort(units.begin(), units.end(), [](const ResultUnit& a, const ResultUnit& b) {
        return AnsiCompareText(a.Key, b.Key) < 0;
    });
    FNodes.reserve(units.size());
    std::vector<int> nodeOf(units.size(), -1);
    for (size_t i = 0; i < units.size(); ++i) {
        ResultUnit& u = units[i];
        // A key met twice (possible in a hand-made result) keeps its first unit.
        if (!FByKey.emplace(UpperFoldText(u.Key), Count()).second)
            continue;
        nodeOf[i] = Count();
        if (u.Unit)
            FByUnit.emplace(u.Unit, Count());
        FNodes.push_back({std::move(u.Key), std::move(u.FileName), u.Size, {}, u.Unit});
    }
    std::vector<int> lastUser(FNodes.size(), -1); // the last node given an edge to each node
    for (size_t i = 0; i < units.size(); ++i) {
        const int from = nodeOf[i];
        if (from < 0)
            continue;
        std::vector<UseEdge>& edges = FNodes[from].Uses;
        for (ResultUse& use : units[i].Uses) {
            const int to = Find(use.Target);
            if (to < 0 || lastUser[to] == from)
                continue;
            lastUser[to] = from;
            edges.push_back({to, use.Interface, use.Line, std::move(use.File)});
        }
    }
    FRoot = rootKey.empty() ? -1 : Find(rootKey);
}

int UnitGraph::Find(std::string_view key) const {
    const auto it = FByKey.find(UpperFoldText(key));
    return it == FByKey.end() ? -1 : it->second;
}

int UnitGraph::NodeOf(const TUnit* unit) const {
    const auto it = FByUnit.find(unit);
    return it == FByUnit.end() ? -1 : it->second;
}

UnitGraph BuildUnitGraph(const ProjectScan& scan) {
    std::vector<ResultUnit> units;
    units.reserve(static_cast<size_t>(scan.FUnits.Count()));
    std::string rootKey;
    for (int i = 0; i < scan.FUnits.Count(); ++i) {
        const TUnit& u = *scan.FUnits.Objects(i);
        ResultUnit r{scan.FUnits[i], u.FileName, std::nullopt, {}, &u};
        int at = 0;
        if (scan.FUnitSizes.Find(scan.FUnits[i], at) || scan.FUnitSizes.Find(u.UnitName, at))
            r.Size = scan.FUnitSizes.Objects(at);
        for (int k = 0; k < u.Uses.Count(); ++k) {
            int index = 0;
            if (scan.IsIgnored(u.Uses[k]) || !scan.FUnits.Find(u.Uses[k], index))
                continue;
            const TUseSite& site = u.UseSites[static_cast<size_t>(k)];
            r.Uses.push_back({scan.FUnits[index], u.Uses.Objects(k) != 0, site.Line, site.File});
        }
        if (&u == scan.FProject)
            rootKey = r.Key;
        units.push_back(std::move(r));
    }
    return UnitGraph(std::move(units), rootKey, scan.FUnitSizes.Count() > 0);
}

namespace {

Adjacency Rows(const UnitGraph& graph, bool interfaceOnly, bool reverse) {
    Adjacency a;
    const int n = graph.Count();
    a.Offsets.assign(n + 1, 0);
    auto rowOf = [&](int from, const UseEdge& e) { return reverse ? e.To : from; };
    for (int i = 0; i < n; ++i)
        for (const UseEdge& e : graph.Node(i).Uses)
            if (!interfaceOnly || e.Interface)
                ++a.Offsets[rowOf(i, e) + 1];
    for (int i = 0; i < n; ++i)
        a.Offsets[i + 1] += a.Offsets[i];
    a.Targets.resize(a.Offsets.back());
    std::vector<int> fill(a.Offsets.begin(), a.Offsets.end() - 1);
    for (int i = 0; i < n; ++i)
        for (const UseEdge& e : graph.Node(i).Uses)
            if (!interfaceOnly || e.Interface)
                a.Targets[fill[rowOf(i, e)]++] = reverse ? i : e.To;
    return a;
}

} // namespace

Adjacency ForwardEdges(const UnitGraph& graph, bool interfaceOnly) {
    return Rows(graph, interfaceOnly, false);
}

Adjacency ReverseEdges(const UnitGraph& graph) {
    return Rows(graph, false, true);
}

} // namespace ut
