#include "analysis/UnitGraph.h"

#include "scan/ProjectScan.h"
#include "support/Textutil.h"

#include <algorithm>
#include <unordered_set>

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
        if (AddNode({std::move(u.Key), std::move(u.FileName), u.Size, {}, u.Unit}))
            nodeOf[i] = Count() - 1;
    }
    std::vector<int> lastUser(FNodes.size(), -1);
    for (size_t i = 0; i < units.size(); ++i) {
        const int from = nodeOf[i];
        if (from < 0)
            continue;
        for (ResultUse& use : units[i].Uses) {
            const int to = Find(use.Target);
            if (to >= 0)
                AddEdge(FNodes[from], from, {to, use.Interface, use.Line, IncludeFile(use.File)},
                        lastUser);
        }
    }
    FRoot = rootKey.empty() ? -1 : Find(rootKey);
}

bool UnitGraph::AddNode(GraphNode node) {
    FNodes.push_back(std::move(node));
    if (!FByKey.emplace(FNodes.back().Key, Count() - 1).second) {
        FNodes.pop_back();
        return false;
    }
    return true;
}

void UnitGraph::AddEdge(GraphNode& from, int fromIndex, UseEdge edge, std::vector<int>& lastUser) {
    if (lastUser[edge.To] == fromIndex)
        return;
    lastUser[edge.To] = fromIndex;
    from.Uses.push_back(std::move(edge));
}

int UnitGraph::IncludeFile(const std::string& fileName) {
    if (fileName.empty())
        return -1;
    const auto [it, added] =
        FIncludeIndex.emplace(fileName, static_cast<int>(FIncludeFiles.size()));
    if (added)
        FIncludeFiles.push_back(fileName);
    return it->second;
}

int UnitGraph::Find(std::string_view key) const {
    const auto it = FByKey.find(key);
    return it == FByKey.end() ? -1 : it->second;
}

int UnitGraph::NodeOf(const TUnit* unit) const {
    if (FByUnit.empty())
        for (int v = 0; v < Count(); ++v)
            if (FNodes[v].Unit)
                FByUnit.emplace(FNodes[v].Unit, v);
    const auto it = FByUnit.find(unit);
    return it == FByUnit.end() ? -1 : it->second;
}

// The registry is already in key order and its keys are unique, so its indexes are the
// nodes; names are looked up in hash tables rather than by binary search.
UnitGraph BuildUnitGraph(const ProjectScan& scan) {
    UnitGraph g;
    const int n = scan.FUnits.Count();
    g.FNodes.reserve(n);
    g.FByKey.reserve(n);
    std::unordered_map<std::string_view, std::int64_t, FoldedHash, FoldedEqual> sizes;
    sizes.reserve(scan.FUnitSizes.Count());
    for (int i = 0; i < scan.FUnitSizes.Count(); ++i)
        sizes.emplace(scan.FUnitSizes[i], scan.FUnitSizes.Objects(i));
    for (int i = 0; i < n; ++i) {
        const TUnit& u = *scan.FUnits.Objects(i);
        GraphNode node{scan.FUnits[i], u.FileName, std::nullopt, {}, &u};
        auto size = sizes.find(node.Key);
        if (size == sizes.end())
            size = sizes.find(u.UnitName);
        if (size != sizes.end())
            node.Size = size->second;
        node.Uses.reserve(u.Uses.Count());
        g.AddNode(std::move(node));
        if (&u == scan.FProject)
            g.FRoot = i;
    }
    std::unordered_set<std::string_view, FoldedHash, FoldedEqual> ignored;
    const TStringList& ignoredNames = scan.IgnUnits.Lines();
    for (int i = 0; i < ignoredNames.Count(); ++i)
        ignored.insert(ignoredNames[i]);
    std::vector<int> lastUser(n, -1);
    for (int i = 0; i < n; ++i) {
        const TUnit& u = *g.FNodes[i].Unit;
        for (int k = 0; k < u.Uses.Count(); ++k) {
            const std::string_view name = u.Uses[k];
            const auto to = g.FByKey.find(name);
            if (to == g.FByKey.end() || ignored.count(name))
                continue;
            const TUseSite& site = u.UseSites[k];
            g.AddEdge(g.FNodes[i], i,
                      {to->second, u.Uses.Objects(k) != 0, site.Line, g.IncludeFile(site.File)},
                      lastUser);
        }
    }
    g.FHasSizes = scan.FUnitSizes.Count() > 0;
    return g;
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
