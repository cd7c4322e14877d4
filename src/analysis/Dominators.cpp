#include "analysis/Dominators.h"

namespace ut {

namespace {

// The nodes `root` reaches, in postorder of a depth-first walk that follows uses order.
std::vector<int> Postorder(const Adjacency& edges, int root) {
    std::vector<int> order;
    std::vector<bool> seen(edges.Count(), false);
    struct Frame {
        int Node;
        int Next;
    };
    std::vector<Frame> calls{{root, edges.Offsets[root]}};
    seen[root] = true;
    while (!calls.empty()) {
        Frame& f = calls.back();
        if (f.Next < edges.Offsets[f.Node + 1]) {
            const int w = edges.Targets[f.Next++];
            if (!seen[w]) {
                seen[w] = true;
                calls.push_back({w, edges.Offsets[w]});
            }
            continue;
        }
        order.push_back(f.Node);
        calls.pop_back();
    }
    return order;
}

} // namespace

std::vector<int> ImmediateDominators(const UnitGraph& graph, int root) {
    std::vector<int> idom(graph.Count(), -1);
    if (root < 0 || root >= graph.Count())
        return idom;
    const std::vector<int> order = Postorder(ForwardEdges(graph), root);
    const Adjacency users = ReverseEdges(graph);
    std::vector<int> number(graph.Count(), -1); // postorder number; the root's is the highest
    for (int i = 0; i < static_cast<int>(order.size()); ++i)
        number[order[i]] = i;
    auto intersect = [&](int a, int b) {
        while (a != b) {
            while (number[a] < number[b])
                a = idom[a];
            while (number[b] < number[a])
                b = idom[b];
        }
        return a;
    };
    idom[root] = root;
    for (bool changed = true; changed;) {
        changed = false;
        for (auto it = order.rbegin() + 1; it != order.rend(); ++it) {
            const int v = *it;
            int next = -1;
            for (int k = users.Offsets[v]; k < users.Offsets[v + 1]; ++k) {
                const int p = users.Targets[k];
                if (idom[p] < 0)
                    continue; // not reached, or not processed yet in the first pass
                next = next < 0 ? p : intersect(p, next);
            }
            if (idom[v] != next) {
                idom[v] = next;
                changed = true;
            }
        }
    }
    return idom;
}

std::vector<std::optional<std::int64_t>> ExclusiveSizes(const UnitGraph& graph,
                                                        const std::vector<int>& idom) {
    std::vector<std::optional<std::int64_t>> sizes(graph.Count());
    int root = -1;
    for (int v = 0; v < graph.Count(); ++v) {
        if (idom[v] < 0)
            continue;
        sizes[v] = graph.Node(v).Size.value_or(0);
        if (idom[v] == v)
            root = v;
    }
    if (root < 0)
        return sizes;
    // Each node before its dominator: a dominator lies on the walk's path to every node it
    // dominates, so it is that node's ancestor in the walk and comes later in postorder.
    const std::vector<int> order = Postorder(ForwardEdges(graph), root);
    for (const int v : order)
        if (v != root)
            *sizes[idom[v]] += *sizes[v];
    return sizes;
}

} // namespace ut
