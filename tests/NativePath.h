#pragma once
// Expected paths as the program spells them on the system the tests run on.
#include <string>

#ifdef _WIN32
#include <direct.h>
#endif

namespace uttest {

/// `path`, written the POSIX way ("/tmp/x/P.dpr"), as the program gives it: unchanged on
/// POSIX; on Windows a path from the root gets the current drive, and every '/' becomes '\'.
inline std::string NativePath(std::string path) {
#ifdef _WIN32
    if (!path.empty() && path[0] == '/')
        path = std::string(1, static_cast<char>('A' + _getdrive() - 1)) + ":" + path;
    for (char& c : path)
        if (c == '/')
            c = '\\';
#endif
    return path;
}

} // namespace uttest
