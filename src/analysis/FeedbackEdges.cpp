#include "analysis/FeedbackEdges.h"

#include "analysis/Cycles.h"

#include <algorithm>

namespace ut {

namespace {

Adjacency RowsOf(int nodeCount, const std::vector<WeightedEdge>& edges) {
    Adjacency a;
    a.Offsets.assign(static_cast<size_t>(nodeCount) + 1, 0);
    for (const WeightedEdge& e : edges)
        ++a.Offsets[static_cast<size_t>(e.From) + 1];
    for (int i = 0; i < nodeCount; ++i)
        a.Offsets[i + 1] += a.Offsets[i];
    a.Targets.resize(edges.size());
    std::vector<int> fill(a.Offsets.begin(), a.Offsets.end() - 1);
    for (const WeightedEdge& e : edges)
        a.Targets[static_cast<size_t>(fill[e.From]++)] = e.To;
    return a;
}

} // namespace

FeedbackSet MinimumFeedbackEdges(int nodeCount, const std::vector<WeightedEdge>& edges,
                                 int exactLimit) {
    const std::vector<int> comp = StrongComponents(RowsOf(nodeCount, edges));
    // The edges inside each component, and each node's number within its component.
    const int components = comp.empty() ? 0 : *std::max_element(comp.begin(), comp.end()) + 1;
    std::vector<std::vector<int>> inside(static_cast<size_t>(components));
    std::vector<int> local(static_cast<size_t>(nodeCount)), size(inside.size(), 0);
    for (int v = 0; v < nodeCount; ++v)
        local[v] = size[static_cast<size_t>(comp[v])]++;
    for (int k = 0; k < static_cast<int>(edges.size()); ++k)
        if (comp[edges[k].From] == comp[edges[k].To])
            inside[static_cast<size_t>(comp[edges[k].From])].push_back(k);

    FeedbackSet result;
    for (size_t c = 0; c < inside.size(); ++c) {
        const std::vector<int>& members = inside[c];
        if (members.empty())
            continue;
        std::vector<WeightedEdge> part;
        part.reserve(members.size());
        for (const int k : members)
            part.push_back({local[edges[k].From], local[edges[k].To], edges[k].Weight});
        std::vector<int> cut = GreedyFeedbackEdges(size[c], part);
        if (static_cast<int>(part.size()) <= std::min(exactLimit, 32))
            cut = ExactFeedbackEdges(size[c], part, cut);
        else
            result.Exact = false;
        for (const int k : cut)
            result.Edges.push_back(members[static_cast<size_t>(k)]);
    }
    std::sort(result.Edges.begin(), result.Edges.end());
    return result;
}

} // namespace ut
