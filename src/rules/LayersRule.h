#pragma once
// [[layers]]: the sets top first; a unit may use its own set and the sets after it, never
// one before it. Without `interface`, a unit uses the sets after its own only from its
// implementation section. A unit belongs to the first set that holds it.
#include "rules/Rule.h"

namespace ut::rules {

class LayersRule : public Rule {
  public:
    std::vector<UnitSet> Layers;
    bool Interface = true;

    const char* Kind() const override { return "layers"; }
    std::string Describe() const override;
    std::vector<std::pair<std::string, const UnitSet*>> Sets() const override;
    void Check(const RuleGraph& graph, std::vector<Violation>& out,
               std::vector<std::string>& notes) const override;
};

/// The sets as Sets() names them: "sets[0]", "sets[1]", ...
std::vector<std::pair<std::string, const UnitSet*>> IndexedSets(const std::vector<UnitSet>& sets);

} // namespace ut::rules
