#include "report/WhyReport.h"

#include "support/Utf8.h"

namespace ut::report {

namespace {

using json = nlohmann::ordered_json;

// The paths of `why` after the title of `name`; `last` adds the final step of a path that
// ends at the unit it names (the entry naming a not-found name), "" for none.
std::string PathsText(const UnitGraph& g, const std::string& name, const char* what,
                      const WhyPaths& why,
                      const std::function<std::string(const std::vector<WhyStep>&)>& last) {
    if (why.Paths.empty())
        return "Why " + name + ": the project does not reach it\n";
    std::string s = "Why " + name + " (" + what;
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
        if (const std::string step = last(why.Paths[i]); !step.empty())
            s += "  " + step + '\n';
    }
    return s;
}

json PathsJson(const UnitGraph& g, const std::string& name, const WhyPaths& why,
               const std::function<json(const std::vector<WhyStep>&)>& last) {
    json paths = json::array();
    for (const auto& path : why.Paths) {
        json steps = json::array();
        for (const WhyStep& step : path)
            steps.push_back({{"from", ToUtf8(g.Node(step.From).Key)},
                             {"to", ToUtf8(g.Node(step.Edge->To).Key)},
                             {"interface", step.Edge->Interface},
                             {"file", ToUtf8(g.SiteFile(step.From, *step.Edge))},
                             {"line", step.Edge->Line}});
        if (json step = last(path); !step.is_null())
            steps.push_back(std::move(step));
        paths.push_back(std::move(steps));
    }
    return {{"unit", ToUtf8(name)}, {"paths", std::move(paths)}, {"truncated", why.Truncated()}};
}

// The entry that names `name` in the unit a path ends at.
std::optional<NamedEntry> LastEntry(const UnitGraph& g, const std::vector<WhyStep>& path,
                                    const std::string& name) {
    return FindNamedEntry(g, path.empty() ? g.Root() : path.back().Edge->To, name);
}

} // namespace

std::string WhyText(const DependencyAnalysis& analysis, int node) {
    const UnitGraph& g = analysis.Graph();
    const std::string& key = g.Node(node).Key;
    if (node == g.Root())
        return "Why " + key + ": it is the project\n";
    return PathsText(g, key, "", analysis.Why(node),
                     [](const std::vector<WhyStep>&) { return std::string(); });
}

std::string WhyNameText(const DependencyAnalysis& analysis, const std::string& name) {
    const UnitGraph& g = analysis.Graph();
    return PathsText(g, name, "not found; ", FindWhyPathsToName(g, name),
                     [&](const std::vector<WhyStep>& path) {
                         const auto entry = LastEntry(g, path, name);
                         return entry ? FormatNamedEntry(g, *entry) : std::string();
                     });
}

nlohmann::ordered_json WhyJson(const DependencyAnalysis& analysis, int node) {
    const UnitGraph& g = analysis.Graph();
    return PathsJson(g, g.Node(node).Key, analysis.Why(node),
                     [](const std::vector<WhyStep>&) { return json(); });
}

nlohmann::ordered_json WhyNameJson(const DependencyAnalysis& analysis, const std::string& name) {
    const UnitGraph& g = analysis.Graph();
    json doc = PathsJson(g, name, FindWhyPathsToName(g, name), [&](const auto& path) {
        const auto entry = LastEntry(g, path, name);
        if (!entry)
            return json();
        return json{{"from", ToUtf8(g.Node(entry->From).Key)},
                    {"to", ToUtf8(entry->Name)},
                    {"interface", entry->Interface},
                    {"file", ToUtf8(entry->File)},
                    {"line", entry->Line}};
    });
    doc["notFound"] = true;
    return doc;
}

} // namespace ut::report
