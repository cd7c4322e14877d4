#pragma once
// unitrace-cli diff OLD.json NEW.json: what changed between two results.
#include <cstdio>
#include <string>
#include <vector>

namespace ut::cli {

/// Runs the diff subcommand with `args` (after "diff"). Exit status: 0 done, 2 bad usage or
/// an unreadable result, 3 when a --fail-on condition holds.
int RunDiff(const std::vector<std::string>& args, std::FILE* out, std::FILE* err);

} // namespace ut::cli
