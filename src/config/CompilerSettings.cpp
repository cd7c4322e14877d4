#include "config/CompilerSettings.h"

#include "platform/Registry.h"
#include "support/Textutil.h"

#include <algorithm>
#include <array>
#include <utility>

namespace ut {

std::vector<std::string> InstalledVersions(const RegistryStore& registry) {
    std::vector<std::string> names = registry.SubKeyNames(RegRoot::LocalMachine, DelphiRegKey);
    std::stable_sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return AnsiCompareText(a, b) < 0;
    });
    return names;
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

TVersionSettings ReadVersionSettings(const RegistryStore& registry, const std::string& version) {
    TVersionSettings settings;
    if (version.empty())
        return settings; // names the parent key, not a version
    const std::string key = std::string(DelphiRegKey) + "\\" + version;
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

std::optional<std::string> KnownVersionSymbols(const std::string& version) {
    static const std::array<std::pair<const char*, const char*>, 5> table = {{
        {"5.0", "VER130;WIN32"},
        {"4.0", "VER120;WIN32"},
        {"3.0", "VER100;WIN32"},
        {"2.0", "VER90;WIN32"},
        {"1.0", "VER80;WIN16;WINDOWS"},
    }};
    const std::string v = Trim(version);
    for (const auto& [text, symbols] : table)
        if (v == text)
            return std::string(symbols);
    return std::nullopt;
}

std::vector<std::pair<std::string, double>> VersionConstants(const std::string& version) {
    static const std::array<std::pair<const char*, double>, 2> table = {{
        {"7.0", 15.0},
        {"6.0", 14.0},
    }};
    const std::string v = Trim(version);
    for (const auto& [text, number] : table)
        if (v == text)
            return {{"CompilerVersion", number}, {"RTLVersion", number}};
    return {};
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
           "!\r\nYou should write it manually to <Conditionals>";
}

std::string VersionDefines(const std::string& version, const std::string& conditionals,
                           bool& warned, Prompts& prompts) {
    if (auto symbols = KnownVersionSymbols(version))
        return *symbols;
    if (!warned && !NamesVersionSymbol(conditionals)) {
        warned = true;
        prompts.Warning(UnknownVersionMessage(Trim(version)));
    }
    return "WIN32";
}

} // namespace ut
