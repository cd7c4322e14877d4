#pragma once
// The rules' violations as a SARIF 2.1.0 log, the format of code-scanning pages: one run of
// Uni-Trace whose driver lists the rules, one result per violation at the uses entry.
#include "rules/RuleCheck.h"

#include <string>

namespace ut::report {

/// Files under the rules file's directory are named relative to it ("SRCROOT"), others by
/// their full file URI.
/// `completed`: the scan ran to its end.
std::string SarifDocument(const rules::RuleSet& rules, const rules::RulesOutcome& outcome,
                          bool completed = true);

/// `path` as a URI reference: '\' as '/', every byte but letters, digits, "-._~/" and ':'
/// after a drive letter percent-encoded.
std::string UriPath(const std::string& path);

} // namespace ut::report
