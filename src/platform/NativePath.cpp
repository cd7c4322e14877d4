#include "platform/NativePath.h"

namespace ut::platform {

std::filesystem::path NativePath(const std::string& path) {
    return std::filesystem::path(path);
}

} // namespace ut::platform
