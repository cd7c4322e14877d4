#pragma once
// Reads the names of the libraries that a PE32 or PE32+ image (Windows .exe, .dll, .bpl)
// imports, straight from its import and delay-import directories.
#include <string>
#include <string_view>
#include <vector>

namespace ut {

/// True when the bytes start like a DOS/PE image ("MZ").
bool LooksLikePe(std::string_view bytes);

/// The imported library names: the import directory's entries in file order, then the
/// delay-import directory's. Throws EParserError for a malformed or truncated image.
std::vector<std::string> ReadPeImports(std::string_view bytes);

} // namespace ut
