#pragma once
// Names of temporary files for the output of external tools (the files themselves are the
// platform's). Owned lists and objects are plain C++ containers and smart pointers; sorted
// string lists come from NewSortedStrings.
#include <string>

namespace ut {

/// The three-character prefix of a temporary file name: "dfs" for an empty prefix, a
/// shorter one filled up with '_', a longer one cut. Characters that would leave the
/// directory ('/', '\\') or end the name (NUL) become '_'.
std::string TempFilePrefix(const std::string& prefix);

} // namespace ut
