#pragma once
// [[budget]]: no unit of the set may bring more than `max_bytes` into the program: its
// exclusive size, from the map file.
#include "rules/Rule.h"

namespace ut::rules {

class BudgetRule : public Rule {
  public:
    UnitSet Units;
    std::int64_t MaxBytes = 0;

    const char* Kind() const override { return "budget"; }
    std::string Describe() const override;
    std::vector<std::pair<std::string, const UnitSet*>> Sets() const override;
    void Check(const RuleGraph& graph, std::vector<Violation>& out,
               std::vector<std::string>& notes) const override;
};

} // namespace ut::rules
