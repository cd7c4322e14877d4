#pragma once
// [[forbid]]: units of `from` must not use units of `to` in the given section of their own
// uses; with `reach`, not through other units either. A path is reported from the last
// unit of `from` on it and ends at the first unit of `to`, so each way in is told once.
#include "rules/Rule.h"

namespace ut::rules {

enum class Section { Any, Interface, Implementation };

class ForbidRule : public Rule {
  public:
    UnitSet From, To;
    Section In = Section::Any; ///< the section of the `from` unit's own entry
    bool Reach = false;

    const char* Kind() const override { return "forbid"; }
    std::string Describe() const override;
    std::vector<std::pair<std::string, const UnitSet*>> Sets() const override;
    void Check(const RuleGraph& graph, std::vector<Violation>& out,
               std::vector<std::string>& notes) const override;

  private:
    bool InSection(const RuleEdge& e) const {
        return In == Section::Any || e.Interface == (In == Section::Interface);
    }
    /// Breadth first from `start`: the nearest units of `to` it reaches, each with its path.
    void CheckReach(const RuleGraph& graph, int start, const std::vector<char>& from,
                    const std::vector<char>& to, std::vector<int>& seen,
                    std::vector<Violation>& out) const;
};

} // namespace ut::rules
