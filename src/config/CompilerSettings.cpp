#include "config/CompilerSettings.h"

#include "platform/FileSystem.h"
#include "platform/Registry.h"
#include "support/Textutil.h"

#include <algorithm>
#include <utility>

namespace ut {

namespace {

std::string BdsKey(const TCompilerVersion& v) {
    return std::string("\\Software\\") + v.RegistryKey + "\\" + v.RegistryVersion;
}

/// Where a BDS version's key may be: the 64-bit system keeps a 32-bit installer's machine
/// keys under Wow6432Node.
std::vector<std::pair<RegRoot, std::string>> BdsKeys(const TCompilerVersion& v) {
    const std::string key = BdsKey(v);
    return {{RegRoot::LocalMachine, key},
            {RegRoot::LocalMachine, "\\Software\\Wow6432Node" + key.substr(9)},
            {RegRoot::CurrentUser, key}};
}

/// Every occurrence of `macro` (any letter case) replaced by `value`.
std::string ReplaceMacro(std::string text, std::string_view macro, const std::string& value) {
    for (size_t pos = PosText(macro, text); pos > 0;) {
        text.replace(pos - 1, macro.size(), value);
        const size_t next = PosText(macro, std::string_view(text).substr(pos - 1 + value.size()));
        pos = next ? pos - 1 + value.size() + next : 0;
    }
    return text;
}

TVersionSettings ReadBdsSettings(const RegistryStore& registry, const TCompilerVersion& v,
                                 const std::string& platform) {
    TVersionSettings settings;
    const std::string where = std::string(v.Product) + ": ";
    bool found = false;
    for (const auto& [root, key] : BdsKeys(v)) {
        if (!registry.KeyExists(root, key))
            continue;
        found = true;
        if (auto dir = registry.ReadString(root, key, "RootDir")) {
            settings.DelphiRoot = fs::ExcludeTrailingPathDelimiter(*dir);
            break;
        }
    }
    if (found && !settings.DelphiRoot)
        settings.Notes.push_back(where + "the registry key " + BdsKey(v).substr(1) +
                                 " has no \"RootDir\"; $(BDS) stays unexpanded");

    // A key per platform from XE2 on, the compilers for several platforms.
    const std::string library =
        BdsKey(v) + "\\Library" + (v.CompilerVersion >= 23 ? "\\" + platform : std::string());
    if (registry.KeyExists(RegRoot::CurrentUser, library)) {
        settings.LibPath = registry.ReadString(RegRoot::CurrentUser, library, "Search Path");
        settings.BrowsePath = registry.ReadString(RegRoot::CurrentUser, library, "Browsing Path");
        for (const char* name : {"Search Path", "Browsing Path"})
            if (!registry.ReadString(RegRoot::CurrentUser, library, name))
                settings.Notes.push_back(where + "the registry key " + library.substr(1) +
                                         " has no \"" + name + "\"");
        if (!settings.BrowsePath)
            settings.BrowsePath = "";
    } else if (found) {
        settings.Notes.push_back(where + "the registry holds no library paths (" +
                                 library.substr(1) + ")");
    }
    for (std::optional<std::string>* path : {&settings.LibPath, &settings.BrowsePath}) {
        if (!*path)
            continue;
        if (settings.DelphiRoot) {
            **path = ReplaceMacro(**path, "$(BDSLIB)", *settings.DelphiRoot + "\\lib");
            **path = ReplaceMacro(**path, "$(BDS)", *settings.DelphiRoot);
        }
        **path = ReplaceMacro(**path, "$(Platform)", platform);
    }
    return settings;
}

} // namespace

std::vector<std::string> InstalledVersions(const RegistryStore& registry) {
    std::vector<std::string> unknown;
    std::vector<const TCompilerVersion*> known;
    for (const std::string& name : registry.SubKeyNames(RegRoot::LocalMachine, DelphiRegKey)) {
        const TCompilerVersion* v = FindCompilerVersion(name);
        if (v && v->IsClassic() && name == v->RegistryVersion)
            known.push_back(v);
        else
            unknown.push_back(name);
    }
    std::stable_sort(
        unknown.begin(), unknown.end(),
        [](const std::string& a, const std::string& b) { return AnsiCompareText(a, b) < 0; });
    for (const TCompilerVersion& v : CompilerVersions()) {
        if (v.IsClassic())
            continue;
        for (const auto& [root, key] : BdsKeys(v))
            if (registry.KeyExists(root, key)) {
                known.push_back(&v);
                break;
            }
    }
    std::stable_sort(known.begin(), known.end()); // the table is in age order
    for (const TCompilerVersion* v : known)
        unknown.push_back(v->Name);
    return unknown;
}

std::optional<std::string> SelectInstalledVersion(const RegistryStore& registry) {
    const std::vector<std::string> names = InstalledVersions(registry);
    if (names.empty())
        return std::nullopt;
    return names.back();
}

void TVersionSettings::ApplyTo(std::string& libPath, std::string& browsePath,
                               std::string& delphiRoot) const {
    if (LibPath)
        libPath = *LibPath;
    if (BrowsePath)
        browsePath = *BrowsePath;
    if (DelphiRoot)
        delphiRoot = *DelphiRoot;
}

TVersionSettings ReadVersionSettings(const RegistryStore& registry, const std::string& version,
                                     const std::string& platform) {
    TVersionSettings settings;
    if (version.empty())
        return settings; // names the parent key, not a version
    // A padded text names no key: only the exact text finds the table's version.
    const TCompilerVersion* v = Trim(version) == version ? FindCompilerVersion(version) : nullptr;
    if (v && !v->IsClassic())
        return ReadBdsSettings(registry, *v, platform);
    const std::string key = std::string(DelphiRegKey) + "\\" + (v ? v->RegistryVersion : version);
    const std::string library = key + "\\Library";
    if (registry.KeyExists(RegRoot::CurrentUser, library)) {
        settings.LibPath = registry.ReadString(RegRoot::CurrentUser, library, "Search Path");
        settings.BrowsePath =
            registry.ReadString(RegRoot::CurrentUser, library, "Browsing Path").value_or("");
    }
    if (registry.KeyExists(RegRoot::LocalMachine, key))
        settings.DelphiRoot = registry.ReadString(RegRoot::LocalMachine, key, "RootDir");
    return settings;
}

std::string VersionRegistryKey(const std::string& version) {
    const TCompilerVersion* v = FindCompilerVersion(version);
    if (v && !v->IsClassic())
        return BdsKey(*v).substr(1);
    return std::string(DelphiRegKey).substr(1) + "\\" + (v ? v->RegistryVersion : Trim(version));
}

bool VersionInstalled(const RegistryStore& registry, const std::string& version) {
    const TCompilerVersion* v = FindCompilerVersion(version);
    if (v && !v->IsClassic()) {
        for (const auto& [root, key] : BdsKeys(*v))
            if (registry.KeyExists(root, key))
                return true;
        return false;
    }
    const std::string key = "\\" + VersionRegistryKey(version);
    return registry.KeyExists(RegRoot::LocalMachine, key) ||
           registry.KeyExists(RegRoot::CurrentUser, key);
}

std::string NotInstalledMessage(const RegistryStore& registry, const std::string& version) {
    const TCompilerVersion* v = FindCompilerVersion(version);
    if (!v || VersionInstalled(registry, version) || InstalledVersions(registry).empty())
        return {};
    return std::string(v->Product) + " is not installed (the registry has no key " +
           VersionRegistryKey(version) +
           "): no library or browsing path of another version is used";
}

std::string PlatformOfVersion(const std::string& version, const std::string& name) {
    if (Trim(name).empty())
        return {};
    if (const TCompilerVersion* v = FindCompilerVersion(version))
        return FindVersionPlatform(*v, name);
    for (const TCompilerVersion& v : CompilerVersions())
        if (std::string platform = FindVersionPlatform(v, name); !platform.empty())
            return platform;
    return {};
}

std::string UnknownPlatformMessage(const std::string& version, const std::string& name) {
    if (!PlatformOfVersion(version, name).empty())
        return {};
    const TCompilerVersion* v = FindCompilerVersion(version);
    if (!v)
        return "no Delphi has a platform \"" + name + "\"";
    std::string offered;
    for (const std::string& p : VersionPlatforms(*v))
        offered += (offered.empty() ? "" : ", ") + p;
    return std::string(v->Product) + " has no platform \"" + name + "\" (it has " + offered + ")";
}

std::optional<std::string> KnownVersionSymbols(const std::string& version) {
    if (const TCompilerVersion* v = FindCompilerVersion(version))
        return VersionSymbols(*v, "Win32");
    return std::nullopt;
}

std::vector<std::pair<std::string, double>> VersionConstants(const std::string& version) {
    const TVersionUpdate update = FindVersionUpdate(version);
    const TCompilerVersion* v = update.Version;
    if (!v || v->CompilerVersion == 0)
        return {};
    std::vector<std::pair<std::string, double>> constants = {
        {"CompilerVersion", v->CompilerVersion}, {"RTLVersion", v->RTLVersion}};
    for (std::string& name : UpdateConstants(update))
        constants.emplace_back(std::move(name), 1); // True
    return constants;
}

bool NamesVersionSymbol(const std::string& conditionals) {
    // Every occurrence counts: "VERBOSE;VER140" names a version symbol.
    for (size_t i = 0; i + 3 < conditionals.size(); ++i)
        if (SameTextN(std::string_view(conditionals).substr(i, 3), "VER", 3) &&
            conditionals[i + 3] >= '0' && conditionals[i + 3] <= '9')
            return true;
    return false;
}

std::string UnknownVersionMessage(const std::string& trimmedVersion) {
    return "Delphi compiler version is not known by Unitrace for Delphi version " + trimmedVersion +
           "!\r\nYou should write it manually to <Conditionals> (--defines, e.g. VER360), or "
           "name a version Unitrace knows (--delphi: 7, 2007, XE7, 10.4.2, 11.3, 12.3, ...)";
}

std::string NoInstallationMessage() {
    return "No Delphi installation was found and no version was named: the sources are read "
           "with WIN32 alone.\r\nName a version with --delphi (7, 2007, XE7, 11.3, 12.3, ...) "
           "or in the \"Delphi version\" box, and an installation with a registry export "
           "(--registry FILE, UNITRACE_REGISTRY) or a Wine prefix (WINEPREFIX)";
}

std::string VersionDefines(const std::string& version, const std::string& conditionals,
                           bool& warned, Prompts& prompts, const std::string& platform) {
    if (const TCompilerVersion* v = FindCompilerVersion(version))
        return VersionSymbols(*v, platform);
    if (!warned && !NamesVersionSymbol(conditionals)) {
        warned = true;
        const std::string trimmed = Trim(version);
        prompts.Warning(trimmed.empty() ? NoInstallationMessage() : UnknownVersionMessage(trimmed));
    }
    return "WIN32";
}

} // namespace ut
