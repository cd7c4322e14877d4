#include "report/CutsText.h"

#include "analysis/FeedbackEdges.h"

#include <algorithm>
#include <numeric>

namespace ut::report {

namespace {

// "A -> B (implementation, /src/A.pas:12): 2 references (TFoo, Bar)"
std::string EntryText(const UnitGraph& g, const CutEntry& c) {
    const CutFields f = CutEntryFields(g, c);
    std::string s = f.Entry + " (" + f.Section + ", " + f.Site + "): " + f.References;
    if (!f.Identifiers.empty())
        s += " (" + f.Identifiers + ")";
    return s;
}

} // namespace

CutFields CutEntryFields(const UnitGraph& g, const CutEntry& c) {
    const UseEdge& e = *c.Edge;
    CutFields f;
    f.Entry = g.Node(c.From).Key + " -> " + g.Node(e.To).Key;
    f.Section = e.Interface ? "interface" : "implementation";
    f.Site = g.SiteFile(c.From, e);
    if (e.Line > 0)
        f.Site += ':' + std::to_string(e.Line);
    f.References =
        std::to_string(c.Cost.References) + (c.Cost.References == 1 ? " reference" : " references");
    for (const std::string& name : c.Cost.Identifiers)
        f.Identifiers += (f.Identifiers.empty() ? "" : ", ") + name;
    if (c.Cost.Judged)
        f.Verdict = c.Cost.Movable ? "movable" : "needs code changes";
    return f;
}

std::string CutsExactness(bool exact) {
    if (exact)
        return "the cheapest cut";
    return "the cheapest found, not proven: components of more than " +
           std::to_string(ExactFeedbackLimit) + " entries are not searched exactly";
}

std::string CutsText(const DependencyAnalysis& analysis, const EntryCosts& costs) {
    const UnitGraph& g = analysis.Graph();
    const std::vector<UnitCycle>& cycles = analysis.Cycles().Cycles;
    if (cycles.empty())
        return "No cycles\n";
    std::string s;
    for (size_t i = 0; i < cycles.size(); ++i) {
        const UnitCycle& cycle = cycles[i];
        const CycleCuts cuts = CutCycle(g, cycle, costs);
        s += (i ? "\nCycle " : "Cycle ") + std::to_string(i + 1);
        s += cycle.Interface ? " (circular unit reference):" : ":";
        for (size_t k = 0; k < cycle.Units.size(); ++k)
            s += (k ? ", " : " ") + g.Node(cycle.Units[k]).Key;
        s += '\n';
        for (const CutEntry& c : cuts.Cuts)
            s += "  cut " + EntryText(g, c) + '\n';
        if (cycle.Interface) {
            s += "  to make it legal, move to the implementation:\n";
            for (const CutEntry& c : cuts.InterfaceCuts) {
                const std::string verdict = CutEntryFields(g, c).Verdict;
                s += "  move " + EntryText(g, c) + (verdict.empty() ? "" : ", " + verdict) + '\n';
            }
        }
        if (!cuts.Exact)
            s += "  (" + CutsExactness(false) + ")\n";
    }
    return s;
}

std::string TopRecompileText(const DependencyAnalysis& analysis, int count) {
    const UnitGraph& g = analysis.Graph();
    const std::vector<int>& reach = analysis.Recompile();
    std::vector<int> order(static_cast<size_t>(g.Count()));
    std::iota(order.begin(), order.end(), 0);
    const size_t shown = std::min(order.size(), static_cast<size_t>(std::max(count, 0)));
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return reach[a] > reach[b]; });
    order.resize(shown);
    std::string s = "Recompile reach (the " + std::to_string(shown) + " largest):\n";
    const size_t width = shown ? std::to_string(reach[order.front()]).size() : 0;
    for (const int v : order) {
        const std::string n = std::to_string(reach[v]);
        s += "  " + std::string(width - n.size(), ' ') + n + "  " + g.Node(v).Key;
        if (const int c = analysis.Cycles().CycleOf[v]; c >= 0)
            s += "  (cycle " + std::to_string(c + 1) + ")";
        s += '\n';
    }
    return s;
}

} // namespace ut::report
