#pragma once
// unitrace-cli diff OLD.json NEW.json: what changed between two results.
#include "analysis/ResultDiff.h"

#include <cstdio>
#include <string>
#include <vector>

namespace ut::cli {

/// Runs the diff subcommand with `args` (after "diff"). Exit status: 0 done, 2 bad usage or
/// an unreadable result, 3 when a --fail-on condition holds.
int RunDiff(const std::vector<std::string>& args, std::FILE* out, std::FILE* err);

/// The diff as text: one section per kind of change, "No differences" when there is none.
std::string DiffText(const ResultDiff& diff);
/// The diff as a JSON document.
std::string DiffJson(const ResultDiff& diff);

} // namespace ut::cli
