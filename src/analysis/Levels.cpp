#include "analysis/Levels.h"

#include "analysis/Cycles.h"

#include <algorithm>
#include <numeric>

namespace ut {

namespace {

// Components in the order StrongComponents completes them: every component the units of
// one use is completed before it.
std::vector<std::vector<int>> NodesByComponent(const std::vector<int>& comp) {
    const int count = comp.empty() ? 0 : *std::max_element(comp.begin(), comp.end()) + 1;
    std::vector<std::vector<int>> nodes(static_cast<size_t>(count));
    for (int v = 0; v < static_cast<int>(comp.size()); ++v)
        nodes[static_cast<size_t>(comp[v])].push_back(v);
    return nodes;
}

} // namespace

std::vector<int> UnitLevels(const UnitGraph& graph) {
    const Adjacency edges = ForwardEdges(graph);
    const std::vector<int> comp = StrongComponents(edges);
    std::vector<int> componentLevel(comp.size(), 0);
    for (const std::vector<int>& members : NodesByComponent(comp)) {
        int level = 0;
        for (const int v : members)
            for (int k = edges.Offsets[v]; k < edges.Offsets[v + 1]; ++k)
                if (const int w = edges.Targets[k]; comp[w] != comp[v])
                    level = std::max(level, componentLevel[static_cast<size_t>(comp[w])] + 1);
        componentLevel[static_cast<size_t>(comp[members.front()])] = level;
    }
    std::vector<int> levels(comp.size());
    for (size_t v = 0; v < comp.size(); ++v)
        levels[v] = componentLevel[static_cast<size_t>(comp[v])];
    return levels;
}

std::vector<int> LevelOrder(const UnitGraph& graph, const std::vector<int>& levels) {
    // A cycle's units sort by their lowest node, so the block stays together among the
    // other units of its level, which sort by their own node (key order).
    const std::vector<int> comp = StrongComponents(ForwardEdges(graph));
    std::vector<int> first(comp.size(), graph.Count());
    for (int v = 0; v < graph.Count(); ++v)
        first[static_cast<size_t>(comp[v])] = std::min(first[static_cast<size_t>(comp[v])], v);
    std::vector<int> order(static_cast<size_t>(graph.Count()));
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [&](int a, int b) {
        const int fa = first[static_cast<size_t>(comp[a])],
                  fb = first[static_cast<size_t>(comp[b])];
        return std::tie(levels[a], fa, a) < std::tie(levels[b], fb, b);
    });
    return order;
}

} // namespace ut
