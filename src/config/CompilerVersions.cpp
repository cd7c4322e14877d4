#include "config/CompilerVersions.h"

#include "support/Textutil.h"

#include <array>

namespace ut {

namespace {

constexpr const char* ClassicKey = "Borland\\Delphi";

// clang-format off
constexpr std::array<TCompilerVersion, 28> Versions = {{
    {"1.0",  "Delphi 1",             ClassicKey,          "1.0",  "VER80",         0,    0},
    {"2.0",  "Delphi 2",             ClassicKey,          "2.0",  "VER90",         0,    0},
    {"3.0",  "Delphi 3",             ClassicKey,          "3.0",  "VER100",        0,    0},
    {"4.0",  "Delphi 4",             ClassicKey,          "4.0",  "VER120",        0,    0},
    {"5.0",  "Delphi 5",             ClassicKey,          "5.0",  "VER130",        0,    0},
    {"6",    "Delphi 6",             ClassicKey,          "6.0",  "VER140",        14.0, 14.0},
    {"7",    "Delphi 7",             ClassicKey,          "7.0",  "VER150",        15.0, 15.0},
    {"2005", "Delphi 2005",          "Borland\\BDS",      "3.0",  "VER170",        17.0, 17.0},
    {"2006", "Delphi 2006",          "Borland\\BDS",      "4.0",  "VER180",        18.0, 18.0},
    // A non-breaking release: the runtime library kept 2006's version.
    {"2007", "Delphi 2007",          "Borland\\BDS",      "5.0",  "VER185;VER180", 18.5, 18.0},
    {"2009", "Delphi 2009",          "CodeGear\\BDS",     "6.0",  "VER200",        20.0, 20.0},
    {"2010", "Delphi 2010",          "CodeGear\\BDS",     "7.0",  "VER210",        21.0, 21.0},
    {"XE",   "Delphi XE",            "Embarcadero\\BDS",  "8.0",  "VER220",        22.0, 22.0},
    {"XE2",  "Delphi XE2",           "Embarcadero\\BDS",  "9.0",  "VER230",        23.0, 23.0},
    {"XE3",  "Delphi XE3",           "Embarcadero\\BDS",  "10.0", "VER240",        24.0, 24.0},
    {"XE4",  "Delphi XE4",           "Embarcadero\\BDS",  "11.0", "VER250",        25.0, 25.0},
    {"XE5",  "Delphi XE5",           "Embarcadero\\BDS",  "12.0", "VER260",        26.0, 26.0},
    {"XE6",  "Delphi XE6",           "Embarcadero\\BDS",  "14.0", "VER270",        27.0, 27.0},
    {"XE7",  "Delphi XE7",           "Embarcadero\\BDS",  "15.0", "VER280",        28.0, 28.0},
    {"XE8",  "Delphi XE8",           "Embarcadero\\BDS",  "16.0", "VER290",        29.0, 29.0},
    {"10",   "Delphi 10 Seattle",    "Embarcadero\\BDS",  "17.0", "VER300",        30.0, 30.0},
    {"10.1", "Delphi 10.1 Berlin",   "Embarcadero\\BDS",  "18.0", "VER310",        31.0, 31.0},
    {"10.2", "Delphi 10.2 Tokyo",    "Embarcadero\\BDS",  "19.0", "VER320",        32.0, 32.0},
    {"10.3", "Delphi 10.3 Rio",      "Embarcadero\\BDS",  "20.0", "VER330",        33.0, 33.0},
    {"10.4", "Delphi 10.4 Sydney",   "Embarcadero\\BDS",  "21.0", "VER340",        34.0, 34.0},
    {"11",   "Delphi 11 Alexandria", "Embarcadero\\BDS",  "22.0", "VER350",        35.0, 35.0},
    {"12",   "Delphi 12 Athens",     "Embarcadero\\BDS",  "23.0", "VER360",        36.0, 36.0},
    {"13",   "Delphi 13 Florence",   "Embarcadero\\BDS",  "37.0", "VER370",        37.0, 37.0},
}};

// The target symbols of the compilers with several platforms (XE2 on).
constexpr std::array<std::pair<const char*, const char*>, 8> PlatformSymbols = {{
    {"Win32",       "MSWINDOWS;WIN32;CPU386;CPUX86"},
    {"Win64",       "MSWINDOWS;WIN64;CPUX64"},
    {"Linux64",     "LINUX;LINUX64;POSIX;CPUX64"},
    {"OSX64",       "MACOS;MACOS64;OSX;OSX64;POSIX;CPUX64"},
    {"OSXARM64",    "MACOS;MACOS64;OSX;OSX64;POSIX;CPUARM64"},
    {"Android",     "ANDROID;ANDROID32;POSIX;CPUARM;CPUARM32"},
    {"Android64",   "ANDROID;ANDROID64;POSIX;CPUARM64"},
    {"iOSDevice64", "IOS;IOS64;MACOS;POSIX;CPUARM64"},
}};
// clang-format on

} // namespace

bool TCompilerVersion::IsClassic() const {
    return std::string_view(RegistryKey) == ClassicKey;
}

std::span<const TCompilerVersion> CompilerVersions() {
    return Versions;
}

const TCompilerVersion* FindCompilerVersion(std::string_view text) {
    const std::string t = Trim(text);
    if (t.empty())
        return nullptr;
    for (const TCompilerVersion& v : Versions)
        if (SameText(t, v.Name) || SameText(t, v.Product) ||
            SameText(t, std::string("Delphi ") + v.Name))
            return &v;
    for (const TCompilerVersion& v : Versions)
        if (t == v.RegistryVersion)
            return &v;
    return nullptr;
}

std::string VersionSymbols(const TCompilerVersion& version, std::string_view platform) {
    std::string symbols = version.VerSymbols;
    if (version.CompilerVersion == 0)
        return symbols + (std::string_view(version.Name) == "1.0" ? ";WIN16;WINDOWS" : ";WIN32");
    if (version.CompilerVersion < 23) {
        symbols += ";MSWINDOWS;WIN32;CPU386"; // Win32 only, before CPUX86 was named
    } else {
        const char* target = PlatformSymbols[0].second;
        for (const auto& [name, platformSymbols] : PlatformSymbols)
            if (SameText(platform, name))
                target = platformSymbols;
        symbols += std::string(";") + target;
    }
    symbols += ";CONDITIONALEXPRESSIONS";
    if (version.CompilerVersion >= 20)
        symbols += ";UNICODE";
    return symbols;
}

} // namespace ut
