#pragma once
// The program's command-line arguments as UTF-8 text.
#include <string>
#include <vector>

namespace ut::platform {

/// The arguments after the program name. On Windows they are read from the UTF-16 command
/// line (GetCommandLineW), so names outside the ANSI code page arrive intact; `argv` is used
/// elsewhere.
std::vector<std::string> ProgramArguments(int argc, char** argv);

} // namespace ut::platform
