#pragma once
// --rules, --baseline, --update-baseline and --audit: the files read before the scan, the
// checks after it, what they add to the output and to the exit status.
#include "cli/CliOptions.h"
#include "report/JsonWriter.h"
#include "rules/Audit.h"
#include "rules/RuleCheck.h"

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace ut::cli {

class RulesRun {
  public:
    explicit RulesRun(const CliOptions& options);

    /// Whether the scan's analysis is wanted.
    bool Active() const { return FOptions.Rules || FAudit; }
    /// Reads the rules file and the baseline; false, with the message on `err`, when one
    /// cannot be used (a baseline still to be written may be missing).
    bool Load(std::FILE* err);
    /// Checks the scan; the sets that match nothing and the checks not made go to `err`.
    void Check(const ProjectScan& scan, const DependencyAnalysis& analysis, std::FILE* err);

    void AddSections(report::ScanSummary& summary) const;
    /// What the text format prints after the log.
    std::string Text() const;
    std::string Sarif(bool completed) const;
    /// After a completed scan: writes the baseline when asked, and names each offender of
    /// the rules and the gates asked for on `err`. Returns 0, 1 (the baseline could not be
    /// written) or 3 (an offender).
    int Finish(std::FILE* err) const;

  private:
    const CliOptions& FOptions;
    bool FAudit = false;
    /// The baseline's full path: the scan changes the current directory.
    std::string FBaselineFile;
    rules::RuleSet FRules;
    std::optional<rules::Baseline> FBaseline;
    std::optional<rules::RulesOutcome> FOutcome;
    std::optional<rules::AuditReport> FAuditReport;
};

} // namespace ut::cli
