#include "platform/FileSystem.h"

#include "platform/FileSystemCache.h"

#include "support/Exceptions.h"
#include "support/Textutil.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <mutex>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>

namespace ut::fs {

namespace {

DriveMapper& TheDriveMapper() {
    static DriveMapper mapper;
    return mapper;
}

// A directory's names by their letter-folded spelling. Where several names fold alike the
// one that sorts first byte-wise stands for them, so a lookup is a single hash probe.
using FoldedNames = std::unordered_map<std::string, std::string>;

// Directory listings used to resolve letter case, kept until ClearListingCache.
std::unordered_map<std::string, FoldedNames>& ListingCache() {
    static std::unordered_map<std::string, FoldedNames> cache;
    return cache;
}

// Found or not, and the file type bits: all that the callers look at.
std::unordered_map<std::string, std::pair<bool, mode_t>>& StatCache() {
    static std::unordered_map<std::string, std::pair<bool, mode_t>> cache;
    return cache;
}

// Calls `each` with every name in `dir` except "." and "..".
template <typename Fn> void ReadDirectory(const std::string& dir, Fn each) {
    if (DIR* d = opendir(dir.empty() ? "/" : dir.c_str())) {
        while (dirent* e = readdir(d)) {
            if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0)
                each(std::string_view(e->d_name));
        }
        closedir(d);
    }
}

// Keeps the byte-wise smaller of two names that fold alike.
void KeepFirst(std::string& kept, std::string_view name) {
    if (kept.empty() || name < kept)
        kept = name;
}

// The name in `dir` that equals `part` without regard to letter case; empty when none.
std::string FindFolded(const std::string& dir, const std::string& part) {
    if (detail::CacheDepth() == 0) {
        std::string found;
        ReadDirectory(dir, [&](std::string_view name) {
            if (CompareFolded(name, part) == 0)
                KeepFirst(found, name);
        });
        return found;
    }
    auto& cache = ListingCache();
    const std::string key = UpperFoldText(part);
    auto lookUp = [&](const FoldedNames& names) {
        const auto found = names.find(key);
        return found == names.end() ? std::string() : found->second;
    };
    {
        const std::shared_lock lock(detail::CacheMutex());
        if (const auto it = cache.find(dir); it != cache.end())
            return lookUp(it->second);
    }
    // Listed unlocked; when two threads list one directory at once the first listing stays.
    FoldedNames names;
    ReadDirectory(dir, [&](std::string_view name) { KeepFirst(names[UpperFoldText(name)], name); });
    const std::lock_guard lock(detail::CacheMutex());
    return lookUp(cache.emplace(dir, std::move(names)).first->second);
}

// The status of a path; while a cache scope lives (a scan, which changes nothing on the
// disk) each path is looked at once, found or not.
bool StatPath(const std::string& path, mode_t& mode) {
    struct stat fresh {};
    if (detail::CacheDepth() == 0) {
        const bool found = ::stat(path.c_str(), &fresh) == 0;
        mode = fresh.st_mode;
        return found;
    }
    auto& cache = StatCache();
    {
        const std::shared_lock lock(detail::CacheMutex());
        if (const auto it = cache.find(path); it != cache.end()) {
            mode = it->second.second;
            return it->second.first;
        }
    }
    // The look at the disk is made unlocked, so threads do not wait on each other's; when
    // two look at once the first answer stays.
    const bool found = ::stat(path.c_str(), &fresh) == 0;
    const std::lock_guard lock(detail::CacheMutex());
    const auto it = cache.emplace(path, std::make_pair(found, fresh.st_mode)).first;
    mode = it->second.second;
    return it->second.first;
}

bool Exists(const std::string& path) {
    mode_t mode = 0;
    return StatPath(path, mode);
}

std::vector<std::string> SplitComponents(const std::string& path) {
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find('/', start);
        if (end == std::string::npos)
            end = path.size();
        if (end > start)
            parts.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

// A '\' separates components as on Windows, except where the path names something as
// written: a file or directory whose name holds one, or a file not (yet) there in such a
// directory. Only paths that hold a '\' are looked at on the disk.
std::string WithSeparators(const std::string& path) {
    if (path.find('\\') == std::string::npos)
        return path;
    const std::string full = path[0] == '/' ? path : GetCurrentDir() + "/" + path;
    if (Exists(full))
        return path;
    const size_t slash = path.rfind('/');
    if (slash != std::string::npos && path.find('\\') < slash &&
        Exists(full.substr(0, full.size() - (path.size() - slash))))
        return path.substr(0, slash + 1) + ToNative(path.substr(slash + 1));
    return ToNative(path);
}

// ResolveCase that also says whether the result names something, with its status, so a
// caller that needs both looks at the disk once.
bool ResolveCaseWithStatus(const std::string& fullPath, std::string& resolved, mode_t& mode) {
    if (fullPath.empty() || fullPath[0] != '/') {
        resolved = fullPath;
        return !fullPath.empty() && StatPath(fullPath, mode);
    }
    if (StatPath(fullPath, mode)) {
        resolved = fullPath;
        return true;
    }
    const bool trailing = fullPath.size() > 1 && fullPath.back() == '/';
    const std::vector<std::string> parts = SplitComponents(fullPath);
    // Every leading component of an existing directory exists as spelt: when the parent does
    // (a missing file in a known directory, the usual case) only the last one needs a look.
    size_t exact = 0;
    std::string result;
    if (parts.size() > 1) {
        std::string parent;
        for (size_t i = 0; i + 1 < parts.size(); ++i)
            parent += "/" + parts[i];
        if (Exists(parent)) {
            exact = parts.size() - 1;
            result = std::move(parent);
        }
    }
    bool resolving = true;
    for (size_t i = exact; i < parts.size(); ++i) {
        const std::string& part = parts[i];
        std::string next = result + "/" + part;
        if (resolving && !Exists(next)) {
            const std::string found = FindFolded(result.empty() ? "/" : result, part);
            if (!found.empty())
                next = result + "/" + found;
            else
                resolving = false;
        }
        result = std::move(next);
    }
    if (result.empty())
        result.push_back(PathDelim); // not = "/": GCC 12 warns falsely (-Wrestrict)
    else if (trailing)
        result += '/';
    resolved = std::move(result);
    // A component that is not there under any spelling leaves nothing to look at.
    return resolving && StatPath(resolved, mode);
}

// The full path with "." and ".." folded, before letter case is resolved. `full` is false
// for a drive path that maps to nothing here: it comes back as written, with '/'.
std::string AbsolutePath(const std::string& path, bool& full) {
    full = false;
    if (path.empty())
        return {};
    std::string p = WithSeparators(path);
    if (IsDrivePath(path)) {
        if (!TheDriveMapper())
            return p;
        const std::string mapped = TheDriveMapper()(path);
        if (mapped.empty())
            return p;
        p = ToNative(mapped);
    }
    if (p[0] != '/')
        p = GetCurrentDir() + "/" + p;
    const bool trailing = p.back() == '/';
    std::vector<std::string> out;
    for (std::string& part : SplitComponents(p)) {
        if (part == ".")
            continue;
        if (part == "..") {
            if (!out.empty())
                out.pop_back();
            continue;
        }
        out.push_back(std::move(part));
    }
    std::string result;
    for (const std::string& part : out)
        result += "/" + part;
    if (result.empty())
        result.push_back(PathDelim); // not = "/": GCC 12 warns falsely (-Wrestrict)
    else if (trailing)
        result += '/';
    full = true;
    return result;
}

// ExpandFileName with the status of what the result names (false: nothing).
bool ExpandWithStatus(const std::string& path, std::string& expanded, mode_t& mode) {
    bool full = false;
    const std::string p = AbsolutePath(path, full);
    if (full)
        return ResolveCaseWithStatus(p, expanded, mode);
    expanded = p;
    return !p.empty() && StatPath(p, mode);
}

} // namespace

std::string ToNative(std::string path) {
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

void SetDriveMapper(DriveMapper mapper) {
    TheDriveMapper() = std::move(mapper);
}

bool IsDrivePath(const std::string& path) {
    return path.size() >= 2 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':';
}

bool IsFullPath(const std::string& path) {
    return !path.empty() && path[0] == '/';
}

std::string ResolveCase(const std::string& fullPath) {
    std::string resolved;
    mode_t mode = 0;
    ResolveCaseWithStatus(fullPath, resolved, mode);
    return resolved;
}

std::string ExpandFileName(const std::string& path) {
    bool full = false;
    const std::string p = AbsolutePath(path, full);
    return full ? ResolveCase(p) : p;
}

bool SamePath(const std::string& a, const std::string& b) {
    return a == b;
}

std::string LongFileName(const std::string& path) {
    return ExpandFileName(path);
}

bool FileExists(const std::string& path) {
    std::string expanded;
    mode_t mode = 0;
    return ExpandWithStatus(path, expanded, mode) && S_ISREG(mode);
}

bool DirectoryExists(const std::string& path) {
    std::string expanded;
    mode_t mode = 0;
    return ExpandWithStatus(path, expanded, mode) && S_ISDIR(mode);
}

bool PathExists(const std::string& path) {
    std::string expanded;
    mode_t mode = 0;
    return ExpandWithStatus(path, expanded, mode);
}

std::vector<std::string> ListFiles(const std::string& dir, const std::string& pattern) {
    std::vector<std::string> files;
    const std::string d = ExcludeTrailingPathDelimiter(ExpandFileName(dir));
    DIR* h = opendir(d.empty() ? "/" : d.c_str());
    if (!h)
        return files;
    while (dirent* e = readdir(h)) {
        if (!MatchesMask(e->d_name, pattern))
            continue;
        // The listing's own type saves a look at each file; links and file systems that
        // do not tell are looked at.
        bool regular = e->d_type == DT_REG;
        if (e->d_type == DT_UNKNOWN || e->d_type == DT_LNK) {
            struct stat st {};
            regular = ::stat((d + "/" + e->d_name).c_str(), &st) == 0 && S_ISREG(st.st_mode);
        }
        if (regular)
            files.emplace_back(e->d_name);
    }
    closedir(h);
    std::sort(files.begin(), files.end(), [](const std::string& a, const std::string& b) {
        const int c = CompareFolded(a, b);
        return c != 0 ? c < 0 : a < b;
    });
    return files;
}

std::string GetCurrentDir() {
    std::string buf(4096, '\0');
    while (::getcwd(buf.data(), buf.size()) == nullptr) {
        if (errno != ERANGE)
            return "/";
        buf.resize(buf.size() * 2);
    }
    buf.resize(std::strlen(buf.c_str()));
    return buf;
}

void SetCurrentDir(const std::string& dir) {
    bool full = false;
    const std::string p = AbsolutePath(dir, full);
    // Spelt as on disk, the usual case, it needs no look before; else resolve letter case.
    if (!p.empty() && ::chdir(p.c_str()) == 0)
        return;
    const std::string d = full ? ResolveCase(p) : p;
    if (::chdir(d.c_str()) != 0)
        throw EInOutError(
            Format("Cannot change to directory \"%s\": %s", d.c_str(), std::strerror(errno)));
}

std::string ExtractFilePath(const std::string& path) {
    const std::string native = WithSeparators(path);
    const size_t p = native.rfind('/');
    return p == std::string::npos ? std::string() : native.substr(0, p + 1);
}

std::string ExtractFileDir(const std::string& path) {
    const std::string native = WithSeparators(path);
    const size_t p = native.rfind('/');
    if (p == std::string::npos)
        return {};
    return p == 0 ? std::string("/") : native.substr(0, p);
}

std::string ExtractFileName(const std::string& path) {
    const std::string native = WithSeparators(path);
    const size_t p = native.rfind('/');
    return p == std::string::npos ? native : native.substr(p + 1);
}

void ClearListingCache() {
    const std::lock_guard lock(detail::CacheMutex());
    ListingCache().clear();
}

namespace detail {

void ClearCaches() {
    ListingCache().clear();
    StatCache().clear();
}

} // namespace detail

} // namespace ut::fs
