#pragma once
// A rules file: TOML whose arrays of tables [[layers]], [[forbid]], [[independent]],
// [[acyclic]] and [[budget]] each hold rules of that kind, every one with a `name` and a
// `severity` ("error", the default, or "warn"). A unit set is a pattern or an array of them.
#include "rules/Rule.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace ut::rules {

struct RuleSet {
    std::string File;    ///< as it was named
    std::string BaseDir; ///< the full path of its directory, where path patterns start
    std::vector<std::unique_ptr<Rule>> Rules; ///< in the file's order
};

/// Reads a rules file. ERulesError says what is wrong, after "FILE:LINE:COLUMN: ".
RuleSet LoadRules(const std::string& fileName);
/// The rules of `text`; path patterns start from `baseDir` (a full path).
RuleSet ParseRules(std::string_view text, const std::string& fileName, const std::string& baseDir);

} // namespace ut::rules
