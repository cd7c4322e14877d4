#include "analysis/Cycles.h"

#include <algorithm>

namespace ut {

namespace {

// Per node: the number of its component when that component holds a cycle, else -1.
std::vector<int> CyclicComponents(const UnitGraph& graph, bool interfaceOnly) {
    const Adjacency edges = ForwardEdges(graph, interfaceOnly);
    std::vector<int> comp = StrongComponents(edges);
    std::vector<int> size(comp.size(), 0);
    std::vector<bool> selfLoop(comp.size(), false);
    for (int v = 0; v < edges.Count(); ++v) {
        ++size[comp[v]];
        for (int k = edges.Offsets[v]; k < edges.Offsets[v + 1]; ++k)
            if (edges.Targets[k] == v)
                selfLoop[comp[v]] = true;
    }
    for (int& c : comp)
        if (size[c] < 2 && !selfLoop[c])
            c = -1;
    return comp;
}

} // namespace

std::vector<int> StrongComponents(const Adjacency& a) {
    const int n = a.Count();
    std::vector<int> index(n, -1), low(n, 0), comp(n, -1);
    std::vector<bool> onStack(n, false);
    std::vector<int> stack;
    struct Frame {
        int Node;
        int Next; ///< the next edge of Node to follow
    };
    std::vector<Frame> calls;
    int counter = 0, components = 0;
    auto visit = [&](int v) {
        index[v] = low[v] = counter++;
        stack.push_back(v);
        onStack[v] = true;
        calls.push_back({v, a.Offsets[v]});
    };
    for (int s = 0; s < n; ++s) {
        if (index[s] >= 0)
            continue;
        visit(s);
        while (!calls.empty()) {
            const int v = calls.back().Node;
            if (calls.back().Next < a.Offsets[v + 1]) {
                const int w = a.Targets[calls.back().Next++];
                if (index[w] < 0)
                    visit(w);
                else if (onStack[w])
                    low[v] = std::min(low[v], index[w]);
                continue;
            }
            calls.pop_back();
            if (!calls.empty())
                low[calls.back().Node] = std::min(low[calls.back().Node], low[v]);
            if (low[v] != index[v])
                continue;
            int w = -1;
            do {
                w = stack.back();
                stack.pop_back();
                onStack[w] = false;
                comp[w] = components;
            } while (w != v);
            ++components;
        }
    }
    return comp;
}

CycleReport FindCycles(const UnitGraph& graph) {
    CycleReport r;
    const std::vector<int> comp = CyclicComponents(graph, false);
    r.InterfaceCycleOf = CyclicComponents(graph, true);
    r.CycleOf.assign(comp.size(), -1);
    std::vector<int> cycleOfComponent(comp.size(), -1);
    for (int v = 0; v < graph.Count(); ++v) {
        if (comp[v] < 0)
            continue;
        int& c = cycleOfComponent[comp[v]];
        if (c < 0) {
            c = static_cast<int>(r.Cycles.size());
            r.Cycles.emplace_back();
        }
        r.CycleOf[v] = c;
        UnitCycle& cycle = r.Cycles[c];
        cycle.Units.push_back(v);
        // A cycle of interface entries lies inside one component of all entries.
        if (r.InterfaceCycleOf[v] >= 0)
            cycle.Interface = true;
    }
    for (int v = 0; v < graph.Count(); ++v)
        for (const UseEdge& e : graph.Node(v).Uses)
            if (r.OnCycle(v, e))
                r.Cycles[r.CycleOf[v]].Edges.push_back({v, e.To, e.Interface});
    return r;
}

bool CycleReport::OnCycle(int from, const UseEdge& edge) const {
    const int c = CycleOf[from];
    return c >= 0 && c == CycleOf[edge.To];
}

bool CycleReport::OnInterfaceCycle(int from, const UseEdge& edge) const {
    const int c = InterfaceCycleOf[from];
    return edge.Interface && c >= 0 && c == InterfaceCycleOf[edge.To];
}

} // namespace ut
