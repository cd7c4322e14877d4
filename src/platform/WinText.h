#pragma once
// Windows only: the program's UTF-8 text at the boundary to the UTF-16 Win32 calls.
#include <string>
#include <string_view>

namespace ut::platform {

/// UTF-8 to UTF-16; bytes that are not UTF-8 become U+FFFD.
std::wstring Widen(std::string_view utf8);
/// UTF-16 to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string Narrow(std::wstring_view utf16);
/// The system's text for an error code (GetLastError()), without the trailing line break.
std::string SystemMessage(unsigned long code);

} // namespace ut::platform
