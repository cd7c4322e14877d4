#pragma once
// The rules' verdict and the audit as text lines and as JSON sections, for both front ends.
#include "rules/Audit.h"
#include "rules/RuleCheck.h"

#include <nlohmann/json.hpp>

#include <string>
#include <utility>
#include <vector>

namespace ut::report {

/// "rule: From -> To (interface, file:line)", or "rule: Unit: N bytes exclusive, over M
/// (file)" for a budget; a path's steps follow on lines of their own, two blanks in.
std::string ViolationText(const rules::Violation& v);
/// "file:line", or the file alone when the line is not known; a file below `baseDir` (which
/// ends with a separator) named from there.
std::string ViolationSite(const rules::Violation& v, const std::string& baseDir = {});
/// The used unit; for a budget "N bytes exclusive, over M".
std::string ViolationTarget(const rules::Violation& v);
/// "2 violations (1 error, 1 warning)", or with a baseline "Baseline: N known, M fixed, K new".
std::string RulesSummary(const rules::RulesOutcome& outcome);
/// The note of a marked uses entry, a line per violation it tells: "Breaks core-not-vcl
/// (error, new)", a reach rule's followed by ": reaches Vcl.Forms through Utils".
std::string EdgeNote(const std::vector<const rules::Violation*>& violations, bool hasBaseline);
/// Every violation (only the new ones when there is a baseline) and the closing count:
/// "2 violations (1 error, 1 warning)" or "Baseline: N known, M fixed, K new" with the fixed
/// entries.
std::string RulesText(const rules::RulesOutcome& outcome);
/// The sets that match no unit and the checks not made, one line each.
std::vector<std::string> RulesWarnings(const rules::RulesOutcome& outcome);

/// [{"rule", "severity", "from", "to", "interface", "file", "line", "path" (a path's rules),
///   "size", "maxBytes" (budgets), "known" (with a baseline)}]
nlohmann::ordered_json ViolationsJson(const rules::RulesOutcome& outcome);
/// {"file", "unmatched": [{"rule", "set", "patterns"}], "notes", "baseline": {"file",
///  "known", "fixed": [entries], "new"} (only with one)}
nlohmann::ordered_json RulesJson(const rules::RulesOutcome& outcome, const std::string& rulesFile,
                                 const std::string& baselineFile);

/// Each finding as its name and its text ("shadowed-units", "Utils: a.pas, hiding b.pas").
std::vector<std::pair<std::string, std::string>> AuditLines(const rules::AuditReport& audit);
/// "Audit:" and a line per finding, "name: text", or "Audit: no findings".
std::string AuditText(const rules::AuditReport& audit);
/// {"shadowed-units": [{"unit", "used", "hidden"}], "missing-paths": [{"list", "entry",
///  "directory"}], "package-overlap": [{"unit", "packages"}], "outside-in-files": [{"unit",
///  "file"}], "mismatched-library-units": [{"directory", "sourcesOnly", "compiledOnly"}],
///  "notes": [..]}
nlohmann::ordered_json AuditJson(const rules::AuditReport& audit);

} // namespace ut::report
