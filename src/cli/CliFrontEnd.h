#pragma once
// The scan's front end on a terminal: log lines go to standard output as they come (bold
// and red italics only on a terminal), or are only kept for the JSON document.
#include "scan/ScanFrontEnd.h"

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
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
    /// What the log's flusher does between a line's write and the flush, in place of
    /// waiting a tenth of a second (tests hold it there).
    using Pause = std::function<void()>;

    /// `out` receives the log when `echo` is set; messages and warnings go to `err`.
    CliFrontEnd(std::FILE* out, std::FILE* err, bool echo, bool colours, Pause pause = {});
    ~CliFrontEnd() override;
    CliFrontEnd(const CliFrontEnd&) = delete;
    CliFrontEnd& operator=(const CliFrontEnd&) = delete;

    void AppendLog(const LogLine& line) override;
    void ClearLog() override { FLog.clear(); }
    void ErrorMessage(const std::string& text) override;
    void Warning(const std::string& text) override;
    /// True once Ctrl+C was pressed while the interrupt guard is installed.
    bool ProcessEvents() override;

    const std::vector<LogLine>& Entries() const { return FLog; }
    /// The error number of the first log line that could not be written, 0 when none.
    int WriteError() const;
    /// Writes out the log's lines so far: before any other text on standard error, which
    /// may go to the same file.
    void FlushLog();

  private:
    static constexpr std::chrono::milliseconds FlushInterval{100};
    /// The flusher's loop: a line written unflushed is flushed a tenth of a second later,
    /// whether or not another line comes.
    void FlushLater();
    void FlushLocked();

    std::FILE* FOut;
    std::FILE* FErr;
    bool FEcho;
    bool FColours;
    Pause FPause;
    mutable std::mutex FMutex; ///< guards FOut's lines, FPending, FStop and FWriteError
    std::condition_variable FWake;
    bool FPending = false; ///< lines written since the last flush
    bool FStop = false;
    int FWriteError = 0;
    std::thread FFlusher; ///< not started when the log is not shown, or when it cannot be
    std::vector<LogLine> FLog;
};

} // namespace ut::cli
