#include "cli/CliFrontEnd.h"

#include "support/Textutil.h"

#include <cerrno>
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

void CliFrontEnd::AppendLog(const std::string& text, LogStyle style) {
    std::vector<std::string> lines;
    SplitToList(text, "\n", lines);
    if (lines.empty())
        lines.emplace_back();
    for (std::string& line : lines) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (FEcho) {
            const char* on = "";
            if (FColours && (style & lsItalic))
                on = "\x1b[3;31m";
            else if (FColours && (style & lsBold))
                on = "\x1b[1m";
            if (std::fprintf(FOut, "%s%s%s\n", on, line.c_str(), *on ? "\x1b[0m" : "") < 0 &&
                FWriteError == 0)
                FWriteError = errno;
        }
        FLog.push_back({line, style});
    }
    if (FEcho && std::fflush(FOut) != 0 && FWriteError == 0)
        FWriteError = errno;
}

void CliFrontEnd::ErrorMessage(const std::string& text) {
    std::fprintf(FErr, "error: %s\n", text.c_str());
}

void CliFrontEnd::Warning(const std::string& text) {
    std::string flat;
    for (char c : text)
        if (c != '\r')
            flat += c;
    std::fprintf(FErr, "warning: %s\n", flat.c_str());
}

} // namespace ut::cli
