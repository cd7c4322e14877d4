#pragma once
// Every Delphi compiler the program knows: its product name, where its installation keeps
// its settings in the registry, the version symbols it defines and its CompilerVersion and
// RTLVersion constants. One table, one lookup.
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace ut {

struct TCompilerVersion {
    const char* Name;        ///< what the version box and --delphi take: "5.0", "7", "XE7", "12"
    const char* Product;     ///< "Delphi 12 Athens"
    const char* RegistryKey; ///< below Software\: "Borland\Delphi", "Embarcadero\BDS", ...
    const char* RegistryVersion; ///< the version's key below RegistryKey: "23.0"
    const char* VerSymbols;      ///< "VER360"; Delphi 2007 "VER185;VER180"
    double CompilerVersion;      ///< 0 for the compilers before Delphi 6, which have none
    double RTLVersion;           ///< 0 likewise

    /// True for the versions kept under Software\Borland\Delphi (Delphi 1 to 7).
    bool IsClassic() const;
};

/// The whole table, oldest first.
std::span<const TCompilerVersion> CompilerVersions();

/// The version a text names (leading and trailing blanks ignored, letters in any case): its
/// Name, its Product, "Delphi " and its Name, or else its RegistryVersion, where the first
/// match in table order wins ("7.0" is Delphi 7, while Delphi 2010's BDS 7.0 is "2010");
/// else an update of a version ("12.3", see FindVersionUpdate). Nullptr for a text no
/// version has.
const TCompilerVersion* FindCompilerVersion(std::string_view text);

/// A version and the number of its update: "12.3" is Delphi 12 Update 3, "10.4.2" Delphi
/// 10.4 Update 2 ("Delphi 12.3" and "12 Update 3" alike); a version named without one is
/// Update 0.
struct TVersionUpdate {
    const TCompilerVersion* Version = nullptr;
    int Update = 0;
};
/// Nullptr Version for a text that names no version, or an update the version never had.
TVersionUpdate FindVersionUpdate(std::string_view text);

/// The constants an update adds to System, each True: "RTLVersion121", "RTLVersion122" for
/// Delphi 12.2 (code tests them with {$IF Declared(RTLVersion122)}).
std::vector<std::string> UpdateConstants(const TVersionUpdate& update);

/// The target platforms of a version, as a .dproj names them ("Win32", "Win64", "Linux64",
/// ...): Win32 alone before XE2.
std::vector<std::string> VersionPlatforms(const TCompilerVersion& version);
/// The platform of `version` that `name` names (any letter case), spelt as the table spells
/// it; empty when the version has none of that name.
std::string FindVersionPlatform(const TCompilerVersion& version, std::string_view name);
/// Size of a pointer in bytes on a platform (4 for an unknown one).
int PlatformPointerSize(std::string_view platform);

/// The symbols the compiler defines for a target platform (as a .dproj names it; one the
/// version lacks counts as Win32), ';'-separated: "VER130;WIN32" for Delphi 5,
/// "VER360;MSWINDOWS;WIN64;CPUX64;CPU64BITS;DCC;NATIVECODE;ASSEMBLER;
/// CONDITIONALEXPRESSIONS;UNICODE" for Delphi 12 on Win64.
std::string VersionSymbols(const TCompilerVersion& version, std::string_view platform);

} // namespace ut
