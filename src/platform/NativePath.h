#pragma once
// A path for the standard library's file functions (streams, std::filesystem).
#include <filesystem>
#include <string>

namespace ut::platform {

/// The program's path text as the system names the file: on Windows the UTF-8 text becomes
/// UTF-16, so names outside the ANSI code page reach the file; elsewhere the bytes pass as
/// they are.
std::filesystem::path NativePath(const std::string& path);

} // namespace ut::platform
