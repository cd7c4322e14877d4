#include "analysis/Neighbourhood.h"

#include <algorithm>

namespace ut {

namespace {

// Breadth-first distances from `start` along `edges`, at most `steps`; -1 beyond.
void Reach(const Adjacency& edges, int start, int steps, std::vector<int>& dist) {
    std::vector<int> own(dist.size(), -1), queue{start};
    own[start] = 0;
    for (size_t head = 0; head < queue.size(); ++head) {
        const int u = queue[head];
        if (own[u] >= steps)
            continue;
        for (int k = edges.Offsets[u]; k < edges.Offsets[u + 1]; ++k)
            if (const int w = edges.Targets[k]; own[w] < 0) {
                own[w] = own[u] + 1;
                queue.push_back(w);
            }
    }
    for (size_t v = 0; v < dist.size(); ++v)
        if (own[v] >= 0 && (dist[v] < 0 || own[v] < dist[v]))
            dist[v] = own[v];
}

} // namespace

Neighbourhood FindNeighbourhood(const UnitGraph& graph, const CycleReport& cycles, int centre,
                                int steps, int limit) {
    Neighbourhood n;
    if (centre < 0 || centre >= graph.Count())
        return n;
    n.Centre = centre;
    std::vector<int> dist(static_cast<size_t>(graph.Count()), -1);
    Reach(ForwardEdges(graph), centre, steps, dist);
    Reach(ReverseEdges(graph), centre, steps, dist);
    for (int v = 0; v < graph.Count(); ++v)
        if (dist[v] >= 0)
            n.Nodes.push_back(v);
    std::stable_sort(n.Nodes.begin(), n.Nodes.end(),
                     [&](int a, int b) { return dist[a] < dist[b]; });
    if (static_cast<int>(n.Nodes.size()) > limit) {
        n.LeftOut = static_cast<int>(n.Nodes.size()) - limit;
        for (size_t i = static_cast<size_t>(limit); i < n.Nodes.size(); ++i)
            dist[n.Nodes[i]] = -1;
        n.Nodes.resize(static_cast<size_t>(limit));
    }
    for (const int v : n.Nodes)
        n.Distance.push_back(dist[v]);
    std::vector<int> sorted = n.Nodes;
    std::sort(sorted.begin(), sorted.end());
    for (const int v : sorted)
        for (const UseEdge& e : graph.Node(v).Uses)
            if (dist[e.To] >= 0)
                n.Edges.push_back({v, e.To, e.Interface, cycles.OnCycle(v, e)});
    return n;
}

} // namespace ut
