#pragma once
// Temporary files: the system's temporary directory and new, empty files with unique names.
#include <string>

namespace ut::platform {

/// $TMPDIR when it is set and not empty, otherwise /tmp; without a trailing '/'. On Windows
/// the system's (GetTempPathW), without a trailing '\'.
std::string TempDirectory();

/// Creates a new, empty file in `dir` whose name begins with `prefix` followed by a unique
/// part chosen by the system. Returns its full path, or an empty string when it cannot.
std::string CreateTempFile(const std::string& dir, const std::string& prefix);

/// Creates a new, empty file in the temporary directory whose name begins with the
/// normalised prefix (TempFilePrefix). `fileName` receives its full path, or an empty string
/// when the system cannot create one; the same path is returned.
std::string MakeTempFileName(const std::string& prefix, std::string& fileName);

} // namespace ut::platform
