#include "analysis/WhyPath.h"

#include "scanner/Unit.h"

#include <algorithm>

namespace ut {

namespace {

// Every shortest path from the project to the nearest of the units `isTarget` marks, up to
// the limit, in the order of the uses lists from the project down.
WhyPaths PathsTo(const UnitGraph& graph, const std::vector<bool>& isTarget, int limit) {
    WhyPaths r;
    const int root = graph.Root();
    // Distances from the project, and the number of shortest paths to each unit (enough to
    // tell whether there are more than the limit).
    std::vector<int> dist(graph.Count(), -1), count(graph.Count(), 0);
    std::vector<int> queue{root};
    dist[root] = 0;
    count[root] = 1;
    int nearest = isTarget[root] ? 0 : -1;
    for (size_t head = 0; head < queue.size(); ++head) {
        const int u = queue[head];
        if (nearest >= 0 && dist[u] >= nearest)
            break;
        for (const UseEdge& e : graph.Node(u).Uses) {
            if (dist[e.To] < 0) {
                dist[e.To] = dist[u] + 1;
                queue.push_back(e.To);
                if (isTarget[e.To] && nearest < 0)
                    nearest = dist[e.To];
            }
            if (dist[e.To] == dist[u] + 1)
                count[e.To] = std::min(limit + 1, count[e.To] + count[u]);
        }
    }
    if (nearest < 0)
        return r;
    std::vector<int> pending;
    for (int v = 0; v < graph.Count(); ++v)
        if (isTarget[v] && dist[v] == nearest) {
            pending.push_back(v);
            r.Count = std::min(limit + 1, r.Count + count[v]);
        }

    // The units that lie on some shortest path to a target: back from them, one level nearer
    // the project at each step.
    const Adjacency users = ReverseEdges(graph);
    std::vector<bool> onPath(graph.Count(), false);
    for (const int v : pending)
        onPath[v] = true;
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
    const auto reached = [&](int v) { return isTarget[v] && dist[v] == nearest; };
    while (!calls.empty() && static_cast<int>(r.Paths.size()) < limit) {
        Frame& f = calls.back();
        const std::vector<UseEdge>& uses = graph.Node(f.Node).Uses;
        if (!reached(f.Node) && f.Next < uses.size()) {
            const UseEdge& e = uses[f.Next++];
            if (onPath[e.To] && dist[e.To] == dist[f.Node] + 1) {
                path.push_back({f.Node, &e});
                calls.push_back({e.To, 0});
            }
            continue;
        }
        if (reached(f.Node))
            r.Paths.push_back(path);
        calls.pop_back();
        if (!path.empty())
            path.pop_back();
    }
    return r;
}

} // namespace

WhyPaths FindWhyPaths(const UnitGraph& graph, int target, int limit) {
    const int root = graph.Root();
    if (root < 0 || target < 0 || target >= graph.Count() || limit < 1)
        return {};
    if (root == target) {
        WhyPaths r;
        r.Paths.emplace_back();
        r.Count = 1;
        return r;
    }
    std::vector<bool> isTarget(graph.Count(), false);
    isTarget[target] = true;
    return PathsTo(graph, isTarget, limit);
}

std::optional<NamedEntry> FindNamedEntry(const UnitGraph& graph, int node, std::string_view name) {
    const TUnit* unit = graph.Node(node).Unit;
    for (int k = 0; unit && k < unit->Uses.Count(); ++k)
        if (SameText(unit->Uses[k], name)) {
            const TUseSite& site = unit->UseSites[static_cast<size_t>(k)];
            return NamedEntry{node, unit->Uses[k], unit->Uses.Objects(k) != 0, site.Line,
                              site.File.empty() ? graph.Node(node).FileName : site.File};
        }
    return std::nullopt;
}

WhyPaths FindWhyPathsToName(const UnitGraph& graph, std::string_view name, int limit) {
    if (graph.Root() < 0 || limit < 1)
        return {};
    std::vector<bool> isTarget(graph.Count(), false);
    for (int v = 0; v < graph.Count(); ++v)
        isTarget[v] = FindNamedEntry(graph, v, name).has_value();
    return PathsTo(graph, isTarget, limit);
}

std::string FormatNamedEntry(const UnitGraph& graph, const NamedEntry& entry) {
    std::string s = graph.Node(entry.From).Key + " -> " + entry.Name;
    s += entry.Interface ? "  (interface, " : "  (implementation, ";
    s += entry.File;
    if (entry.Line > 0)
        s += ':' + std::to_string(entry.Line);
    return s + ')';
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
