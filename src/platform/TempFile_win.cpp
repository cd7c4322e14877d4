#include "platform/TempFile.h"

#include "platform/WinText.h"

#include <atomic>
#include <cstdio>
#include <windows.h>

namespace ut::platform {

std::string TempDirectory() {
    wchar_t buffer[MAX_PATH + 2];
    const DWORD n = GetTempPathW(MAX_PATH + 2, buffer);
    std::string dir = (n == 0 || n > MAX_PATH + 1) ? std::string(".") : Narrow({buffer, n});
    while (dir.size() > 3 && (dir.back() == '\\' || dir.back() == '/'))
        dir.pop_back();
    return dir;
}

std::string CreateTempFile(const std::string& dir, const std::string& prefix) {
    if (dir.empty())
        return {};
    std::string base = dir;
    while (base.size() > 1 && (base.back() == '\\' || base.back() == '/'))
        base.pop_back();
    base += '\\';
    base += prefix;
    static std::atomic<unsigned> counter{0};
    // The process, the time and a counter make a name no other process picks; a name that
    // exists all the same is passed over.
    for (int attempt = 0; attempt < 100; ++attempt) {
        char unique[32];
        std::snprintf(unique, sizeof unique, "%lx%llx%x", GetCurrentProcessId(),
                      static_cast<unsigned long long>(GetTickCount64()), counter++);
        const std::string path = base + unique;
        const HANDLE h = CreateFileW(Widen(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                     FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            CloseHandle(h);
            return path;
        }
        if (GetLastError() != ERROR_FILE_EXISTS)
            return {};
    }
    return {};
}

} // namespace ut::platform
