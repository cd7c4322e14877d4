#pragma once
// The installed compiler as the registry describes it: the installed versions, each
// version's library path, browsing path and root directory, and the conditional symbols a
// compiler version defines by itself. The versions themselves are in CompilerVersions.h.
#include "config/CompilerVersions.h"
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

/// The installed versions by name (TCompilerVersion::Name), oldest first, so the last one is
/// taken as the newest: the sub-keys of DelphiRegKey under HKEY_LOCAL_MACHINE (a name the
/// table lacks is listed as spelt, before the known ones, in the case-insensitive text
/// order), and every BDS version whose key is under HKEY_LOCAL_MACHINE (also its 32-bit
/// view, Wow6432Node) or HKEY_CURRENT_USER.
std::vector<std::string> InstalledVersions(const RegistryStore& registry);

/// The newest installed version; nullopt when the key is absent or has no sub-keys (the
/// version box then keeps its text).
std::optional<std::string> SelectInstalledVersion(const RegistryStore& registry);

/// What the registry says about one version. An empty optional leaves the input as it was.
struct TVersionSettings {
    std::optional<std::string> LibPath;    ///< "Search Path" of the version's "Library" key
    std::optional<std::string> BrowsePath; ///< "Browsing Path"; empty when "Library" lacks it
    std::optional<std::string> DelphiRoot; ///< "RootDir" of the version key
    /// Values a BDS version's keys lack, one log line each.
    std::vector<std::string> Notes;

    void ApplyTo(std::string& libPath, std::string& browsePath, std::string& delphiRoot) const;
};

/// Reads the settings of the version named `version` exactly as typed (not trimmed). Delphi
/// 1 to 7, and any name the table lacks: the key DelphiRegKey\<version> ("Library" under
/// HKEY_CURRENT_USER, "RootDir" under HKEY_LOCAL_MACHINE). A BDS version: its
/// "Library\<platform>" key under HKEY_CURRENT_USER (older ones: "Library"), its "RootDir"
/// from HKEY_LOCAL_MACHINE, Wow6432Node or HKEY_CURRENT_USER; "$(BDS)", "$(BDSLIB)" and
/// "$(Platform)" in the paths are expanded (the first two only when the root is known).
TVersionSettings ReadVersionSettings(const RegistryStore& registry, const std::string& version,
                                     const std::string& platform = "Win32");

/// The key of a version's settings below the root: "Software\Embarcadero\BDS\23.0" for
/// "12" or "12.3", "Software\Borland\Delphi\5.0" for "5.0" and any text the table lacks.
std::string VersionRegistryKey(const std::string& version);
/// True when the registry holds the version's key (a BDS version: as InstalledVersions finds
/// it; any other under either root).
bool VersionInstalled(const RegistryStore& registry, const std::string& version);
/// The note for a known version whose key the registry lacks while it holds another
/// version's; empty when the version is installed, or when none is (nothing could stand in),
/// or for a text that names no version (the unknown version's warning says it).
std::string NotInstalledMessage(const RegistryStore& registry, const std::string& version);

/// The platform `name` names (any letter case) among those of the version a text names (any
/// version's, for a text naming none), spelt as the table spells it; empty when there is none.
std::string PlatformOfVersion(const std::string& version, const std::string& name);
/// Why `name` is no platform of the version, e.g. "Delphi 7 has no platform \"Linux64\" (it
/// has Win32)"; empty when it is one.
std::string UnknownPlatformMessage(const std::string& version, const std::string& name);

/// The symbols a known version text (trimmed, see FindCompilerVersion) implies for Win32,
/// e.g. "VER130;WIN32" for "5.0"; nullopt for any other text.
std::optional<std::string> KnownVersionSymbols(const std::string& version);

/// The numeric constants of the version a text names (as FindCompilerVersion reads it):
/// CompilerVersion and RTLVersion from Delphi 6 on, then the update's constants (1 for
/// True, see UpdateConstants); none before 6 or for unknown texts.
std::vector<std::pair<std::string, double>> VersionConstants(const std::string& version);

/// True when the conditionals name a version symbol: "VER" (any case) followed by a digit.
bool NamesVersionSymbol(const std::string& conditionals);

/// The warning shown for a version text that is not known.
std::string UnknownVersionMessage(const std::string& trimmedVersion);
/// The warning shown instead when no version is named: no installation was found.
std::string NoInstallationMessage();

/// The symbols of the version text for `platform`, "WIN32" for an unknown one. For an unknown
/// (or empty) version whose conditionals name no version symbol the warning is shown through
/// `prompts`, once per run: `warned` is set before it is shown and suppresses it afterwards.
std::string VersionDefines(const std::string& version, const std::string& conditionals,
                           bool& warned, Prompts& prompts, const std::string& platform = "Win32");

} // namespace ut
