#pragma once
// Texts of the sources (bytes in the sources' code page) as UTF-8 for documents.
#include <cstddef>
#include <string>
#include <string_view>

namespace ut {

/// Length of the well-formed UTF-8 sequence that starts at `s[i]` (the Unicode standard's
/// table of well-formed byte sequences: no overlong form, no surrogate, nothing above
/// U+10FFFF); 0 when the bytes there are none.
std::size_t Utf8SequenceLength(std::string_view s, std::size_t i);

/// Appends `s` as UTF-8: well-formed UTF-8 stays, every other byte is read as Windows-1252
/// (the sources' code page), so the text appended is always well-formed.
void AppendUtf8(std::string& out, std::string_view s);

/// `s` as AppendUtf8 writes it.
std::string ToUtf8(std::string_view s);

} // namespace ut
