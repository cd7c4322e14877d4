#include "report/CutsJson.h"

#include "support/Utf8.h"

namespace ut::report {

namespace {

void WriteCuts(JsonStream& j, const UnitGraph& g, const std::vector<CutEntry>& cuts, bool movable) {
    j.Raw("[");
    for (size_t i = 0; i < cuts.size(); ++i) {
        const CutEntry& c = cuts[i];
        j.Raw(i ? ",{\"from\":" : "{\"from\":").String(ToUtf8(g.Node(c.From).Key));
        j.Raw(",\"to\":").String(ToUtf8(g.Node(c.Edge->To).Key));
        j.Raw(",\"interface\":").Bool(c.Edge->Interface);
        j.Raw(",\"file\":").String(ToUtf8(g.SiteFile(c.From, *c.Edge)));
        j.Raw(",\"line\":").Number(c.Edge->Line);
        j.Raw(",\"references\":").Number(c.Cost.References);
        j.Raw(",\"identifiers\":[");
        for (size_t k = 0; k < c.Cost.Identifiers.size(); ++k)
            j.Raw(k ? "," : "").String(ToUtf8(c.Cost.Identifiers[k]));
        j.Raw("]");
        if (movable)
            j.Raw(",\"movable\":").Bool(c.Cost.Movable);
        j.Raw("}");
    }
    j.Raw("]");
}

} // namespace

void WriteCycleCuts(JsonStream& j, const UnitGraph& graph, const UnitCycle& cycle,
                    const CycleCuts& cuts) {
    j.Raw(",\"cuts\":");
    WriteCuts(j, graph, cuts.Cuts, false);
    j.Raw(",\"exact\":").Bool(cuts.Exact);
    if (cycle.Interface) {
        j.Raw(",\"interfaceCuts\":");
        WriteCuts(j, graph, cuts.InterfaceCuts, true);
    }
}

void WriteUnitReach(JsonStream& j, const DependencyAnalysis& analysis, int node) {
    if (node < 0 || node >= analysis.Graph().Count()) {
        j.Raw(",\"level\":null,\"recompile\":null");
        return;
    }
    j.Raw(",\"level\":").Number(analysis.Levels()[static_cast<size_t>(node)]);
    j.Raw(",\"recompile\":").Number(analysis.Recompile()[static_cast<size_t>(node)]);
}

} // namespace ut::report
