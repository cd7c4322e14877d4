#pragma once
// The violations looked up by the uses entry that tells them, for views that mark entries:
// a direct rule's From -> To, and a reach rule's first step (the using unit's own entry,
// the one to change). Names compare without regard to case.
#include "rules/Rule.h"

#include <string>
#include <unordered_map>
#include <vector>

namespace ut::rules {

class EdgeViolations {
  public:
    /// Refers to `violations`, which must outlive the object and stay as they are.
    explicit EdgeViolations(const std::vector<Violation>& violations);

    /// The violations told by the entry of `from` naming `to`, in the list's order.
    const std::vector<const Violation*>& Of(const std::string& from, const std::string& to) const;

  private:
    std::unordered_map<std::string, std::vector<const Violation*>> FByEdge;
};

} // namespace ut::rules
