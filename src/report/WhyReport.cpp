#include "report/WhyReport.h"

#include "support/Utf8.h"

namespace ut::report {

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

} // namespace ut::report
