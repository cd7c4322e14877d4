#pragma once
// Lists a file's imported libraries by running the dump tool ("tdump -e FILE") and reading
// the "Imports from NAME" lines it writes to a temporary file. The tool is started with an
// argument vector, not through a shell, so any file name passes through unchanged, and a
// tool that hangs is stopped after a time limit.
#include "platform/Process.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <istream>
#include <string>
#include <vector>

namespace ut {

inline constexpr const char* DumpToolName = "tdump";
inline constexpr std::chrono::milliseconds DumpTimeLimit{30000};

/// Where the dump tool is: `appDir`/tdump first, then the first tdump on `searchPath`
/// (colon-separated). Empty when there is none.
std::string FindDumpTool(const std::string& appDir, const std::string& searchPath);
/// FindDumpTool with the process's PATH.
std::string FindDumpTool(const std::string& appDir);

enum class TDumpStatus {
    Listed,     ///< the tool ended with exit code 0 and its output was read
    NoTempFile, ///< no temporary file could be created
    NotStarted, ///< the tool is missing or could not be started
    Failed,     ///< the tool ended with a non-zero exit code
    TimedOut,   ///< the tool was killed after the time limit
    Cancelled,  ///< the tool was killed because the caller asked for it
};

struct TDumpResult {
    TDumpStatus Status = TDumpStatus::NotStarted;
    int ExitCode = -1;
    std::vector<std::string> Imports; ///< the dumped names, in the dump's order
    /// Why nothing was listed, for the log; empty when Listed. The page logs it for a
    /// timeout; the other failures leave the node without children silently.
    std::string Message;
};

struct TDumpOptions {
    std::string ToolPath; ///< the dump tool (see FindDumpTool)
    std::chrono::milliseconds TimeLimit = DumpTimeLimit;
    /// Called with true before the tool starts and with false when ListImports returns,
    /// on every path: where the front end shows and restores its wait cursor.
    std::function<void(bool busy)> OnBusy;
    /// Set (from any thread) to stop the tool; null: the run cannot be stopped.
    const std::atomic<bool>* Cancel = nullptr;
};

/// Runs `argv` with its standard output written to `outFile`, waiting at most `timeLimit`.
platform::TProcessResult RunAndWait(const std::vector<std::string>& argv,
                                    const std::string& outFile, std::chrono::milliseconds timeLimit,
                                    const std::atomic<bool>* cancel = nullptr);

/// The names that the dump lines beginning with "Imports from" (letters in any case) give:
/// the text after the first 13 characters, trimmed. Empty names and other lines are skipped.
std::vector<std::string> ReadDumpOutput(std::istream& in);
/// ReadDumpOutput of a file; nothing when the file does not exist.
std::vector<std::string> ReadDumpOutput(const std::string& fileName);

/// Dumps `fileName` with the tool into a new temporary file (prefix "usg"), reads its
/// import lines when the tool succeeded, and deletes the temporary file in every case.
/// A failing tool is reported in the result, not thrown; EInOutError only when the dump
/// file cannot be read.
TDumpResult ListImports(const std::string& fileName, const TDumpOptions& options);

} // namespace ut
