#pragma once
// Temporary files for the output of external tools. (Owned lists and objects are plain
// C++ containers and smart pointers; sorted string lists come from NewSortedStrings.)
#include <string>

namespace ut {

/// The three-character prefix of a temporary file name: "dfs" for an empty prefix, a
/// shorter one filled up with '_', a longer one cut. Characters that would leave the
/// directory ('/', '\\') or end the name (NUL) become '_'.
std::string TempFilePrefix(const std::string& prefix);

/// Creates a new, empty file with a unique name beginning with the normalised prefix in the
/// temporary directory. `fileName` receives its full path, or an empty string when the
/// system cannot create one; the same path is returned.
std::string MakeTempFileName(const std::string& prefix, std::string& fileName);

} // namespace ut
