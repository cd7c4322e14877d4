// The file system on Windows: the system resolves both separators, drive letters and letter
// case itself, so paths are only made full and given to the W functions as UTF-16.
#include "platform/FileSystem.h"

#include "platform/FileSystemCache.h"
#include "platform/WinText.h"
#include "support/Exceptions.h"
#include "support/Textutil.h"

#include <algorithm>
#include <cctype>
#include <unordered_map>
#include <windows.h>

namespace ut::fs {

namespace {

using platform::Narrow;
using platform::Widen;

// The attributes of each path looked at while a cache scope lives (a scan, which changes
// nothing on the disk); INVALID_FILE_ATTRIBUTES for a path that names nothing.
std::unordered_map<std::string, DWORD>& AttributeCache() {
    static std::unordered_map<std::string, DWORD> cache;
    return cache;
}

DWORD Attributes(const std::string& fullPath) {
    if (detail::CacheDepth() == 0)
        return GetFileAttributesW(Widen(fullPath).c_str());
    auto& cache = AttributeCache();
    {
        const std::shared_lock lock(detail::CacheMutex());
        if (const auto it = cache.find(fullPath); it != cache.end())
            return it->second;
    }
    // Asked unlocked; when two threads ask at once the first answer stays.
    const DWORD attributes = GetFileAttributesW(Widen(fullPath).c_str());
    const std::lock_guard lock(detail::CacheMutex());
    return cache.emplace(fullPath, attributes).first->second;
}

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

// The position of the last separator or drive colon; npos when there is none.
size_t LastDelimiter(const std::string& path) {
    return path.find_last_of("\\/:");
}

} // namespace

std::string ToNative(std::string path) {
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

void SetDriveMapper(DriveMapper) {
    // Drive letters are the system's own here.
}

bool IsDrivePath(const std::string& path) {
    return path.size() >= 2 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':';
}

bool IsFullPath(const std::string& path) {
    return (IsDrivePath(path) && path.size() > 2 && IsSeparator(path[2])) ||
           (path.size() > 1 && IsSeparator(path[0]) && IsSeparator(path[1]));
}

std::string ResolveCase(const std::string& fullPath) {
    return fullPath;
}

std::string ExpandFileName(const std::string& path) {
    if (path.empty())
        return {};
    const std::wstring wide = Widen(path);
    std::wstring full(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n =
            GetFullPathNameW(wide.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
        if (n == 0)
            return ToNative(path);
        if (n < full.size()) {
            full.resize(n);
            return Narrow(full);
        }
        full.resize(n);
    }
}

bool SamePath(const std::string& a, const std::string& b) {
    return a == b ||
           CompareStringOrdinal(Widen(a).c_str(), -1, Widen(b).c_str(), -1, TRUE) == CSTR_EQUAL;
}

std::string LongFileName(const std::string& path) {
    const std::string full = ExpandFileName(path);
    const std::wstring wide = Widen(full);
    const DWORD n = GetLongPathNameW(wide.c_str(), nullptr, 0);
    if (n == 0)
        return full;
    std::wstring longName(n, L'\0');
    const DWORD written = GetLongPathNameW(wide.c_str(), longName.data(), n);
    if (written == 0 || written >= n)
        return full;
    longName.resize(written);
    return Narrow(longName);
}

bool FileExists(const std::string& path) {
    const DWORD a = path.empty() ? INVALID_FILE_ATTRIBUTES : Attributes(ExpandFileName(path));
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY) &&
           !(a & FILE_ATTRIBUTE_DEVICE);
}

bool DirectoryExists(const std::string& path) {
    const DWORD a = path.empty() ? INVALID_FILE_ATTRIBUTES : Attributes(ExpandFileName(path));
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool PathExists(const std::string& path) {
    return !path.empty() && Attributes(ExpandFileName(path)) != INVALID_FILE_ATTRIBUTES;
}

std::vector<std::string> ListFiles(const std::string& dir, const std::string& pattern) {
    std::vector<std::string> files;
    const std::string d = ExcludeTrailingPathDelimiter(ExpandFileName(dir));
    if (d.empty())
        return files;
    WIN32_FIND_DATAW found;
    HANDLE h = FindFirstFileExW(Widen(d + "\\*").c_str(), FindExInfoBasic, &found,
                                FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (h == INVALID_HANDLE_VALUE)
        return files;
    do {
        if (found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE))
            continue;
        std::string name = Narrow(found.cFileName);
        if (MatchesMask(name, pattern))
            files.push_back(std::move(name));
    } while (FindNextFileW(h, &found));
    FindClose(h);
    std::sort(files.begin(), files.end(), [](const std::string& a, const std::string& b) {
        const int c = CompareFolded(a, b);
        return c != 0 ? c < 0 : a < b;
    });
    return files;
}

std::string GetCurrentDir() {
    const DWORD n = GetCurrentDirectoryW(0, nullptr);
    std::wstring dir(n, L'\0');
    const DWORD written = GetCurrentDirectoryW(n, dir.data());
    dir.resize(written < n ? written : 0);
    return Narrow(dir);
}

void SetCurrentDir(const std::string& dir) {
    const std::string d = ExpandFileName(dir);
    if (d.empty() || !SetCurrentDirectoryW(Widen(d).c_str()))
        throw EInOutError(Format("Cannot change to directory \"%s\": %s", d.c_str(),
                                 platform::SystemMessage(GetLastError()).c_str()));
}

std::string ExtractFilePath(const std::string& path) {
    const size_t p = LastDelimiter(path);
    return p == std::string::npos ? std::string() : path.substr(0, p + 1);
}

std::string ExtractFileDir(const std::string& path) {
    const size_t p = LastDelimiter(path);
    if (p == std::string::npos)
        return {};
    // The root of a drive ("C:\") or of the current drive ("\") keeps its separator.
    if (IsSeparator(path[p]) && (p == 0 || path[p - 1] == ':' || IsSeparator(path[p - 1])))
        return path.substr(0, p + 1);
    return path.substr(0, IsSeparator(path[p]) ? p : p + 1);
}

std::string ExtractFileName(const std::string& path) {
    const size_t p = LastDelimiter(path);
    return p == std::string::npos ? path : path.substr(p + 1);
}

void ClearListingCache() {
    const std::lock_guard lock(detail::CacheMutex());
    AttributeCache().clear();
}

namespace detail {

void ClearCaches() {
    AttributeCache().clear();
}

} // namespace detail

} // namespace ut::fs
