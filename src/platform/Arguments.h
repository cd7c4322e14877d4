#pragma once
// What the program is given by its environment: the command-line arguments and the
// environment variables, as UTF-8 text.
#include <cstdio>
#include <string>
#include <vector>

namespace ut::platform {

/// The arguments after the program name. On Windows they are read from the UTF-16 command
/// line (GetCommandLineW), so names outside the ANSI code page arrive intact; `argv` is used
/// elsewhere.
std::vector<std::string> ProgramArguments(int argc, char** argv);

/// The value of the environment variable `name`, empty when it is not set. On Windows read
/// as UTF-16 (_wgetenv), so directories outside the ANSI code page arrive intact.
std::string EnvironmentVariable(const char* name);

/// Makes `out` (standard output) take bytes as they are: on Windows its text mode would
/// write every line feed as CR LF, doubling the CR of a CR LF line a patch carries.
void WriteBytesAsTheyAre(std::FILE* out);

} // namespace ut::platform
