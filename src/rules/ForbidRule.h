#pragma once
// [[forbid]]: units of `from` must not use units of `to` in the given section of their own
// uses; with `reach`, not through other units either. A reach rule is broken once by each
// entry of a `from` unit that leads into `to` through units of neither set (a unit of `from`
// on the way answers for itself): the violation names the nearest unit of `to` that way and
// the path there. So the work and the report grow with the entries, not with the pairs of
// units, and each violation is an entry the user can change.
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
    /// Per node: the entry that leads nearest to a unit of `to` through units of neither
    /// set, or null (a unit of either set, or none reached).
    static std::vector<const RuleEdge*>
    TowardTo(const RuleGraph& graph, const std::vector<char>& from, const std::vector<char>& to);
};

} // namespace ut::rules
