#pragma once
// Reads the DT_NEEDED entries of an ELF file (32 or 64 bit, either byte order): the shared
// libraries the dynamic loader brings in for it.
#include <string>
#include <string_view>
#include <vector>

namespace ut {

/// True when the bytes start with the ELF magic.
bool LooksLikeElf(std::string_view bytes);

/// The DT_NEEDED names in the order of the dynamic section; empty for a file without one
/// (a static executable, an object file). Throws EParserError for a malformed file.
std::vector<std::string> ReadElfImports(std::string_view bytes);

} // namespace ut
