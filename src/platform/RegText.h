#pragma once
// Text pieces of registry files: escaped strings, hex byte lists, UTF-16 text.
#include <optional>
#include <string>
#include <string_view>

namespace ut::regtext {

/// Value of a hex digit, -1 for any other character.
int HexDigit(char c);

std::string_view TrimView(std::string_view s);

/// Reads an escaped text from `s[pos]` up to the unescaped `close`, and leaves `pos` after
/// it. Windows exports escape only '\' and '"'; Wine writes C-style escapes and \x codes of
/// UTF-16 units. Nullopt when `close` never comes; a NUL `close` reads to the end.
std::optional<std::string> ReadEscaped(std::string_view s, size_t& pos, char close, bool wine);

/// Comma-separated hex bytes ("25,00,53,00"); nullopt when one is not a byte.
std::optional<std::string> ParseHexBytes(std::string_view text);

/// UTF-16LE bytes to UTF-8, stopping at the first NUL code unit when `stopAtNul`.
std::string Utf16ToUtf8(std::string_view bytes, bool stopAtNul);

} // namespace ut::regtext
