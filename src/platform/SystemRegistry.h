#pragma once
// Windows only: one key of the system registry, read through the Win32 registry functions.
#include "platform/RegFile.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace ut::detail {

struct TSystemKey {
    std::vector<std::string> SubKeys;                     ///< names as the registry spells them
    std::vector<std::pair<std::string, RegValue>> Values; ///< name, value
};

/// The sub-key names and values of the key `path` below `root`, from the 64-bit view and
/// then the 32-bit view (a name both hold is listed once, the 64-bit view's value first);
/// nullopt when neither view has the key or the root is not one that is read
/// (HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_CLASSES_ROOT, HKEY_USERS,
/// HKEY_CURRENT_CONFIG are).
std::optional<TSystemKey> ReadSystemKey(RegRoot root, const std::vector<std::string>& path);

} // namespace ut::detail
