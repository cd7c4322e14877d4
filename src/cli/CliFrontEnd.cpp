#include "cli/CliFrontEnd.h"

#include "support/Textutil.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>

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
        if (const auto now = std::chrono::steady_clock::now(); now - FFlushed >= FlushInterval) {
            FlushLog();
            FFlushed = now;
        }
    }
    FLog.push_back(line);
}

void CliFrontEnd::FlushLog() {
    if (std::fflush(FOut) != 0 && FWriteError == 0)
        FWriteError = errno;
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
