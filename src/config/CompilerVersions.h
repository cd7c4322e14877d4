#pragma once
// Every Delphi compiler the program knows: its product name, where its installation keeps
// its settings in the registry, the version symbols it defines and its CompilerVersion and
// RTLVersion constants. One table, one lookup.
#include <span>
#include <string>
#include <string_view>

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
/// match in table order wins ("7.0" is Delphi 7, while Delphi 2010's BDS 7.0 is "2010").
/// Nullptr for a text no version has.
const TCompilerVersion* FindCompilerVersion(std::string_view text);

/// The symbols the compiler defines for a target platform ("Win32", "Win64", "Linux64", ...,
/// as a .dproj names them; an unknown or empty one counts as Win32), ';'-separated:
/// "VER130;WIN32" for Delphi 5, "VER360;MSWINDOWS;WIN64;CPUX64;CONDITIONALEXPRESSIONS;
/// UNICODE" for Delphi 12 on Win64.
std::string VersionSymbols(const TCompilerVersion& version, std::string_view platform);

} // namespace ut
