#include "platform/Arguments.h"
#include "platform/WinText.h"

#include <windows.h>

#include <shellapi.h>

#include <cstdlib>
#include <fcntl.h>
#include <io.h>

namespace ut::platform {

// The `argv` of the C runtime holds the ANSI code page's text, where other characters
// became '?'; the wide command line split by the same rules has them all.
std::vector<std::string> ProgramArguments(int argc, char** argv) {
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!wide)
        return argc < 1 ? std::vector<std::string>{}
                        : std::vector<std::string>(argv + 1, argv + argc);
    std::vector<std::string> args;
    for (int i = 1; i < count; ++i)
        args.push_back(Narrow(wide[i]));
    LocalFree(wide);
    return args;
}

std::string EnvironmentVariable(const char* name) {
    const wchar_t* value = _wgetenv(Widen(name).c_str());
    return value ? Narrow(value) : std::string();
}

void WriteBytesAsTheyAre(std::FILE* out) {
    std::fflush(out);
    _setmode(_fileno(out), _O_BINARY);
}

} // namespace ut::platform
