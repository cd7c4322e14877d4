#include "report/DotExport.h"

#include "scanner/Unit.h"

namespace ut::report {

namespace {

// Breadth-first distances from `start` up to `maxDepth` (-1: no limit), stepping only onto
// nodes that `allowed` lets through (empty: every node); -1 for nodes not reached.
std::vector<int> Distances(const Adjacency& edges, int start, int maxDepth,
                           const std::vector<int>& allowed = {}) {
    std::vector<int> dist(edges.Count(), -1);
    if (start < 0)
        return dist;
    std::vector<int> queue{start};
    dist[start] = 0;
    for (size_t head = 0; head < queue.size(); ++head) {
        const int u = queue[head];
        if (maxDepth >= 0 && dist[u] >= maxDepth)
            continue;
        for (int k = edges.Offsets[u]; k < edges.Offsets[u + 1]; ++k) {
            const int v = edges.Targets[k];
            if (dist[v] < 0 && (allowed.empty() || allowed[v] >= 0)) {
                dist[v] = dist[u] + 1;
                queue.push_back(v);
            }
        }
    }
    return dist;
}

} // namespace

std::string DotEscaped(const std::string& text) {
    std::string q;
    for (const char c : text) {
        if (c == '"' || c == '\\')
            q += '\\';
        q += static_cast<unsigned char>(c) < 0x20 ? ' ' : c;
    }
    return q;
}

std::vector<bool> DotSelection(const UnitGraph& graph, const CycleReport& cycles,
                               const DotOptions& options) {
    std::vector<bool> keep(graph.Count(), true);
    const Adjacency forward = ForwardEdges(graph);
    if (options.Focus >= 0) {
        const std::vector<int> below = Distances(forward, options.Focus, options.Depth);
        // Above the focus: the units the project reaches that lead to it.
        const std::vector<int> reached = Distances(forward, graph.Root(), -1);
        const std::vector<int> above =
            graph.Root() < 0
                ? std::vector<int>()
                : Distances(ReverseEdges(graph), options.Focus, options.Depth, reached);
        for (int v = 0; v < graph.Count(); ++v)
            keep[v] = below[v] >= 0 || (!above.empty() && above[v] >= 0);
    } else if (options.Depth >= 0) {
        const std::vector<int> dist = Distances(forward, graph.Root(), options.Depth);
        for (int v = 0; v < graph.Count(); ++v)
            keep[v] = dist[v] >= 0;
    }
    if (options.CyclesOnly)
        for (int v = 0; v < graph.Count(); ++v)
            keep[v] = keep[v] && cycles.CycleOf[v] >= 0;
    return keep;
}

std::string ExportDot(const UnitGraph& graph, const CycleReport& cycles,
                      const DotOptions& options) {
    const std::vector<bool> keep = DotSelection(graph, cycles, options);
    std::vector<std::string> names(graph.Count());  // escaped, without the quotes
    std::vector<std::string> labels(graph.Count()); // the declared names, where they differ
    const auto text = [&](const std::string& s) {
        return DotEscaped(options.Text ? options.Text(s) : s);
    };
    for (int v = 0; v < graph.Count(); ++v) {
        if (!keep[v])
            continue;
        const GraphNode& n = graph.Node(v);
        names[v] = text(n.Key);
        if (n.Unit && !n.Unit->UnitName.empty() && n.Unit->UnitName != n.Key)
            labels[v] = text(n.Unit->UnitName);
    }
    // The document is megabytes for a large project: one allocation instead of a doubling
    // series of them.
    size_t estimate = 64;
    for (int v = 0; v < graph.Count(); ++v) {
        if (!keep[v])
            continue;
        estimate += 2 * names[v].size() + 64;
        for (const UseEdge& e : graph.Node(v).Uses)
            if (keep[e.To])
                estimate += names[v].size() + names[e.To].size() + 40;
    }
    std::string out;
    out.reserve(estimate);
    out += "digraph uses {\n  node [shape=box];\n";
    auto quoted = [&out, &names](int v) {
        out += '"';
        out += names[v];
        out += '"';
    };
    for (int v = 0; v < graph.Count(); ++v) {
        if (!keep[v])
            continue;
        const GraphNode& n = graph.Node(v);
        out += "  ";
        quoted(v);
        out += " [label=\"";
        out += labels[v].empty() ? names[v] : labels[v];
        if (n.Size)
            out += "\\n" + std::to_string(*n.Size) + " bytes";
        out += '"';
        if (v == graph.Root())
            out += ", peripheries=2";
        if (cycles.CycleOf[v] >= 0)
            out += ", color=red";
        if (cycles.InterfaceCycleOf[v] >= 0)
            out += ", penwidth=2";
        out += "];\n";
    }
    for (int v = 0; v < graph.Count(); ++v) {
        if (!keep[v])
            continue;
        for (const UseEdge& e : graph.Node(v).Uses) {
            if (!keep[e.To])
                continue;
            out += "  ";
            quoted(v);
            out += " -> ";
            quoted(e.To);
            const char* style = cycles.OnInterfaceCycle(v, e) ? "style=bold"
                                : e.Interface                 ? nullptr
                                                              : "style=dashed";
            const bool red = cycles.OnCycle(v, e);
            if (style || red) {
                out += " [";
                if (style)
                    out += style;
                if (style && red)
                    out += ", ";
                if (red)
                    out += "color=red";
                out += ']';
            }
            out += ";\n";
        }
    }
    return out + "}\n";
}

} // namespace ut::report
