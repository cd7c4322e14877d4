#pragma once
// The installed compiler as the registry describes it: the installed versions, each
// version's library path, browsing path and root directory, and the conditional symbols a
// compiler version defines by itself.
#include "config/Prompts.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace ut {

class RegistryStore;

/// Key of the installed versions (HKEY_LOCAL_MACHINE), and of each version's settings
/// (both roots) when followed by '\' and the version text.
inline constexpr const char* DelphiRegKey = "\\Software\\Borland\\Delphi";

/// Names of the sub-keys of DelphiRegKey under HKEY_LOCAL_MACHINE, in the case-insensitive
/// text order; the last one is taken as the newest.
std::vector<std::string> InstalledVersions(const RegistryStore& registry);

/// The newest installed version; nullopt when the key is absent or has no sub-keys (the
/// version box then keeps its text).
std::optional<std::string> SelectInstalledVersion(const RegistryStore& registry);

/// What the registry says about one version. An empty optional leaves the input as it was.
struct TVersionSettings {
    std::optional<std::string> LibPath;    ///< "Search Path" of the version's "Library" key
    std::optional<std::string> BrowsePath; ///< "Browsing Path"; empty when "Library" lacks it
    std::optional<std::string> DelphiRoot; ///< "RootDir" of the version key

    void ApplyTo(std::string& libPath, std::string& browsePath, std::string& delphiRoot) const;
};

/// Reads the settings of the version named `version` exactly as typed (not trimmed): the
/// "Library" key under HKEY_CURRENT_USER and the version key under HKEY_LOCAL_MACHINE.
TVersionSettings ReadVersionSettings(const RegistryStore& registry, const std::string& version);

/// The symbols a known version text (trimmed, compared exactly) implies, e.g. "VER130;WIN32"
/// for "5.0"; nullopt for any other text.
std::optional<std::string> KnownVersionSymbols(const std::string& version);

/// The numeric constants a known version text (trimmed, compared exactly) defines:
/// CompilerVersion and RTLVersion from Delphi 6 on; none before 6 or for unknown texts.
std::vector<std::pair<std::string, double>> VersionConstants(const std::string& version);

/// True when the conditionals name a version symbol: "VER" (any case) followed by a digit.
bool NamesVersionSymbol(const std::string& conditionals);

/// The warning shown for a version text that is not known.
std::string UnknownVersionMessage(const std::string& trimmedVersion);

/// The symbols of the version text, "WIN32" for an unknown one. For an unknown version
/// whose conditionals name no version symbol the warning is shown through `prompts`, once
/// per run: `warned` is set before it is shown and suppresses it afterwards.
std::string VersionDefines(const std::string& version, const std::string& conditionals,
                           bool& warned, Prompts& prompts);

} // namespace ut
