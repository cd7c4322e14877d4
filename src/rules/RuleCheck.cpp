#include "rules/RuleCheck.h"

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
        std::stable_sort(r.Violations.begin() + static_cast<std::ptrdiff_t>(first),
                         r.Violations.end(), [](const Violation& a, const Violation& b) {
                             if (const int c = AnsiCompareText(a.From, b.From))
                                 return c < 0;
                             return AnsiCompareText(a.To, b.To) < 0;
                         });
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

} // namespace ut::rules
