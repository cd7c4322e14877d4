#include "analysis/WhyPath.h"

#include <algorithm>

namespace ut {

WhyPaths FindWhyPaths(const UnitGraph& graph, int target, int limit) {
    WhyPaths r;
    const int root = graph.Root();
    if (root < 0 || target < 0 || target >= graph.Count() || limit < 1)
        return r;
    if (root == target) {
        r.Paths.emplace_back();
        r.Count = 1;
        return r;
    }
    // Distances from the project, and the number of shortest paths to each unit (enough to
    // tell whether there are more than the limit).
    std::vector<int> dist(graph.Count(), -1), count(graph.Count(), 0);
    std::vector<int> queue{root};
    dist[root] = 0;
    count[root] = 1;
    for (size_t head = 0; head < queue.size(); ++head) {
        const int u = queue[head];
        if (dist[target] >= 0 && dist[u] >= dist[target])
            break;
        for (const UseEdge& e : graph.Node(u).Uses) {
            if (dist[e.To] < 0) {
                dist[e.To] = dist[u] + 1;
                queue.push_back(e.To);
            }
            if (dist[e.To] == dist[u] + 1)
                count[e.To] = std::min(limit + 1, count[e.To] + count[u]);
        }
    }
    if (dist[target] < 0)
        return r;
    r.Count = count[target];

    // The units that lie on some shortest path to the target: back from it, one level nearer
    // the project at each step.
    const Adjacency users = ReverseEdges(graph);
    std::vector<bool> onPath(graph.Count(), false);
    std::vector<int> pending{target};
    onPath[target] = true;
    while (!pending.empty()) {
        const int v = pending.back();
        pending.pop_back();
        for (int k = users.Offsets[v]; k < users.Offsets[v + 1]; ++k) {
            const int p = users.Targets[k];
            if (!onPath[p] && dist[p] >= 0 && dist[p] == dist[v] - 1) {
                onPath[p] = true;
                pending.push_back(p);
            }
        }
    }

    // Forward from the project through those units only: every branch it takes reaches the
    // target, so no work is spent on dead ends however many paths there are.
    struct Frame {
        int Node;
        size_t Next;
    };
    std::vector<Frame> calls{{root, 0}};
    std::vector<WhyStep> path;
    while (!calls.empty() && static_cast<int>(r.Paths.size()) < limit) {
        Frame& f = calls.back();
        const std::vector<UseEdge>& uses = graph.Node(f.Node).Uses;
        if (f.Node != target && f.Next < uses.size()) {
            const UseEdge& e = uses[f.Next++];
            if (onPath[e.To] && dist[e.To] == dist[f.Node] + 1) {
                path.push_back({f.Node, &e});
                calls.push_back({e.To, 0});
            }
            continue;
        }
        if (f.Node == target)
            r.Paths.push_back(path);
        calls.pop_back();
        if (!path.empty())
            path.pop_back();
    }
    return r;
}

std::string FormatWhyStep(const UnitGraph& graph, const WhyStep& step) {
    const UseEdge& e = *step.Edge;
    std::string s = graph.Node(step.From).Key;
    s += " -> ";
    s += graph.Node(e.To).Key;
    s += e.Interface ? "  (interface, " : "  (implementation, ";
    s += graph.SiteFile(step.From, e);
    if (e.Line > 0)
        s += ':' + std::to_string(e.Line);
    return s + ')';
}

} // namespace ut
