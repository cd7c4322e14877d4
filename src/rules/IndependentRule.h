#pragma once
// [[independent]]: sets whose units must not use each other's. A unit belongs to the first
// set that holds it.
#include "rules/Rule.h"

namespace ut::rules {

class IndependentRule : public Rule {
  public:
    std::vector<UnitSet> Parts;

    const char* Kind() const override { return "independent"; }
    std::string Describe() const override;
    std::vector<std::pair<std::string, const UnitSet*>> Sets() const override;
    void Check(const RuleGraph& graph, std::vector<Violation>& out,
               std::vector<std::string>& notes) const override;
};

} // namespace ut::rules
