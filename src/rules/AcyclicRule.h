#pragma once
// [[acyclic]]: no cycle among the set's units (through its own units only); with
// `interface_only`, only cycles of interface entries count. Every entry that closes a
// cycle is a violation.
#include "rules/Rule.h"

namespace ut::rules {

class AcyclicRule : public Rule {
  public:
    UnitSet Units;
    bool InterfaceOnly = false;

    const char* Kind() const override { return "acyclic"; }
    std::string Describe() const override;
    std::vector<std::pair<std::string, const UnitSet*>> Sets() const override;
    void Check(const RuleGraph& graph, std::vector<Violation>& out,
               std::vector<std::string>& notes) const override;
};

} // namespace ut::rules
