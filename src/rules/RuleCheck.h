#pragma once
// A rule set checked against a finished scan, with the baseline's verdict: what the window
// and the command line show.
#include "rules/Baseline.h"
#include "rules/RuleGraph.h"
#include "rules/RulesFile.h"

#include <string>
#include <vector>

namespace ut::rules {

/// A unit set of a rule that holds no unit: the rule has rotted or is misspelt.
struct UnmatchedSet {
    std::string Rule;
    std::string Set;      ///< the key that names it ("from", "sets[1]")
    std::string Patterns; ///< as the rules file writes them
};

struct RulesOutcome {
    /// By rule in the file's order, then by using unit and used unit.
    std::vector<Violation> Violations;
    std::vector<UnmatchedSet> Unmatched;
    std::vector<std::string> Notes; ///< checks that could not be made, and why
    bool HasBaseline = false;
    int Known = 0, New = 0;
    /// Baseline entries that no violation matches any more, in the baseline's order.
    std::vector<std::string> Fixed;

    /// New violations of severity "error": what fails a build.
    int NewErrors() const;
};

RulesOutcome CheckRules(const RuleSet& rules, const RuleGraph& graph,
                        const Baseline* baseline = nullptr);
/// The rules checked against a scan and its analysis.
RulesOutcome CheckScan(const RuleSet& rules, const DependencyAnalysis& analysis,
                       const ProjectScan& scan, const Baseline* baseline = nullptr);
/// The rules of the file `rulesFile` checked against a scan, with the baseline of
/// `baselineFile` when one is named; relative names start from the project's directory.
/// ERulesError says which file could not be read, and why.
RulesOutcome CheckScanFiles(const std::string& rulesFile, const std::string& baselineFile,
                            const DependencyAnalysis& analysis, const ProjectScan& scan);

} // namespace ut::rules
