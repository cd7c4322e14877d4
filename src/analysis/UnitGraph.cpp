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
    ReserveKeys(units.size());
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
    ReserveKeys(FNodes.size() + 1);
    const std::uint64_t hash = FoldedHash()(node.Key);
    KeyEntry& entry = FKeys[KeySlot(node.Key, hash)];
    if (entry.Node >= 0)
        return false;
    entry = {static_cast<std::uint32_t>(hash >> 32), Count()};
    FNodes.push_back(std::move(node));
    return true;
}

void UnitGraph::ReserveKeys(size_t count) {
    size_t capacity = 16;
    while (capacity < 2 * count)
        capacity *= 2;
    if (capacity <= FKeys.size())
        return;
    FKeys.assign(capacity, {});
    for (int v = 0; v < Count(); ++v) {
        const std::uint64_t hash = FoldedHash()(FNodes[v].Key);
        FKeys[KeySlot(FNodes[v].Key, hash)] = {static_cast<std::uint32_t>(hash >> 32), v};
    }
}

size_t UnitGraph::KeySlot(std::string_view key, std::uint64_t hash) const {
    const size_t mask = FKeys.size() - 1;
    const auto tag = static_cast<std::uint32_t>(hash >> 32);
    for (size_t i = hash & mask;; i = (i + 1) & mask) {
        const KeyEntry& e = FKeys[i];
        if (e.Node < 0 || (e.Tag == tag && FoldedEqual()(FNodes[e.Node].Key, key)))
            return i;
    }
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
    return FKeys.empty() ? -1 : FKeys[KeySlot(key, FoldedHash()(key))].Node;
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
// nodes. The map's sizes are in the same order, so one walk down both lists pairs them; used
// names are looked up in the hash table of keys.
UnitGraph BuildUnitGraph(const ProjectScan& scan) {
    UnitGraph g;
    const int n = scan.FUnits.Count();
    const TUnitSizes& sizes = scan.FUnitSizes;
    g.FNodes.reserve(n);
    g.ReserveKeys(n);
    std::vector<bool> ignored(n);
    for (int i = 0, s = 0; i < n; ++i) {
        const TUnit& u = *scan.FUnits.Objects(i);
        GraphNode node{scan.FUnits[i], u.FileName, std::nullopt, {}, &u};
        while (s < sizes.Count() && AnsiCompareText(sizes[s], node.Key) < 0)
            ++s;
        int at = 0;
        if (s < sizes.Count() && AnsiCompareText(sizes[s], node.Key) == 0)
            node.Size = sizes.Objects(s);
        else if (sizes.Find(u.UnitName, at))
            node.Size = sizes.Objects(at);
        node.Uses.reserve(u.Uses.Count());
        ignored[i] = scan.IsIgnored(node.Key);
        g.AddNode(std::move(node));
        if (&u == scan.FProject)
            g.FRoot = i;
    }
    std::vector<int> lastUser(n, -1);
    for (int i = 0; i < n; ++i) {
        const TUnit& u = *g.FNodes[i].Unit;
        for (int k = 0; k < u.Uses.Count(); ++k) {
            // A name that finds a key is ignored exactly when that key is; a name found
            // through a unit scope leads to the scoped unit.
            const int to = g.Find(scan.ResolvedName(u.Uses[k]));
            if (to < 0 || ignored[to])
                continue;
            const TUseSite& site = u.UseSites[k];
            g.AddEdge(g.FNodes[i], i,
                      {to, u.Uses.Objects(k) != 0, site.Line, g.IncludeFile(site.File)}, lastUser);
        }
    }
    g.FHasSizes = sizes.Count() > 0;
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
