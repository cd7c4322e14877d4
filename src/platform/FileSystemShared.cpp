#include "platform/FileSystem.h"

#include "platform/FileReader.h"
#include "platform/FileSystemCache.h"
#include "platform/NativePath.h"
#include "support/Textutil.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <unordered_map>

namespace ut::fs {

namespace {

bool SameLetter(char a, char b) {
    return UpperFold(static_cast<unsigned char>(a)) == UpperFold(static_cast<unsigned char>(b));
}

// Without recursion or backtracking past the last `*`: when the text after it fails, that
// star takes one character more. Time is at most the name's length times the pattern's.
bool MatchFrom(const char* n, const char* p) {
    const char* star = nullptr;  // the pattern after the last `*` met
    const char* retry = nullptr; // where the name goes on when that part fails
    while (*n) {
        if (*p == '*') {
            star = ++p;
            retry = n;
        } else if (*p && (*p == '?' || SameLetter(*p, *n))) {
            ++p;
            ++n;
        } else if (star) {
            p = star;
            n = ++retry;
        } else {
            return false;
        }
    }
    while (*p == '*')
        ++p;
    return *p == '\0';
}

} // namespace

namespace detail {

int& CacheDepth() {
    static int depth = 0;
    return depth;
}

std::shared_mutex& CacheMutex() {
    static std::shared_mutex mutex;
    return mutex;
}

} // namespace detail

bool MatchesMask(const std::string& name, const std::string& pattern) {
    return MatchFrom(name.c_str(), pattern.c_str());
}

std::string ChangeFileExt(const std::string& path, const std::string& ext) {
    const size_t p = path.find_last_of(".\\/");
    if (p == std::string::npos || path[p] != '.')
        return path + ext;
    return path.substr(0, p) + ext;
}

std::string FileKey(const std::string& path) {
    const std::string name = ExtractFileName(path);
    const size_t p = name.rfind('.');
    return (p == std::string::npos || p == 0) ? name : name.substr(0, p);
}

std::string IncludeTrailingPathDelimiter(const std::string& dir) {
    if (!dir.empty() && (dir.back() == '/' || dir.back() == '\\'))
        return dir;
    return dir + PathDelim;
}

bool IsAbsolutePath(const std::string& path) {
    return IsFullPath(path);
}

std::string ExcludeTrailingPathDelimiter(const std::string& dir) {
    std::string d = dir;
    while (d.size() > 1 && (d.back() == '/' || d.back() == '\\'))
        d.pop_back();
    return d;
}

namespace {

std::unordered_map<std::string, std::string>& SharedTexts() {
    static std::unordered_map<std::string, std::string> texts;
    return texts;
}

} // namespace

ListingCacheScope::ListingCacheScope() {
    if (detail::CacheDepth()++ == 0) {
        detail::ClearCaches();
        SharedTexts().clear();
    }
}

ListingCacheScope::~ListingCacheScope() {
    if (--detail::CacheDepth() == 0) {
        detail::ClearCaches();
        SharedTexts().clear();
    }
}

std::string SharedFileText(const std::string& path) {
    if (detail::CacheDepth() == 0)
        return LoadFileText(path);
    {
        const std::shared_lock lock(detail::CacheMutex());
        if (const auto it = SharedTexts().find(path); it != SharedTexts().end())
            return it->second;
    }
    // Read outside the lock (reading resolves letter case through the listing cache); two
    // threads may both read a file once, and the first text stays.
    std::string text = LoadFileText(path);
    const std::lock_guard lock(detail::CacheMutex());
    return SharedTexts().emplace(path, std::move(text)).first->second;
}

std::vector<std::string> ListFilesBelow(const std::string& dir, const std::string& pattern) {
    namespace stdfs = std::filesystem;
    std::vector<std::string> files;
    std::error_code ec;
    stdfs::recursive_directory_iterator it(platform::NativePath(ExpandFileName(dir)),
                                           stdfs::directory_options::skip_permission_denied, ec);
    for (const stdfs::recursive_directory_iterator end; !ec && it != end; it.increment(ec)) {
        const std::u8string name = it->path().filename().u8string();
        if (MatchesMask(std::string(name.begin(), name.end()), pattern) &&
            it->is_regular_file(ec)) {
            const std::u8string full = it->path().u8string();
            files.emplace_back(full.begin(), full.end());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

} // namespace ut::fs
