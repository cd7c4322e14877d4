#include "platform/Registry.h"

#include "platform/Arguments.h"
#include "platform/FileReader.h"
#include "platform/FileSystem.h"
#include "platform/NativePath.h"
#include "support/Exceptions.h"
#include "support/Textutil.h"

#ifdef _WIN32
#include "platform/SystemRegistry.h"
#endif

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace ut {

namespace {

namespace stdfs = std::filesystem;

bool PathExists(const std::string& path) {
    std::error_code ec;
    return stdfs::exists(platform::NativePath(path), ec);
}

bool IsRegularFile(const std::string& path) {
    std::error_code ec;
    return stdfs::is_regular_file(platform::NativePath(path), ec);
}

/// The key names of a path; one leading and one trailing '\' are allowed, an empty name
/// between two separators names no key.
std::optional<std::vector<std::string>> KeyParts(std::string_view key) {
    if (!key.empty() && key.front() == '\\')
        key.remove_prefix(1);
    if (!key.empty() && key.back() == '\\')
        key.remove_suffix(1);
    std::vector<std::string> parts;
    if (key.empty())
        return parts;
    size_t start = 0;
    while (start <= key.size()) {
        size_t end = key.find('\\', start);
        if (end == std::string_view::npos)
            end = key.size();
        if (end == start)
            return std::nullopt;
        parts.emplace_back(key.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

} // namespace

struct RegistryStore::Key {
    Key() = default;
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    ~Key();

    std::string Name;
    /// Sub-keys and values by their names folded to upper case.
    std::map<std::string, std::unique_ptr<Key>> Keys;
    std::map<std::string, RegValue> Values;
    bool SystemRead = false; ///< the system registry's sub-keys and values merged in
};

// The sub-keys are freed from an explicit stack, each one emptied before it goes, so no
// depth of keys recurses.
RegistryStore::Key::~Key() {
    std::vector<std::unique_ptr<Key>> pending;
    for (auto& [name, child] : Keys)
        pending.push_back(std::move(child));
    while (!pending.empty()) {
        std::unique_ptr<Key> key = std::move(pending.back());
        pending.pop_back();
        for (auto& [name, child] : key->Keys)
            pending.push_back(std::move(child));
        key->Keys.clear();
    }
}

RegistryStore::RegistryStore() = default;
RegistryStore::~RegistryStore() = default;
RegistryStore::RegistryStore(RegistryStore&&) noexcept = default;
RegistryStore& RegistryStore::operator=(RegistryStore&&) noexcept = default;

RegistryStore RegistryStore::FromEnvironment(const std::vector<std::string>& extraFiles) {
    RegistryStore store;
#ifdef _WIN32
    store.FSystem = true;
    if (const std::string list = platform::EnvironmentVariable("UNITRACE_REGISTRY");
        !list.empty()) {
        std::vector<std::string> files;
        SplitToList(list, ";", files);
        for (const std::string& f : files)
            if (!f.empty())
                store.AddFile(f);
    }
#else
    std::string prefix;
    if (const char* p = std::getenv("WINEPREFIX"); p && *p)
        prefix = p;
    else if (const char* home = std::getenv("HOME"); home && *home)
        prefix = std::string(home) + "/.wine";
    std::error_code ec;
    if (!prefix.empty() && stdfs::is_directory(prefix, ec))
        store.AddWinePrefix(prefix);
    if (const char* list = std::getenv("UNITRACE_REGISTRY"); list && *list) {
        std::vector<std::string> files;
        SplitToList(list, ":", files);
        for (const std::string& f : files)
            if (!f.empty())
                store.AddFile(f);
    }
#endif
    for (const std::string& f : extraFiles)
        store.AddFile(f);
    return store;
}

bool RegistryStore::AddFile(const std::string& fileName) {
    std::string bytes;
    bool read = IsRegularFile(fileName);
    try {
        if (read)
            LoadFileText(fileName, bytes);
    } catch (const Exception&) {
        read = false;
    }
    if (!read) {
        FWarnings.push_back(Format("Cannot read the registry file \"%s\"", fileName.c_str()));
        return false;
    }
    RegFile file = ParseRegText(bytes, fileName);
    if (file.Format == RegFormat::Wine && FWinePrefix.empty()) {
        const std::string dir = fs::ExtractFileDir(fileName);
        if (!dir.empty() && PathExists(dir + "/dosdevices"))
            FWinePrefix = dir;
    }
    FFiles.push_back(fileName);
    Merge(std::move(file), fileName);
    return true;
}

void RegistryStore::AddText(std::string_view text, const std::string& fileName) {
    Merge(ParseRegText(text, fileName), fileName);
}

void RegistryStore::AddWinePrefix(const std::string& prefixDir) {
    FWinePrefix = fs::ExcludeTrailingPathDelimiter(prefixDir);
    // A prefix need not hold both files; only one that is there but unreadable is reported.
    for (const char* name : {"/system.reg", "/user.reg"})
        if (PathExists(FWinePrefix + name))
            AddFile(FWinePrefix + name);
}

RegistryStore::Key* RegistryStore::Root(RegRoot root) const {
    auto it = FRoots.find(root);
    return it == FRoots.end() ? nullptr : it->second.get();
}

void RegistryStore::Merge(RegFile&& file, const std::string& fileName) {
    FSkippedLines += file.SkippedLines;
    if (file.TooDeepKeys > 0)
        FWarnings.push_back(Format("Registry file %s: %d %s nested deeper than %d levels skipped, "
                                   "the first on line %d",
                                   fileName.c_str(), file.TooDeepKeys,
                                   file.TooDeepKeys == 1 ? "key" : "keys",
                                   static_cast<int>(MaxKeyDepth), file.FirstTooDeepLine));
    for (RegEntry& entry : file.Entries) {
        std::unique_ptr<Key>& root = FRoots[entry.Root];
        if (!root) {
            root = std::make_unique<Key>();
            root->Name = RegRootName(entry.Root);
        }
        if (entry.DeleteKey) {
            Key* parent = root.get();
            for (size_t i = 0; parent && i + 1 < entry.Path.size(); ++i) {
                auto it = parent->Keys.find(AsciiUpper(entry.Path[i]));
                parent = it == parent->Keys.end() ? nullptr : it->second.get();
            }
            if (parent && !entry.Path.empty())
                parent->Keys.erase(AsciiUpper(entry.Path.back()));
            continue;
        }
        Key* key = root.get();
        for (const std::string& part : entry.Path) {
            std::unique_ptr<Key>& child = key->Keys[AsciiUpper(part)];
            if (!child) {
                child = std::make_unique<Key>();
                child->Name = part;
            }
            key = child.get();
        }
        for (auto& [name, value] : entry.Values) {
            if (value)
                key->Values[AsciiUpper(name)] = std::move(*value);
            else
                key->Values.erase(AsciiUpper(name));
        }
    }
}

const RegistryStore::Key* RegistryStore::Find(RegRoot root, std::string_view key) const {
    const auto parts = KeyParts(key);
    if (!parts)
        return nullptr;
#ifdef _WIN32
    // Each key on the way is read from the system registry once: its sub-keys' names and
    // the values that no file has set.
    std::vector<std::string> path;
    auto readSystem = [&](Key& k) {
        if (!FSystem || k.SystemRead)
            return;
        k.SystemRead = true;
        const std::optional<detail::TSystemKey> found = detail::ReadSystemKey(root, path);
        if (!found)
            return;
        for (const std::string& name : found->SubKeys) {
            std::unique_ptr<Key>& child = k.Keys[AsciiUpper(name)];
            if (!child) {
                child = std::make_unique<Key>();
                child->Name = name;
            }
        }
        for (const auto& [name, value] : found->Values)
            k.Values.emplace(AsciiUpper(name), value);
    };
    if (FSystem && !Root(root)) {
        FRoots[root] = std::make_unique<Key>();
        FRoots[root]->Name = RegRootName(root);
    }
#endif
    Key* k = Root(root);
    for (const std::string& part : *parts) {
        if (!k)
            return nullptr;
#ifdef _WIN32
        readSystem(*k);
        path.push_back(part);
#endif
        auto it = k->Keys.find(AsciiUpper(part));
        k = it == k->Keys.end() ? nullptr : it->second.get();
    }
#ifdef _WIN32
    if (k)
        readSystem(*k);
#endif
    return k;
}

bool RegistryStore::KeyExists(RegRoot root, std::string_view key) const {
    return Find(root, key) != nullptr;
}

std::vector<std::string> RegistryStore::SubKeyNames(RegRoot root, std::string_view key) const {
    std::vector<std::string> names;
    if (const Key* k = Find(root, key))
        for (const auto& [folded, child] : k->Keys)
            names.push_back(child->Name);
    return names;
}

const RegValue* RegistryStore::ReadValue(RegRoot root, std::string_view key,
                                         std::string_view name) const {
    const Key* k = Find(root, key);
    if (!k)
        return nullptr;
    auto it = k->Values.find(AsciiUpper(name));
    return it == k->Values.end() ? nullptr : &it->second;
}

bool RegistryStore::ValueExists(RegRoot root, std::string_view key, std::string_view name) const {
    return ReadValue(root, key, name) != nullptr;
}

std::optional<std::string> RegistryStore::ReadString(RegRoot root, std::string_view key,
                                                     std::string_view name) const {
    const RegValue* v = ReadValue(root, key, name);
    if (!v || !v->IsString())
        return std::nullopt;
    return v->Data;
}

void RegistryStore::InstallDriveMapper() const {
    fs::SetDriveMapper(
        [prefix = FWinePrefix](const std::string& path) { return MapDrivePath(prefix, path); });
}

std::string MapDrivePath(const std::string& prefixDir, const std::string& drivePath) {
    if (prefixDir.empty() || !fs::IsDrivePath(drivePath))
        return {};
    const std::string prefix = fs::ExcludeTrailingPathDelimiter(prefixDir);
    const char letter = AsciiLower(drivePath.substr(0, 1))[0];
    std::string base = prefix + "/dosdevices/" + letter + ":";
    if (!PathExists(base)) {
        if (letter != 'c' || !PathExists(prefix + "/drive_c"))
            return {};
        base = prefix + "/drive_c";
    }
    std::string rest = fs::ToNative(drivePath.substr(2));
    size_t skip = 0;
    while (skip < rest.size() && rest[skip] == '/')
        ++skip;
    return base + "/" + rest.substr(skip);
}

} // namespace ut
