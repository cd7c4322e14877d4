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

/// The letter case of a name the program looked up: on POSIX the file's own on disk, which
/// it searches for; on Windows the one asked for, as the file system takes it.
inline std::string CaseOf([[maybe_unused]] const std::string& onDisk,
                          [[maybe_unused]] const std::string& asked) {
#ifdef _WIN32
    return asked;
#else
    return onDisk;
#endif
}

/// `text` with the temporary directory `root` (written the POSIX way) shown as "@", in
/// either spelling: the native one the program gives and the one a test typed.
inline std::string Rooted(std::string text, const std::string& root) {
    for (const std::string& spelling : {NativePath(root), root})
        for (size_t at = 0; (at = text.find(spelling, at)) != std::string::npos;)
            text.replace(at, spelling.size(), "@");
    return text;
}

/// `text`, in which "@/..." is a path under a test's temporary directory, with those paths
/// spelt natively: on Windows each '/' from an "@" to the next blank or quote becomes '\'.
inline std::string NativeRooted(std::string text) {
#ifdef _WIN32
    bool inPath = false;
    for (char& c : text) {
        if (c == '@')
            inPath = true;
        else if (c == ' ' || c == '"')
            inPath = false;
        else if (inPath && c == '/')
            c = '\\';
    }
#endif
    return text;
}

} // namespace uttest
