#include "gui/GraphLayout.h"

#include <graphviz/cgraph.h>
#include <graphviz/gvc.h>

#include <string>

namespace ut::gui {

namespace {

// cgraph's functions take names as char*, which they copy.
char* Text(const char* s) {
    return const_cast<char*>(s);
}

std::string Inches(double points) {
    return std::to_string(points / 72.0);
}

} // namespace

GraphLayoutResult LayOutGraph(const GraphLayoutInput& input) {
    GraphLayoutResult r;
    // One context for the program's life: making one reads the plugin configuration, and
    // Graphviz keeps some of what it reads unreachable when the context is freed.
    static GVC_t* const gvc = gvContext();
    Agraph_t* g = agopen(Text("neighbourhood"), Agdirected, nullptr);
    if (!gvc || !g) {
        r.Error = QStringLiteral("Graphviz could not be started");
        return r;
    }
    agattr(g, AGRAPH, Text("rankdir"), Text("TB"));
    agattr(g, AGRAPH, Text("nodesep"), Text("0.25"));
    agattr(g, AGRAPH, Text("ranksep"), Text("0.5"));
    agattr(g, AGNODE, Text("shape"), Text("box"));
    agattr(g, AGNODE, Text("fixedsize"), Text("true"));
    agattr(g, AGNODE, Text("label"), Text(""));
    agattr(g, AGNODE, Text("width"), Text("1"));
    agattr(g, AGNODE, Text("height"), Text("0.3"));
    std::vector<Agnode_t*> nodes;
    for (size_t i = 0; i < input.Nodes.size(); ++i) {
        const std::string name = "n" + std::to_string(i);
        Agnode_t* n = agnode(g, Text(name.c_str()), 1);
        agset(n, Text("width"), Text(Inches(input.Nodes[i].width()).c_str()));
        agset(n, Text("height"), Text(Inches(input.Nodes[i].height()).c_str()));
        nodes.push_back(n);
    }
    std::vector<Agedge_t*> edges;
    for (const auto& [from, to] : input.Edges)
        edges.push_back(agedge(g, nodes[from], nodes[to], nullptr, 1));
    if (gvLayout(gvc, g, "dot") != 0) {
        agclose(g);
        r.Error = QStringLiteral("Graphviz could not lay the graph out");
        return r;
    }
    const boxf bb = GD_bb(g);
    auto point = [&bb](pointf p) { return QPointF(p.x - bb.LL.x, bb.UR.y - p.y); };
    r.Bounds = QRectF(0, 0, bb.UR.x - bb.LL.x, bb.UR.y - bb.LL.y);
    for (Agnode_t* n : nodes)
        r.Centres.push_back(point(ND_coord(n)));
    for (Agedge_t* e : edges) {
        QPainterPath path;
        QPointF tip;
        const splines* spl = e ? ED_spl(e) : nullptr;
        if (spl && spl->size > 0 && spl->list[0].size > 0) {
            const bezier& b = spl->list[0];
            path.moveTo(point(b.list[0]));
            for (int i = 1; i + 2 < b.size; i += 3)
                path.cubicTo(point(b.list[i]), point(b.list[i + 1]), point(b.list[i + 2]));
            tip = b.eflag ? point(b.ep) : point(b.list[b.size - 1]);
        }
        r.Curves.push_back(path);
        r.Tips.push_back(tip);
    }
    gvFreeLayout(gvc, g);
    agclose(g);
    return r;
}

} // namespace ut::gui
