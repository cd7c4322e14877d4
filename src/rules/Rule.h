#pragma once
// One rule of a rules file and what it finds. Each kind of rule is a class of its own with
// one check; reading them from the file is RulesFile's business.
#include "rules/RuleGraph.h"
#include "rules/UnitSet.h"

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace ut::rules {

enum class Severity { Error, Warn };
const char* SeverityName(Severity s); ///< "error", "warn"

/// One uses entry on a violation's path.
struct ViolationStep {
    std::string From, To;
    bool Interface = false;
    std::string File;
    int Line = 0;
};

struct Violation {
    std::string Rule;
    Severity Level = Severity::Error;
    std::string From;
    std::string To;         ///< empty for a size budget
    bool Interface = false; ///< the section of From's uses entry
    std::string File;       ///< where that entry stands (a budget: From's source)
    int Line = 0;           ///< 0: not known
    /// A rule that looks beyond direct uses: the entries from From to To.
    std::vector<ViolationStep> Path;
    std::optional<std::int64_t> Size, MaxBytes; ///< a size budget's figures
    bool Known = false;                         ///< the baseline lists it

    /// How a baseline lists it: "rule: From -> To", or "rule: From" for a budget.
    std::string Entry() const;
};

class Rule {
  public:
    virtual ~Rule() = default;
    std::string Name;
    Severity Level = Severity::Error;
    int Line = 0; ///< where the rule starts in its file

    virtual const char* Kind() const = 0;
    /// What the rule demands, in one line.
    virtual std::string Describe() const = 0;
    /// The rule's unit sets, each with the key that names it ("from", "sets[2]").
    virtual std::vector<std::pair<std::string, const UnitSet*>> Sets() const = 0;
    /// Appends the violations, by using unit in the graph's order; a check that cannot be
    /// made says why in `notes`.
    virtual void Check(const RuleGraph& graph, std::vector<Violation>& out,
                       std::vector<std::string>& notes) const = 0;

  protected:
    /// A violation of this rule by entry `edge` of node `from`.
    Violation MakeViolation(const RuleGraph& graph, int from, const RuleEdge& edge) const;
};

} // namespace ut::rules
