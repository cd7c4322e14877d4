#include "cli/CliFrontEnd.h"

#include "support/Textutil.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <system_error>

namespace ut::cli {

namespace {

volatile std::sig_atomic_t interrupted = 0;
int guards = 0;
void (*previousHandler)(int) = SIG_DFL;

extern "C" void OnInterrupt(int) {
    if (interrupted) {
        // A second press before the first was honoured (a read that does not return): end
        // the process as Ctrl+C does.
        std::signal(SIGINT, SIG_DFL);
        std::raise(SIGINT);
        return;
    }
    interrupted = 1;
}

} // namespace

InterruptGuard::InterruptGuard() {
    if (guards++ > 0)
        return;
    interrupted = 0;
    previousHandler = std::signal(SIGINT, OnInterrupt);
}

InterruptGuard::~InterruptGuard() {
    if (--guards == 0)
        std::signal(SIGINT, previousHandler);
}

bool InterruptGuard::Interrupted() {
    return interrupted != 0;
}

void InterruptGuard::Raise() {
    interrupted = 1;
}

bool CliFrontEnd::ProcessEvents() {
    return InterruptGuard::Interrupted();
}

CliFrontEnd::CliFrontEnd(std::FILE* out, std::FILE* err, bool echo, bool colours, Pause pause)
    : FOut(out), FErr(err), FEcho(echo), FColours(colours), FPause(std::move(pause)) {
    if (!FEcho)
        return;
    try {
        FFlusher = std::thread([this] { FlushLater(); });
    } catch (const std::system_error&) {
        // No thread to spare (a process limit): each line is flushed as it is written.
    }
}

CliFrontEnd::~CliFrontEnd() {
    {
        const std::lock_guard lock(FMutex);
        FStop = true;
    }
    FWake.notify_all();
    if (FFlusher.joinable())
        FFlusher.join();
    FlushLog();
}

void CliFrontEnd::AppendLog(const LogLine& line) {
    if (FEcho) {
        const char* on = "";
        if (FColours && (line.Style & lsItalic))
            on = "\x1b[3;31m";
        else if (FColours && (line.Style & lsBold))
            on = "\x1b[1m";
        // The indentation is written from a block of blanks: a deep walk's lines are
        // mostly indentation, which is never held as text.
        static const std::string blanks(4096, ' ');
        size_t indent = static_cast<size_t>(line.Depth) * LogIndentWidth;
        std::unique_lock lock(FMutex);
        bool failed = std::fputs(on, FOut) < 0;
        while (indent > 0 && !failed) {
            const size_t n = std::min(indent, blanks.size());
            failed = std::fwrite(blanks.data(), 1, n, FOut) != n;
            indent -= n;
        }
        failed =
            failed || std::fprintf(FOut, "%s%s\n", line.Text.c_str(), *on ? "\x1b[0m" : "") < 0;
        if (failed && FWriteError == 0)
            FWriteError = errno;
        // A terminal sees each line at once (stdio buffers it by lines); a file or a pipe
        // gets what has come at least every tenth of a second, not a write per line.
        if (!FFlusher.joinable()) {
            FlushLocked();
        } else if (!FPending) {
            FPending = true;
            lock.unlock();
            FWake.notify_all();
        }
    }
    FLog.push_back(line);
}

void CliFrontEnd::FlushLater() {
    std::unique_lock lock(FMutex);
    for (;;) {
        FWake.wait(lock, [this] { return FStop || FPending; });
        if (FStop)
            return;
        if (FPause) {
            lock.unlock();
            FPause();
            lock.lock();
        } else {
            FWake.wait_for(lock, FlushInterval, [this] { return FStop; });
        }
        if (FStop)
            return; // the destructor flushes
        FlushLocked();
    }
}

void CliFrontEnd::FlushLocked() {
    FPending = false;
    if (std::fflush(FOut) != 0 && FWriteError == 0)
        FWriteError = errno;
}

void CliFrontEnd::FlushLog() {
    const std::lock_guard lock(FMutex);
    FlushLocked();
}

int CliFrontEnd::WriteError() const {
    const std::lock_guard lock(FMutex);
    return FWriteError;
}

void CliFrontEnd::ErrorMessage(const std::string& text) {
    FlushLog(); // the log's lines before it, also where both streams go to one file
    std::fprintf(FErr, "error: %s\n", text.c_str());
}

void CliFrontEnd::Warning(const std::string& text) {
    std::string flat;
    for (char c : text)
        if (c != '\r')
            flat += c;
    FlushLog();
    std::fprintf(FErr, "warning: %s\n", flat.c_str());
}

} // namespace ut::cli
