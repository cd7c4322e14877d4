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

// The target platforms, as a .dproj names them, with their symbols: those of the platform
// itself, ELF, PIC and EXTERNALLINKER (the compilers that link with the system's linker).
// From and Until are the CompilerVersions of the first and last compilers for it (0: still).
struct TPlatform {
    const char* Name;
    const char* Symbols;
    double From, Until;
    int PointerSize;
    bool Assembler; ///< the compiler takes inline assembler: ASSEMBLER
    bool Mobile;    ///< NEXTGEN and AUTOREFCOUNT until 10.3; Linux64 had the latter alone
};
constexpr std::array<TPlatform, 11> Platforms = {{
    {"Win32",        "MSWINDOWS;WIN32;CPU386;CPUX86",                                    0,  0, 4, true,  false},
    {"Win64",        "MSWINDOWS;WIN64;CPUX64",                                           23, 0, 8, true,  false},
    {"OSX32",        "MACOS;MACOS32;OSX;OSX32;POSIX;CPU386;CPUX86;PIC",                  23, 33, 4, true, false},
    {"iOSSimulator", "IOS;IOS32;MACOS;POSIX;CPU386;CPUX86;PIC",                          25, 33, 4, false, true},
    {"iOSDevice32",  "IOS;IOS32;MACOS;POSIX;CPUARM;CPUARM32;PIC;EXTERNALLINKER",         25, 33, 4, false, true},
    {"Android",      "ANDROID;ANDROID32;POSIX;CPUARM;CPUARM32;ELF;PIC;EXTERNALLINKER",   26, 0, 4, false, true},
    {"iOSDevice64",  "IOS;IOS64;MACOS;POSIX;CPUARM64;PIC;EXTERNALLINKER",                29, 0, 8, false, true},
    {"Linux64",      "LINUX;LINUX64;POSIX;CPUX64;ELF;PIC;EXTERNALLINKER",                32, 0, 8, false, false},
    {"OSX64",        "MACOS;MACOS64;OSX;OSX64;POSIX;CPUX64;PIC;EXTERNALLINKER",          33, 0, 8, false, false},
    {"Android64",    "ANDROID;ANDROID64;POSIX;CPUARM64;ELF;PIC;EXTERNALLINKER",          33, 0, 8, false, true},
    {"OSXARM64",     "MACOS;MACOS64;OSX;OSX64;POSIX;CPUARM64;PIC;EXTERNALLINKER",        35, 0, 8, false, false},
}};

// The updates of the versions that had them: the last one, and the constants each added to
// System (the n-th of them by Update n), as "12.3" or "10.4.2" names them.
struct TUpdates {
    const char* Name;
    int Last;
    const char* Constants;
};
constexpr std::array<TUpdates, 6> Updates = {{
    {"10.1", 2, ""},
    {"10.2", 3, ""},
    {"10.3", 3, ""},
    {"10.4", 2, "RTLVersion1041;RTLVersion1042"},
    {"11",   3, "RTLVersion111;RTLVersion112;RTLVersion113"},
    {"12",   3, "RTLVersion121;RTLVersion122;RTLVersion123"},
}};
// clang-format on

} // namespace

bool TCompilerVersion::IsClassic() const {
    return std::string_view(RegistryKey) == ClassicKey;
}

std::span<const TCompilerVersion> CompilerVersions() {
    return Versions;
}

namespace {

const TCompilerVersion* FindExactVersion(const std::string& t) {
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

const TUpdates* UpdatesOf(const TCompilerVersion& v) {
    for (const TUpdates& u : Updates)
        if (std::string_view(u.Name) == v.Name)
            return &u;
    return nullptr;
}

bool HasPlatform(const TCompilerVersion& v, const TPlatform& p) {
    const double cv = v.CompilerVersion;
    if (cv < 23) // one platform before XE2
        return p.From == 0;
    return cv >= p.From && (p.Until == 0 || cv <= p.Until);
}

} // namespace

TVersionUpdate FindVersionUpdate(std::string_view text) {
    std::string t = Trim(text);
    if (const TCompilerVersion* v = FindExactVersion(t))
        return {v, 0};
    if (SameTextN(t, "Delphi ", 7))
        t = Trim(t.substr(7));
    std::string base, number; // "12.3" or "12 Update 3"
    if (const size_t at = PosText(" update ", t)) {
        base = t.substr(0, at - 1);
        number = Trim(std::string_view(t).substr(at - 1 + 8));
    } else if (const size_t dot = t.rfind('.'); dot != std::string::npos) {
        base = t.substr(0, dot);
        number = t.substr(dot + 1);
    }
    if (number.empty() || number.size() > 2 ||
        number.find_first_not_of("0123456789") != std::string::npos)
        return {};
    const int update = std::stoi(number);
    for (const TCompilerVersion& v : Versions) {
        const TUpdates* u = UpdatesOf(v);
        if (u && SameText(base, v.Name) && update >= 1 && update <= u->Last)
            return {&v, update};
    }
    return {};
}

const TCompilerVersion* FindCompilerVersion(std::string_view text) {
    return FindVersionUpdate(text).Version;
}

std::vector<std::string> UpdateConstants(const TVersionUpdate& update) {
    std::vector<std::string> names;
    const TUpdates* u = update.Version ? UpdatesOf(*update.Version) : nullptr;
    if (!u)
        return names;
    SplitToList(u->Constants, ";", names);
    if (names.size() > static_cast<size_t>(update.Update))
        names.resize(static_cast<size_t>(update.Update));
    return names;
}

std::vector<std::string> VersionPlatforms(const TCompilerVersion& version) {
    std::vector<std::string> names;
    for (const TPlatform& p : Platforms)
        if (HasPlatform(version, p))
            names.emplace_back(p.Name);
    return names;
}

std::string FindVersionPlatform(const TCompilerVersion& version, std::string_view name) {
    for (const TPlatform& p : Platforms)
        if (SameText(Trim(name), p.Name) && HasPlatform(version, p))
            return p.Name;
    return {};
}

int PlatformPointerSize(std::string_view platform) {
    for (const TPlatform& p : Platforms)
        if (SameText(platform, p.Name))
            return p.PointerSize;
    return 4;
}

std::string VersionSymbols(const TCompilerVersion& version, std::string_view platform) {
    std::string symbols = version.VerSymbols;
    const double cv = version.CompilerVersion;
    if (cv == 0)
        return symbols + (std::string_view(version.Name) == "1.0" ? ";WIN16;WINDOWS" : ";WIN32");
    const TPlatform* target = &Platforms[0];
    for (const TPlatform& p : Platforms)
        if (SameText(platform, p.Name) && HasPlatform(version, p))
            target = &p;
    // Win32 alone before XE2, before CPUX86 was named.
    symbols +=
        cv < 23 ? std::string(";MSWINDOWS;WIN32;CPU386") : std::string(";") + target->Symbols;
    if (cv >= 29)
        symbols += target->PointerSize == 8 ? ";CPU64BITS" : ";CPU32BITS";
    if (cv >= 17) // the native compilers beside Delphi for .NET
        symbols += ";DCC;NATIVECODE";
    if (cv >= 23 && target->Assembler)
        symbols += ";ASSEMBLER";
    if (cv < 34 && target->Mobile)
        symbols += ";NEXTGEN;AUTOREFCOUNT";
    else if (cv < 34 && std::string_view(target->Name) == "Linux64")
        symbols += ";AUTOREFCOUNT";
    symbols += ";CONDITIONALEXPRESSIONS";
    if (cv >= 20)
        symbols += ";UNICODE";
    return symbols;
}

} // namespace ut
