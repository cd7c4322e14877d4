#include "imports/DllSearch.h"

#include "imports/LdSoConf.h"
#include "platform/Arguments.h"
#include "platform/FileSystem.h"
#include "support/Textutil.h"

#include <algorithm>
#include <cstdlib>

namespace ut {

namespace {

/// Appends the non-empty entries of a list separated by any of `seps`.
void AppendList(const std::string& list, const char* seps, std::vector<std::string>& out) {
    size_t start = 0;
    while (start <= list.size()) {
        size_t end = list.find_first_of(seps, start);
        if (end == std::string::npos)
            end = list.size();
        if (end > start)
            out.push_back(list.substr(start, end - start));
        start = end + 1;
    }
}

bool EndsWith(const std::string& s, std::string_view tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

} // namespace

TDllSearchEnv TDllSearchEnv::FromProcess() {
    TDllSearchEnv env;
    env.Path = platform::EnvironmentVariable("PATH");
    env.LdLibraryPath = platform::EnvironmentVariable("LD_LIBRARY_PATH");
    env.LdSoConf = "/etc/ld.so.conf";
#if defined(__x86_64__)
    const std::string multiarch = "x86_64-linux-gnu";
#elif defined(__aarch64__)
    const std::string multiarch = "aarch64-linux-gnu";
#elif defined(__i386__)
    const std::string multiarch = "i386-linux-gnu";
#else
    const std::string multiarch;
#endif
    if (!multiarch.empty())
        env.StandardLibDirs = {"/lib/" + multiarch, "/usr/lib/" + multiarch};
    for (const char* dir : {"/lib64", "/usr/lib64", "/lib", "/usr/lib"})
        env.StandardLibDirs.emplace_back(dir);
    env.WinePrefix = platform::EnvironmentVariable("WINEPREFIX");
    if (env.WinePrefix.empty() && !platform::EnvironmentVariable("HOME").empty())
        env.WinePrefix = platform::EnvironmentVariable("HOME") + "/.wine";
    return env;
}

TDllSearch::TDllSearch(TDllSearchEnv env) : FEnv(std::move(env)) {
    AppendList(FEnv.LdLibraryPath, ":;", FLoaderDirs);
    if (!FEnv.LdSoConf.empty())
        for (std::string& dir : ReadLdSoConf(FEnv.LdSoConf))
            FLoaderDirs.push_back(std::move(dir));
    FLoaderDirs.insert(FLoaderDirs.end(), FEnv.StandardLibDirs.begin(), FEnv.StandardLibDirs.end());
    if (!FEnv.WinePrefix.empty())
        for (const char* sub : {"/drive_c/windows/system32", "/drive_c/windows/syswow64"}) {
            const std::string dir = FEnv.WinePrefix + sub;
            if (fs::DirectoryExists(dir))
                FWineDirs.push_back(dir);
        }
}

bool TDllSearch::IsElfName(const std::string& name) {
    return EndsWith(name, ".so") || name.find(".so.") != std::string::npos;
}

std::vector<std::string> TDllSearch::SearchDirs(const std::string& name,
                                                const std::string& inspectedFileDir) const {
    const std::string current = FEnv.CurrentDir ? *FEnv.CurrentDir : fs::GetCurrentDir();
    std::vector<std::string> dirs{current};
    if (!inspectedFileDir.empty())
        dirs.push_back(inspectedFileDir);
    AppendList(FEnv.Path, fs::PathDelim == '\\' ? ";" : ":", dirs);
    const std::vector<std::string>& extra = IsElfName(name) ? FLoaderDirs : FWineDirs;
    dirs.insert(dirs.end(), extra.begin(), extra.end());

    std::vector<std::string> unique;
    for (std::string& dir : dirs) {
        if (!fs::IsAbsolutePath(dir)) // relative entries of PATH and the like
            dir = fs::IncludeTrailingPathDelimiter(current) + dir;
        dir = fs::ExcludeTrailingPathDelimiter(dir);
        if (dir.empty())
            dir = std::string(1, fs::PathDelim);
        if (std::find(unique.begin(), unique.end(), dir) == unique.end())
            unique.push_back(std::move(dir));
    }
    return unique;
}

std::string TDllSearch::FindIn(const std::string& dir, const std::string& name,
                               bool anyCase) const {
    const std::vector<std::string> matches = fs::ListFiles(dir, name);
    auto it = std::find(matches.begin(), matches.end(), name);
    if (it == matches.end() && anyCase && !matches.empty())
        it = matches.begin();
    if (it == matches.end())
        return {};
    return fs::IncludeTrailingPathDelimiter(fs::ExpandFileName(dir)) + *it;
}

std::string TDllSearch::ResolveDll(const std::string& name,
                                   const std::string& inspectedFileDir) const {
    if (name.empty() || name.find_first_of("*?") != std::string::npos)
        return {};
    if (name.find_first_of("/\\") != std::string::npos) {
        const std::string path = fs::ToNative(name);
        return path[0] == '/' && fs::FileExists(path) ? fs::ExpandFileName(path) : std::string();
    }
    const bool anyCase = !IsElfName(name);
    for (const std::string& dir : SearchDirs(name, inspectedFileDir)) {
        std::string found = FindIn(dir, name, anyCase);
        if (!found.empty())
            return found;
    }
    return {};
}

std::string ResolveDll(const std::string& name, const std::string& inspectedFileDir) {
    static const TDllSearch search(TDllSearchEnv::FromProcess());
    return search.ResolveDll(name, inspectedFileDir);
}

} // namespace ut
