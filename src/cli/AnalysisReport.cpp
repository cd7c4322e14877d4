#include "cli/AnalysisReport.h"

#include "cli/JsonWriter.h"
#include "support/Textutil.h"

#include <algorithm>

namespace ut::cli {

namespace {

bool Has(const std::vector<std::string>& list, const char* name) {
    return std::find(list.begin(), list.end(), name) != list.end();
}

std::string Names(const UnitGraph& graph, const std::vector<int>& nodes) {
    std::string s;
    for (const int v : nodes)
        s += (s.empty() ? "" : ", ") + graph.Node(v).Key;
    return s;
}

} // namespace

bool FindNamedUnit(const DependencyAnalysis& analysis, const char* option,
                   const std::optional<std::string>& name, int& node, std::FILE* err) {
    node = -1;
    if (!name)
        return true;
    node = analysis.Graph().Find(*name);
    if (node < 0)
        std::fprintf(err, "unitrace-cli: %s: \"%s\" is not a parsed unit\n", option, name->c_str());
    return node >= 0;
}

std::string WhyText(const DependencyAnalysis& analysis, int node) {
    const UnitGraph& g = analysis.Graph();
    const std::string& key = g.Node(node).Key;
    if (node == g.Root())
        return "Why " + key + ": it is the project\n";
    const WhyPaths why = analysis.Why(node);
    if (why.Paths.empty())
        return "Why " + key + ": the project does not reach it\n";
    std::string s = "Why " + key + " (";
    if (why.Truncated())
        s += "the first " + std::to_string(why.Paths.size()) + " of more than " +
             std::to_string(why.Paths.size()) + " shortest paths):\n";
    else
        s += std::to_string(why.Count) +
             (why.Count == 1 ? " shortest path):\n" : " shortest paths):\n");
    for (size_t i = 0; i < why.Paths.size(); ++i) {
        if (i)
            s += '\n';
        for (const WhyStep& step : why.Paths[i])
            s += "  " + FormatWhyStep(g, step) + '\n';
    }
    return s;
}

nlohmann::ordered_json WhyJson(const DependencyAnalysis& analysis, int node) {
    using json = nlohmann::ordered_json;
    const UnitGraph& g = analysis.Graph();
    const WhyPaths why = analysis.Why(node);
    json paths = json::array();
    for (const auto& path : why.Paths) {
        json steps = json::array();
        for (const WhyStep& step : path)
            steps.push_back({{"from", ToUtf8(g.Node(step.From).Key)},
                             {"to", ToUtf8(g.Node(step.Edge->To).Key)},
                             {"interface", step.Edge->Interface},
                             {"file", ToUtf8(g.SiteFile(step.From, *step.Edge))},
                             {"line", step.Edge->Line}});
        paths.push_back(std::move(steps));
    }
    return {{"unit", ToUtf8(g.Node(node).Key)},
            {"paths", std::move(paths)},
            {"truncated", why.Truncated()}};
}

bool ReportGates(const std::vector<std::string>& failOn, const ProjectScan& scan,
                 const DependencyAnalysis& analysis, const std::vector<LogEntry>& log,
                 std::FILE* err) {
    bool failed = false;
    auto offender = [&](const char* gate, const std::string& text) {
        std::fprintf(err, "%s: %s\n", gate, text.c_str());
        failed = true;
    };
    const bool interfaceGate = Has(failOn, "interface-cycles");
    const bool cycleGate = Has(failOn, "cycles");
    // A circular reference is one offender, named by the stricter gate that asks for it.
    for (const UnitCycle& c : analysis.Cycles().Cycles)
        if (interfaceGate && c.Interface)
            offender("interface-cycles", Names(analysis.Graph(), c.Units));
        else if (cycleGate)
            offender("cycles", Names(analysis.Graph(), c.Units));
    if (Has(failOn, "not-found"))
        for (const std::string& name : scan.FNotFoundNames)
            offender("not-found", name);
    if (Has(failOn, "exc"))
        for (const LogEntry& e : log)
            if (e.Text.rfind("EXC: ", 0) == 0)
                offender("exc", e.Text);
    return failed;
}

} // namespace ut::cli
