#pragma once
// Included first into every test source of the Windows build: the few POSIX calls the
// tests use to set up (a temporary directory, the environment), on the C runtime's terms.
#ifdef _WIN32

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <direct.h>
#include <random>

/// Fills the trailing "XXXXXX" of `tmpl` and creates that directory; a path that starts
/// with '/' lies on the current drive ("/tmp" there is created when missing).
inline char* mkdtemp(char* tmpl) {
    const size_t n = std::strlen(tmpl);
    if (n < 6 || std::strcmp(tmpl + n - 6, "XXXXXX") != 0) {
        errno = EINVAL;
        return nullptr;
    }
    if (std::strncmp(tmpl, "/tmp/", 5) == 0)
        _mkdir("/tmp");
    static std::mt19937 random{std::random_device{}()};
    static const char letters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    for (int attempt = 0; attempt < 100; ++attempt) {
        for (size_t i = n - 6; i < n; ++i)
            tmpl[i] = letters[random() % (sizeof letters - 1)];
        if (_mkdir(tmpl) == 0)
            return tmpl;
        if (errno != EEXIST)
            return nullptr;
    }
    return nullptr;
}

/// Windows has no FIFOs; the tests making one are skipped there.
inline int mkfifo(const char*, int) {
    errno = ENOSYS;
    return -1;
}

inline int setenv(const char* name, const char* value, int overwrite) {
    if (!overwrite && std::getenv(name))
        return 0;
    return _putenv_s(name, value);
}

inline int unsetenv(const char* name) {
    return _putenv_s(name, "");
}

#endif
