#include "report/HtmlReport.h"

#include "analysis/CycleCuts.h"
#include "analysis/DependencyMatrix.h"
#include "analysis/Dominators.h"
#include "analysis/UnitGroups.h"
#include "platform/FileSystem.h"
#include "report/HygieneRows.h"
#include "report/Treemap.h"
#include "support/Utf8.h"

#include <nlohmann/json.hpp>

#include <cmath>

namespace ut::report {

namespace {

using json = nlohmann::ordered_json;

json SizeOrNull(const std::optional<std::int64_t>& size) {
    return size ? json(*size) : json(nullptr);
}

json Summary(const DependencyAnalysis& analysis, const HtmlReportInputs& inputs) {
    const UnitGraph& g = analysis.Graph();
    int interfaceCycles = 0;
    for (const UnitCycle& c : analysis.Cycles().Cycles)
        interfaceCycles += c.Interface ? 1 : 0;
    json total = nullptr;
    if (g.HasSizes()) {
        std::int64_t bytes = 0;
        for (const GraphNode& n : g.Nodes())
            bytes += n.Size.value_or(0);
        total = bytes;
    }
    return {{"units", g.Count()},
            {"notFound", inputs.NotFound.size()},
            {"cycles", analysis.Cycles().Cycles.size()},
            {"interfaceCycles", interfaceCycles},
            {"totalSize", total}};
}

// Rows of [name, folder, size, exclusive, recompile, level, fan-in, fan-out, cycle].
json UnitRows(const DependencyAnalysis& analysis, const HtmlReportInputs& inputs,
              const UnitGrouping& folders) {
    const UnitGraph& g = analysis.Graph();
    std::vector<int> fanIn(static_cast<size_t>(g.Count()), 0);
    for (const GraphNode& n : g.Nodes())
        for (const UseEdge& e : n.Uses)
            ++fanIn[e.To];
    json rows = json::array();
    for (int v = 0; v < g.Count(); ++v) {
        const GraphNode& n = g.Node(v);
        rows.push_back({ToUtf8(n.Key), ToUtf8(folders.Names[folders.GroupOf[v]]),
                        SizeOrNull(n.Size), SizeOrNull(analysis.ExclusiveSize(v)),
                        inputs.Recompile.empty() ? json(nullptr) : json(inputs.Recompile[v]),
                        analysis.Levels()[v], fanIn[v], n.Uses.size(),
                        analysis.Cycles().CycleOf[v]});
    }
    return rows;
}

json Cycles(const DependencyAnalysis& analysis, const HtmlReportInputs& inputs) {
    json cycles = json::array();
    const auto& all = analysis.Cycles().Cycles;
    for (size_t i = 0; i < all.size(); ++i) {
        json units = json::array();
        for (const int v : all[i].Units)
            units.push_back(v);
        json cuts = nullptr;
        if (i < inputs.Cuts.size()) {
            cuts = json::array();
            for (const CycleEdge& e : inputs.Cuts[i])
                cuts.push_back({e.From, e.To, e.Interface});
        }
        cycles.push_back({{"units", units}, {"interface", all[i].Interface}, {"cuts", cuts}});
    }
    return cycles;
}

// The groups by folder in level order with their members in level order, the group cycle
// of each, and every uses entry as [from, to, interface].
json Matrix(const DependencyAnalysis& analysis, UnitGrouping folders) {
    const UnitGraph& g = analysis.Graph();
    DependencyMatrix matrix(g, analysis.Levels(), std::move(folders));
    json groups = json::array();
    for (const int group : matrix.GroupOrder()) {
        const int line = matrix.FirstLineOfGroup(group);
        groups.push_back({{"name", ToUtf8(matrix.Grouping().Names[group])},
                          {"members", matrix.Members(group)},
                          {"cycle", matrix.BlockOf(line)}});
    }
    json edges = json::array();
    for (int v = 0; v < g.Count(); ++v)
        for (const UseEdge& e : g.Node(v).Uses)
            edges.push_back({v, e.To, e.Interface ? 1 : 0});
    return {{"groups", groups}, {"edges", edges}};
}

json Treemap(const DependencyAnalysis& analysis) {
    const UnitGraph& g = analysis.Graph();
    if (!g.HasSizes() || g.Root() < 0)
        return nullptr;
    std::vector<std::int64_t> exclusive(static_cast<size_t>(g.Count()), 0);
    for (int v = 0; v < g.Count(); ++v)
        exclusive[v] = analysis.ExclusiveSize(v).value_or(0);
    json rects = json::array();
    const TreemapOptions options;
    for (const TreemapRect& r :
         ExclusiveSizeTreemap(g, g.Root(), ImmediateDominators(g, g.Root()), exclusive, options))
        rects.push_back({r.Node, r.Depth, std::round(r.X * 10) / 10, std::round(r.Y * 10) / 10,
                         std::round(r.Width * 10) / 10, std::round(r.Height * 10) / 10, r.Bytes});
    return {{"width", options.Width}, {"height", options.Height}, {"rects", rects}};
}

json Hygiene(const HtmlReportInputs& inputs) {
    if (!inputs.HygieneRan)
        return nullptr;
    json rows = json::array();
    for (const HygieneLine& h : inputs.Hygiene)
        rows.push_back(
            {ToUtf8(h.Unit), ToUtf8(h.Used), h.Verdict, h.Reasons, ToUtf8(h.File), h.Line});
    return rows;
}

// Inside <script>, "</" would end the element: JSON allows "<\/" in its place.
std::string ScriptSafe(const std::string& text) {
    std::string out;
    out.reserve(text.size() + 64);
    for (size_t i = 0; i < text.size(); ++i) {
        out += text[i];
        if (text[i] == '<' && i + 1 < text.size() && text[i + 1] == '/')
            out += '\\';
    }
    return out;
}

std::string HtmlEscaped(const std::string& text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

} // namespace

std::string HtmlReport(const DependencyAnalysis& analysis, const HtmlReportInputs& inputs) {
    const UnitGrouping folders = GroupUnits(analysis.Graph(), GroupBy::Folder);
    json data = {{"project", ToUtf8(inputs.Project)},
                 {"completed", inputs.Completed},
                 {"summary", Summary(analysis, inputs)},
                 {"recompile", !inputs.Recompile.empty()},
                 {"units", UnitRows(analysis, inputs, folders)},
                 {"cycles", Cycles(analysis, inputs)},
                 {"matrix", Matrix(analysis, folders)},
                 {"hygiene", Hygiene(inputs)},
                 {"treemap", Treemap(analysis)}};
    json notFound = json::array();
    for (const std::string& name : inputs.NotFound)
        notFound.push_back(ToUtf8(name));
    data["notFound"] = notFound;
    return std::string(HtmlPageHead) +
           "Uni-Trace: " + HtmlEscaped(ToUtf8(fs::ExtractFileName(inputs.Project))) + HtmlPageBody +
           "<script type=\"application/json\" id=\"data\">" + ScriptSafe(data.dump()) +
           "</script>\n" + HtmlPageScript;
}

void AddAnalysisInputs(HtmlReportInputs& inputs, const ProjectScan& scan,
                       const DependencyAnalysis& analysis, const EntryCosts& costs,
                       const THygiene* hygiene) {
    inputs.Recompile = analysis.Recompile();
    const UnitGraph& graph = analysis.Graph();
    for (const CycleCuts& cycle : CutCycles(graph, analysis.Cycles(), costs)) {
        std::vector<CycleEdge>& cuts = inputs.Cuts.emplace_back();
        for (const CutEntry& cut : cycle.Cuts)
            cuts.push_back({cut.From, cut.Edge->To, cut.Edge->Interface});
    }
    inputs.HygieneRan = hygiene != nullptr;
    if (hygiene)
        for (THygieneRow& row : HygieneRows(scan, *hygiene))
            inputs.Hygiene.push_back({std::move(row.Unit), std::move(row.Entry),
                                      std::move(row.Verdict), std::move(row.Reasons),
                                      std::move(row.File), row.Line});
}

} // namespace ut::report
