#pragma once
// The libraries an executable file imports, read from the file itself: PE images (the
// import and delay-import directories) and ELF files (the DT_NEEDED entries).
#include <string>
#include <string_view>
#include <vector>

namespace ut {

/// Imported library names of the PE or ELF image in `bytes`, in the file's order.
/// Throws EParserError when the bytes are neither, or are malformed or truncated.
std::vector<std::string> ReadImportsFromBytes(std::string_view bytes);

/// ReadImportsFromBytes of a file's contents; EFOpenError when it cannot be read.
std::vector<std::string> ReadImports(const std::string& path);

} // namespace ut
