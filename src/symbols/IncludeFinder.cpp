#include "symbols/IncludeFinder.h"

#include "platform/FileSystem.h"

namespace ut {

std::string TIncludeFinder::Find(const std::string& including, const std::string& name) {
    const std::string dir = fs::ExtractFilePath(including);
    const std::string key = dir + '\0' + name;
    {
        const std::lock_guard lock(FLock);
        if (const auto it = FFound.find(key); it != FFound.end())
            return it->second;
    }
    std::string path = fs::ExpandFileName(dir + name);
    bool found = fs::FileExists(path);
    for (size_t i = 0; !found && FDirs && i < FDirs->size(); ++i) {
        path = fs::ExpandFileName(fs::IncludeTrailingPathDelimiter((*FDirs)[i]) + name);
        found = fs::FileExists(path);
    }
    if (!found)
        path.clear();
    const std::lock_guard lock(FLock);
    return FFound.emplace(key, std::move(path)).first->second;
}

} // namespace ut
