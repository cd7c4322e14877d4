#include "platform/NativePath.h"

#include "platform/WinText.h"

namespace ut::platform {

std::filesystem::path NativePath(const std::string& path) {
    return std::filesystem::path(Widen(path));
}

} // namespace ut::platform
