#pragma once
// Texts of the sources (bytes in the sources' code page) as UTF-8 for documents.
#include <string>

namespace ut {

/// `s` as UTF-8: valid UTF-8 stays, other bytes are read as Windows-1252 (the sources'
/// code page), so every text of a document is valid.
std::string ToUtf8(const std::string& s);

} // namespace ut
