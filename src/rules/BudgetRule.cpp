#include "rules/BudgetRule.h"

namespace ut::rules {

std::string BudgetRule::Describe() const {
    return "at most " + std::to_string(MaxBytes) + " bytes exclusive for each of " + Units.Text();
}

std::vector<std::pair<std::string, const UnitSet*>> BudgetRule::Sets() const {
    return {{"set", &Units}};
}

void BudgetRule::Check(const RuleGraph& graph, std::vector<Violation>& out,
                       std::vector<std::string>& notes) const {
    if (!graph.HasSizes()) {
        notes.push_back(Name + ": not checked: the map file gave no unit sizes");
        return;
    }
    const std::vector<char> in = graph.Members(Units);
    for (int v = 0; v < graph.Parsed(); ++v) {
        const auto size = graph.ExclusiveSize(v);
        if (!in[v] || !size || *size <= MaxBytes)
            continue;
        Violation violation;
        violation.Rule = Name;
        violation.Level = Level;
        violation.From = graph.Name(v);
        violation.File = graph.File(v);
        violation.Size = size;
        violation.MaxBytes = MaxBytes;
        out.push_back(std::move(violation));
    }
}

} // namespace ut::rules
