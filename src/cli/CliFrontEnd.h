#pragma once
// The scan's front end on a terminal: log lines go to standard output as they come (bold
// and red italics only on a terminal), or are only kept for the JSON document.
#include "scan/ScanFrontEnd.h"

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace ut::cli {

/// While it lives, Ctrl+C does not end the process: it asks the scan to abort, as Escape
/// does in the window; a second press before the first is honoured ends the process. Guards
/// nest: a press belongs to the outermost one, which starts without one.
class InterruptGuard {
  public:
    InterruptGuard();
    ~InterruptGuard();
    InterruptGuard(const InterruptGuard&) = delete;
    InterruptGuard& operator=(const InterruptGuard&) = delete;
    static bool Interrupted();
    /// For tests: behave as if Ctrl+C had been pressed.
    static void Raise();
};

class CliFrontEnd : public ScanFrontEnd {
  public:
    /// `out` receives the log when `echo` is set; messages and warnings go to `err`.
    CliFrontEnd(std::FILE* out, std::FILE* err, bool echo, bool colours)
        : FOut(out), FErr(err), FEcho(echo), FColours(colours) {}

    void AppendLog(const LogLine& line) override;
    void ClearLog() override { FLog.clear(); }
    void ErrorMessage(const std::string& text) override;
    void Warning(const std::string& text) override;
    /// True once Ctrl+C was pressed while the interrupt guard is installed.
    bool ProcessEvents() override;

    const std::vector<LogLine>& Entries() const { return FLog; }
    /// The error number of the first log line that could not be written, 0 when none.
    int WriteError() const { return FWriteError; }

  private:
    static constexpr std::chrono::milliseconds FlushInterval{100};
    void FlushLog();

    std::FILE* FOut;
    std::FILE* FErr;
    bool FEcho;
    bool FColours;
    int FWriteError = 0;
    std::chrono::steady_clock::time_point FFlushed{};
    std::vector<LogLine> FLog;
};

} // namespace ut::cli
