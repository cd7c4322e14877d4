#pragma once
// Running an external program: an argument vector (no shell, so names with blanks or shell
// characters pass through unchanged), standard output into a file, a bounded wait.
#include <atomic>
#include <chrono>
#include <string>
#include <vector>

namespace ut::platform {

struct TProcessResult {
    bool Started = false;   ///< the program could be started
    bool TimedOut = false;  ///< killed after the time limit
    bool Cancelled = false; ///< killed because the caller asked for it
    /// The exit status; 128 + signal number when a signal ended it; -1 when it was not
    /// started or timed out.
    int ExitCode = -1;
    std::string Error; ///< why it was not started, for the log
};

/// Runs `argv[0]` (looked up on PATH when it has no '/') with the arguments `argv`, in the
/// caller's environment and current directory. Standard input reads nothing; standard
/// output is written to `stdoutFile` (created or truncated); standard error is inherited.
/// Waits at most `timeLimit`, and only while `cancel` (when given) stays false; then the
/// program and its process group are killed.
TProcessResult RunProcess(const std::vector<std::string>& argv, const std::string& stdoutFile,
                          std::chrono::milliseconds timeLimit,
                          const std::atomic<bool>* cancel = nullptr);

/// True when `path` names a regular file that the caller may execute.
bool IsExecutableFile(const std::string& path);

/// The first `dir/name` on the colon-separated `searchPath` that is executable; an empty
/// entry means the current directory. Empty when there is none.
std::string FindOnPath(const std::string& name, const std::string& searchPath);

} // namespace ut::platform
