#include "rules/RuleCheck.h"

#include "platform/FileSystem.h"
#include "scan/ProjectScan.h"
#include "support/Textutil.h"

#include <algorithm>

namespace ut::rules {

int RulesOutcome::NewErrors() const {
    return static_cast<int>(
        std::count_if(Violations.begin(), Violations.end(),
                      [](const Violation& v) { return !v.Known && v.Level == Severity::Error; }));
}

RulesOutcome CheckRules(const RuleSet& rules, const RuleGraph& graph, const Baseline* baseline) {
    RulesOutcome r;
    for (const auto& rule : rules.Rules) {
        for (const auto& [key, set] : rule->Sets()) {
            const std::vector<char> in = graph.Members(*set);
            if (std::find(in.begin(), in.end(), 1) == in.end())
                r.Unmatched.push_back({rule->Name, key, set->Text()});
        }
        const size_t first = r.Violations.size();
        rule->Check(graph, r.Violations, r.Notes);
        // The using units come in the graph's order, which is key order: only the used
        // units of each one need sorting.
        auto& all = r.Violations;
        for (size_t begin = first, end = first; begin < all.size(); begin = end) {
            while (end < all.size() && all[end].From == all[begin].From)
                ++end;
            std::stable_sort(all.begin() + static_cast<std::ptrdiff_t>(begin),
                             all.begin() + static_cast<std::ptrdiff_t>(end),
                             [](const Violation& a, const Violation& b) {
                                 return AnsiCompareText(a.To, b.To) < 0;
                             });
        }
    }
    if (!baseline)
        return r;
    r.HasBaseline = true;
    std::unordered_set<std::string> current;
    for (Violation& v : r.Violations) {
        const std::string entry = v.Entry();
        v.Known = baseline->Holds(entry);
        ++(v.Known ? r.Known : r.New);
        current.insert(UpperFoldText(entry));
    }
    for (const std::string& entry : baseline->Entries())
        if (!current.count(UpperFoldText(entry)))
            r.Fixed.push_back(entry);
    return r;
}

RulesOutcome CheckScan(const RuleSet& rules, const DependencyAnalysis& analysis,
                       const ProjectScan& scan, const Baseline* baseline) {
    const RuleGraph graph(analysis, OutsideUses(scan, analysis.Graph()));
    return CheckRules(rules, graph, baseline);
}

RulesOutcome CheckScanFiles(const std::string& rulesFile, const std::string& baselineFile,
                            const DependencyAnalysis& analysis, const ProjectScan& scan) {
    auto full = [&scan](const std::string& name) {
        const bool rooted = name[0] == '/' || name[0] == '\\' || fs::IsDrivePath(name);
        return rooted || scan.FProjectDir.empty() ? name : scan.FProjectDir + name;
    };
    const RuleSet rules = LoadRules(full(rulesFile));
    if (baselineFile.empty())
        return CheckScan(rules, analysis, scan);
    const Baseline baseline = Baseline::Load(full(baselineFile));
    return CheckScan(rules, analysis, scan, &baseline);
}

} // namespace ut::rules
