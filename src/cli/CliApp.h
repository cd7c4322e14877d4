#pragma once
#include <cstdio>
#include <string>
#include <vector>

namespace ut::cli {

/// Runs unitrace-cli with `args` (without the program name). Exit status: 0 when the scan
/// ran to its end, 1 when it failed or was aborted or its output could not be written, 2 for
/// a command-line error.
int RunCli(const std::vector<std::string>& args, std::FILE* out = stdout, std::FILE* err = stderr);

} // namespace ut::cli
