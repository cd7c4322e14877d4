#include "platform/TempFile.h"

#include <cstdlib>
#include <unistd.h>
#include <vector>

namespace ut::platform {

std::string TempDirectory() {
    const char* env = std::getenv("TMPDIR");
    std::string dir = (env != nullptr && *env != '\0') ? env : "/tmp";
    while (dir.size() > 1 && dir.back() == '/')
        dir.pop_back();
    return dir;
}

std::string CreateTempFile(const std::string& dir, const std::string& prefix) {
    if (dir.empty())
        return {};
    std::string path = dir;
    if (path.back() != '/')
        path += '/';
    path += prefix;
    path += "XXXXXX";
    std::vector<char> buf(path.begin(), path.end());
    buf.push_back('\0');
    const int fd = ::mkstemp(buf.data());
    if (fd < 0)
        return {};
    ::close(fd);
    return std::string(buf.data());
}

} // namespace ut::platform
