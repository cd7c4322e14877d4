// Running a program on Windows: CreateProcessW with a command line quoted from the argument
// vector, so that the program's runtime splits it back into the same arguments; no shell.
#include "platform/Process.h"

#include "platform/WinText.h"

#include <algorithm>
#include <windows.h>

namespace ut::platform {

namespace {

/// Owns a handle.
class THandle {
  public:
    explicit THandle(HANDLE h = nullptr) : FHandle(h == INVALID_HANDLE_VALUE ? nullptr : h) {}
    ~THandle() {
        if (FHandle)
            CloseHandle(FHandle);
    }
    THandle(const THandle&) = delete;
    THandle& operator=(const THandle&) = delete;
    HANDLE Get() const { return FHandle; }

  private:
    HANDLE FHandle;
};

HANDLE OpenInheritable(const std::string& path, DWORD access, DWORD disposition) {
    SECURITY_ATTRIBUTES sa{sizeof(sa), nullptr, TRUE};
    return CreateFileW(Widen(path).c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa,
                       disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// An argument as the runtime's parser reads it back: in quotes when it holds a blank or a
// quote or is empty; a quote escaped with '\'; backslashes doubled where a quote follows them.
void AppendQuoted(std::string& line, const std::string& arg) {
    if (!arg.empty() && arg.find_first_of(" \t\n\v\"") == std::string::npos) {
        line += arg;
        return;
    }
    line += '"';
    size_t backslashes = 0;
    for (const char c : arg) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        line.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
        backslashes = 0;
        line += c;
    }
    line.append(backslashes * 2, '\\');
    line += '"';
}

bool HasExtension(const std::string& path) {
    const size_t dot = path.rfind('.');
    return dot != std::string::npos && path.find_first_of("\\/", dot) == std::string::npos;
}

bool IsRegularFile(const std::string& path) {
    const DWORD a = GetFileAttributesW(Widen(path).c_str());
    return a != INVALID_FILE_ATTRIBUTES &&
           !(a & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE));
}

// The program file `path` names: itself, or with ".exe" added when it has no extension.
std::string ProgramFile(const std::string& path) {
    if (path.empty())
        return {};
    if (IsRegularFile(path))
        return path;
    if (!HasExtension(path) && IsRegularFile(path + ".exe"))
        return path + ".exe";
    return {};
}

} // namespace

std::string QuoteCommandLine(const std::vector<std::string>& argv) {
    std::string line;
    for (size_t i = 0; i < argv.size(); ++i) {
        if (i > 0)
            line += ' ';
        // The program's name is read up to the closing quote, without escapes; a file name
        // holds no quote.
        if (i == 0 && argv[0].find_first_of(" \t") != std::string::npos)
            line += '"' + argv[0] + '"';
        else
            AppendQuoted(line, argv[i]);
    }
    return line;
}

TProcessResult RunProcess(const std::vector<std::string>& argv, const std::string& stdoutFile,
                          std::chrono::milliseconds timeLimit, const std::atomic<bool>* cancel) {
    TProcessResult result;
    if (argv.empty()) {
        result.Error = "no program to run";
        return result;
    }
    THandle out(OpenInheritable(stdoutFile, GENERIC_WRITE, CREATE_ALWAYS));
    if (!out.Get()) {
        result.Error = "cannot open " + stdoutFile + ": " + SystemMessage(GetLastError());
        return result;
    }
    THandle in(OpenInheritable("NUL", GENERIC_READ, OPEN_EXISTING));
    HANDLE errCopy = nullptr;
    const HANDLE err = GetStdHandle(STD_ERROR_HANDLE);
    if (err && err != INVALID_HANDLE_VALUE)
        DuplicateHandle(GetCurrentProcess(), err, GetCurrentProcess(), &errCopy, 0, TRUE,
                        DUPLICATE_SAME_ACCESS);
    THandle errInherited(errCopy);

    STARTUPINFOW si{};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = in.Get();
    si.hStdOutput = out.Get();
    si.hStdError = errInherited.Get();

    // A job holds the program and whatever it starts, so that a timeout ends them all.
    THandle job(CreateJobObjectW(nullptr, nullptr));
    std::wstring commandLine = Widen(QuoteCommandLine(argv));
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE,
                        CREATE_SUSPENDED | CREATE_NO_WINDOW, nullptr, nullptr, &si, &pi)) {
        result.Error = "cannot run " + argv[0] + ": " + SystemMessage(GetLastError());
        return result;
    }
    THandle process(pi.hProcess);
    THandle thread(pi.hThread);
    if (job.Get())
        AssignProcessToJobObject(job.Get(), process.Get());
    ResumeThread(thread.Get());
    result.Started = true;

    // Waits in short steps, so that a caller's cancel flag is seen.
    const auto deadline = std::chrono::steady_clock::now() + timeLimit;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        const DWORD step = static_cast<DWORD>(std::clamp<long long>(left.count(), 0, 50));
        if (WaitForSingleObject(process.Get(), step) == WAIT_OBJECT_0) {
            DWORD code = 0;
            GetExitCodeProcess(process.Get(), &code);
            result.ExitCode = static_cast<int>(code);
            return result;
        }
        if (cancel && cancel->load()) {
            result.Cancelled = true;
            break;
        }
        if (left.count() <= 0)
            break;
    }
    if (job.Get())
        TerminateJobObject(job.Get(), 1);
    TerminateProcess(process.Get(), 1);
    WaitForSingleObject(process.Get(), INFINITE);
    result.TimedOut = !result.Cancelled;
    result.ExitCode = -1;
    return result;
}

bool IsExecutableFile(const std::string& path) {
    return !ProgramFile(path).empty();
}

std::string FindOnPath(const std::string& name, const std::string& searchPath) {
    if (name.empty() || name.find_first_of("\\/:") != std::string::npos)
        return ProgramFile(name);
    size_t start = 0;
    while (start <= searchPath.size()) {
        size_t end = searchPath.find(';', start);
        if (end == std::string::npos)
            end = searchPath.size();
        std::string dir = searchPath.substr(start, end - start);
        if (dir.empty())
            dir = ".";
        const char last = dir.back();
        const std::string found =
            ProgramFile(dir + (last == '\\' || last == '/' ? "" : "\\") + name);
        if (!found.empty())
            return found;
        start = end + 1;
    }
    return {};
}

} // namespace ut::platform
