#pragma once
// The registry as this platform offers it: a read-only store filled from registry text
// files (Windows exports, Wine's system.reg and user.reg). Key and value names compare
// without regard to letter case. Drive-letter paths in values resolve through the Wine
// prefix's dosdevices/ links. On Windows the store a run uses reads the system registry
// itself, key by key as they are asked for (HKEY_CURRENT_USER and HKEY_LOCAL_MACHINE, the
// 64-bit view's values before the 32-bit view's); the files given to it win over it.
#include "platform/RegFile.h"

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ut {

class RegistryStore {
  public:
    RegistryStore();
    ~RegistryStore();
    RegistryStore(RegistryStore&&) noexcept;
    RegistryStore& operator=(RegistryStore&&) noexcept;

    /// The store a run of the program uses: the Wine prefix ($WINEPREFIX, else ~/.wine)
    /// when it exists, then the files of $UNITRACE_REGISTRY (a ':'-separated list), then
    /// `extraFiles`; a later file's values win. On Windows: the system registry, then the
    /// files of $UNITRACE_REGISTRY (';'-separated) and `extraFiles`.
    static RegistryStore FromEnvironment(const std::vector<std::string>& extraFiles = {});

    /// Reads a registry file and merges its keys over what the store holds; false (and a
    /// warning) when the file cannot be read. Lines that cannot be read are skipped. A Wine file
    /// read from a prefix directory makes that prefix the one for drive letters, unless one is set.
    bool AddFile(const std::string& fileName);
    /// Merges the keys of a registry text; `fileName` names the root of a Wine file whose
    /// header does not.
    void AddText(std::string_view text, const std::string& fileName = {});
    /// Reads the prefix's system.reg and user.reg and maps drive letters through its
    /// dosdevices/ directory.
    void AddWinePrefix(const std::string& prefixDir);

    /// `key` is a path below the root, components separated by '\' (a leading '\' allowed).
    bool KeyExists(RegRoot root, std::string_view key) const;
    /// Names of the key's sub-keys as first spelt, in case-insensitive order.
    std::vector<std::string> SubKeyNames(RegRoot root, std::string_view key) const;
    bool ValueExists(RegRoot root, std::string_view key, std::string_view name) const;
    /// The value, or nullptr when the key or the value is absent.
    const RegValue* ReadValue(RegRoot root, std::string_view key, std::string_view name) const;
    /// The text of a string or expandable-string value (unexpanded); nullopt when absent or
    /// of another type.
    std::optional<std::string> ReadString(RegRoot root, std::string_view key,
                                          std::string_view name) const;

    const std::string& WinePrefix() const { return FWinePrefix; }
    void SetWinePrefix(const std::string& prefixDir) { FWinePrefix = prefixDir; }
    /// Files read so far, and the number of lines skipped in them.
    const std::vector<std::string>& Files() const { return FFiles; }
    int SkippedLines() const { return FSkippedLines; }
    /// What the user should hear about: files that could not be read, keys left out.
    const std::vector<std::string>& Warnings() const { return FWarnings; }

    /// Makes fs::ExpandFileName map drive letters through this store's Wine prefix.
    void InstallDriveMapper() const;

  private:
    struct Key;
    Key* Root(RegRoot root) const;
    const Key* Find(RegRoot root, std::string_view key) const;
    void Merge(RegFile&& file, const std::string& fileName);

    // Mutable: on Windows a key of the system registry is read when it is first asked for.
    mutable std::map<RegRoot, std::unique_ptr<Key>> FRoots;
    bool FSystem = false; ///< reads the system registry (Windows)
    std::string FWinePrefix;
    std::vector<std::string> FFiles;
    std::vector<std::string> FWarnings;
    int FSkippedLines = 0;
};

/// "C:\Program Files\x" -> "<prefix>/dosdevices/c:/Program Files/x"; empty when the path
/// has no drive letter, the prefix is empty or the drive has no link there.
std::string MapDrivePath(const std::string& prefixDir, const std::string& drivePath);

} // namespace ut
