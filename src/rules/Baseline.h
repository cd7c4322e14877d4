#pragma once
// The violations already known: one entry per rule and uses edge, by unit names ("rule:
// From -> To", a budget's "rule: Unit"), so that edits elsewhere in a source leave it alone.
// Kept sorted, one entry a line, for a readable diff.
#include "rules/Rule.h"

#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace ut::rules {

class Baseline {
  public:
    /// Reads a baseline; ERulesError names the file and the line of an entry it cannot read.
    static Baseline Load(const std::string& fileName);
    static Baseline Parse(std::string_view text, const std::string& fileName);

    /// The entries in the file's order.
    const std::vector<std::string>& Entries() const { return FEntries; }
    /// Whether an entry is listed, names compared without regard to case.
    bool Holds(const std::string& entry) const;

  private:
    std::vector<std::string> FEntries;
    std::unordered_set<std::string> FFolded;
};

/// The baseline that lists `violations`: its comment, then the entries sorted, each once.
std::string BaselineText(const std::vector<Violation>& violations);
/// Writes BaselineText to `fileName` through a file beside it, so that a failed write leaves
/// the old baseline as it was; EInOutError says why it failed.
void WriteBaseline(const std::string& fileName, const std::vector<Violation>& violations);

} // namespace ut::rules
