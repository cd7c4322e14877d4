// The installed compiler from the registry store, and the symbols a version implies.
#include "config/CompilerSettings.h"

#include "platform/Registry.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

using ut::RegistryStore;

class FakePrompts : public ut::Prompts {
  public:
    void Warning(const std::string& text) override {
        warnings.push_back(text);
        flagWhenShown = warned && *warned;
    }
    bool Confirm(const std::string&) override { return false; }

    std::vector<std::string> warnings;
    const bool* warned = nullptr;
    bool flagWhenShown = false;
};

// An export of three BDS generations as their installers and IDEs leave them.
const char* BdsExport = R"(Windows Registry Editor Version 5.00
[HKEY_CURRENT_USER\Software\Embarcadero\BDS\23.0]
"RootDir"="C:\\Program Files (x86)\\Embarcadero\\Studio\\23.0\\"
[HKEY_CURRENT_USER\Software\Embarcadero\BDS\23.0\Library\Win32]
"Search Path"="$(BDSLIB)\\$(Platform)\\release;$(BDSUSERDIR)\\Imports"
"Browsing Path"="$(BDS)\\source\\rtl\\common;$(bds)\\source\\vcl"
[HKEY_CURRENT_USER\Software\Embarcadero\BDS\23.0\Library\Win64]
"Browsing Path"="$(BDS)\\source\\rtl\\win"
[HKEY_CURRENT_USER\Software\Embarcadero\BDS\22.0\Library\Win32]
"Search Path"="$(BDSLIB)\\$(Platform)\\release"
[HKEY_LOCAL_MACHINE\SOFTWARE\Wow6432Node\CodeGear\BDS\6.0]
"RootDir"="C:\\Program Files\\CodeGear\\RAD Studio\\6.0"
[HKEY_CURRENT_USER\Software\CodeGear\BDS\6.0\Library]
"Search Path"="$(BDS)\\Lib;$(BDS)\\Imports"
"Browsing Path"="$(BDS)\\source\\Win32\\vcl"
[HKEY_LOCAL_MACHINE\SOFTWARE\Borland\BDS\5.0]
"RootDir"="C:\\Program Files\\CodeGear\\RAD Studio\\5.0\\"
[HKEY_LOCAL_MACHINE\SOFTWARE\Borland\Delphi\7.0]
"RootDir"="C:\\Program Files\\Borland\\Delphi7"
)";

TEST(CompilerSettings, InstalledVersionsAndTheirSettings) {
    RegistryStore r;
    ASSERT_TRUE(r.AddFile(UNITRACE_FIXTURES "/config/regedit4-delphi.reg"));
    EXPECT_EQ(ut::InstalledVersions(r), (std::vector<std::string>{"3.0", "4.0", "5.0"}));
    EXPECT_EQ(ut::SelectInstalledVersion(r), "5.0"); // the last in text order
    RegistryStore empty;
    EXPECT_EQ(ut::SelectInstalledVersion(empty), std::nullopt);
    empty.AddText("REGEDIT4\n[HKEY_LOCAL_MACHINE\\Software\\Borland\\Delphi]\n\"x\"=\"1\"\n");
    EXPECT_EQ(ut::SelectInstalledVersion(empty), std::nullopt);
    RegistryStore odd; // a RootDir that is no string
    odd.AddText(
        "REGEDIT4\n[HKEY_LOCAL_MACHINE\\Software\\Borland\\Delphi\\6.0]\n\"RootDir\"=dword:1\n");
    EXPECT_EQ(ut::ReadVersionSettings(odd, "6.0").DelphiRoot, std::nullopt);

    r.AddText(BdsExport);
    EXPECT_EQ(ut::InstalledVersions(r),
              (std::vector<std::string>{"3.0", "4.0", "5.0", "7", "2007", "2009", "11", "12"}));
    EXPECT_EQ(ut::SelectInstalledVersion(r), "12");
    // "library | browsing | root", "-" where the registry has none, then the notes.
    // Typing "5" then ".0": only the complete name finds the keys.
    const std::string studio = "C:\\Program Files (x86)\\Embarcadero\\Studio\\23.0";
    const std::string rad6 = "C:\\Program Files\\CodeGear\\RAD Studio\\6.0";
    const struct {
        const char* version;
        const char* platform;
        std::string expected;
    } cases[] = {
        // clang-format off
        {"5.0", "", "$(DELPHI)\\Lib;$(DELPHI)\\Bin;$(DELPHI)\\Imports | $(DELPHI)\\Source\\Vcl;$(DELPHI)\\Source\\Rtl\\Common | C:\\Program Files\\Borland\\Delphi5"},
        {"4.0", "", "$(DELPHI)\\Lib |  | C:\\Program Files\\Borland\\Delphi4"},
        {"3.0", "", "- | $(DELPHI)\\Source\\Vcl | C:\\Program Files\\Borland\\Delphi 3"},
        {"5", "", "- | - | -"}, {" 5.0 ", "", "- | - | -"}, {"", "", "- | - | -"}, {"5.0\\Library", "", "- | - | -"},
        {"12", "Win32", studio + "\\lib\\Win32\\release;$(BDSUSERDIR)\\Imports | " + studio + "\\source\\rtl\\common;" + studio + "\\source\\vcl | " + studio},
        {"23.0", "Win64", "- | " + studio + "\\source\\rtl\\win | " + studio +
         " | Delphi 12 Athens: the registry key Software\\Embarcadero\\BDS\\23.0\\Library\\Win64 has no \"Search Path\""},
        {"11", "Win32", "$(BDSLIB)\\Win32\\release |  | -"
         " | Delphi 11 Alexandria: the registry key Software\\Embarcadero\\BDS\\22.0 has no \"RootDir\"; $(BDS) stays unexpanded"
         " | Delphi 11 Alexandria: the registry key Software\\Embarcadero\\BDS\\22.0\\Library\\Win32 has no \"Browsing Path\""},
        {"2009", "Win32", rad6 + "\\Lib;" + rad6 + "\\Imports | " + rad6 + "\\source\\Win32\\vcl | " + rad6},
        {"2007", "Win32", "- | - | C:\\Program Files\\CodeGear\\RAD Studio\\5.0"
         " | Delphi 2007: the registry holds no library paths (Software\\Borland\\BDS\\5.0\\Library)"},
        {"XE7", "Win32", "- | - | -"}, // not installed
        // XE2 on keep a key per platform: the note names the one read.
        {"12", "Linux64", "- | - | " + studio + " | Delphi 12 Athens: the registry holds no library paths (Software\\Embarcadero\\BDS\\23.0\\Library\\Linux64)"},
        // clang-format on
    };
    const auto text = [](const std::optional<std::string>& s) { return s ? *s : "-"; };
    for (const auto& c : cases) {
        const auto s = *c.platform ? ut::ReadVersionSettings(r, c.version, c.platform)
                                   : ut::ReadVersionSettings(r, c.version);
        std::string shown =
            text(s.LibPath) + " | " + text(s.BrowsePath) + " | " + text(s.DelphiRoot);
        for (const std::string& n : s.Notes)
            shown += " | " + n;
        EXPECT_EQ(shown, c.expected) << c.version;
    }
    // Applied to typed fields: a missing browsing path empties its field, a missing search
    // path or root keeps the typed one.
    std::string lib = "typed", browse = "typed", root = "typed";
    ut::ReadVersionSettings(r, "4.0").ApplyTo(lib, browse, root);
    ut::ReadVersionSettings(r, "3.0").ApplyTo(lib, browse, root);
    ut::ReadVersionSettings(r, "5").ApplyTo(lib, browse, root);
    EXPECT_EQ(lib + " | " + browse + " | " + root,
              "$(DELPHI)\\Lib | $(DELPHI)\\Source\\Vcl | C:\\Program Files\\Borland\\Delphi 3");

    // A named version that is not installed is said to be, while another is.
    for (const auto& [version, note] : std::vector<std::pair<std::string, std::string>>{
             {"12.3", ""},
             {"5.0", ""},
             {"XE7", "Delphi XE7 is not installed (the registry has no key "
                     "Software\\Embarcadero\\BDS\\15.0): no library or browsing path of another "
                     "version is used"},
             {"6", "Delphi 6 is not installed (the registry has no key "
                   "Software\\Borland\\Delphi\\6.0): no library or browsing path of another "
                   "version is used"}})
        EXPECT_EQ(ut::NotInstalledMessage(r, version), note) << version;
    EXPECT_EQ(ut::NotInstalledMessage(RegistryStore(), "XE7"), ""); // nothing stands in
}

TEST(VersionDefines, SymbolsOfAVersionAndTheWarningForAnUnknownOne) {
    const char* const cases[][3] = {
        // clang-format off
        {"5.0", "", "VER130;WIN32"}, {"4.0", "", "VER120;WIN32"}, {"3.0", "", "VER100;WIN32"},
        {"2.0", "", "VER90;WIN32"}, {"1.0", "", "VER80;WIN16;WINDOWS"}, {" 5.0 ", "", "VER130;WIN32"},
        {"\t4.0\r\n", "", "VER120;WIN32"},
        // Conditionals naming a version symbol suppress the warning of an unknown version.
        {"2.5", "DEBUG;VER140", "WIN32"}, {"2.5", "ver150", "WIN32"}, {"2.5", "SERVER2", "WIN32"},
        {"2.5", "VERBOSE;VER140", "WIN32"},
        // clang-format on
    };
    for (const auto& [version, conditionals, symbols] : cases) {
        FakePrompts prompts;
        bool warned = false;
        EXPECT_EQ(ut::VersionDefines(version, conditionals, warned, prompts), symbols) << version;
        EXPECT_EQ(prompts.warnings, std::vector<std::string>{}) << version;
        EXPECT_FALSE(warned) << version;
    }
    for (const char* conditionals : {"", "DEBUG", "VER", "VERX1", "VERBOSE", "V1ER2", "VE R1"})
        EXPECT_FALSE(ut::NamesVersionSymbol(conditionals)) << conditionals;

    FakePrompts prompts;
    bool warned = false;
    prompts.warned = &warned;
    EXPECT_EQ(ut::VersionDefines(" 2.5 ", "DEBUG", warned, prompts), "WIN32");
    EXPECT_TRUE(prompts.flagWhenShown);
    // A second scan, even of another unknown version, shows nothing.
    EXPECT_EQ(ut::VersionDefines("99", "", warned, prompts), "WIN32");
    EXPECT_EQ(ut::VersionDefines("5.", "", warned, prompts), "WIN32");
    EXPECT_EQ(prompts.warnings,
              std::vector<std::string>{
                  "Delphi compiler version is not known by Unitrace for Delphi version 2.5!\r\n"
                  "You should write it manually to <Conditionals> (--defines, e.g. VER360), or "
                  "name a version Unitrace knows (--delphi: 7, 2007, XE7, 10.4.2, 11.3, 12.3, "
                  "...)"});
    // No version at all: no installation was found, and the warning says how to name one.
    FakePrompts none;
    bool noneWarned = false;
    EXPECT_EQ(ut::VersionDefines("", "", noneWarned, none), "WIN32");
    EXPECT_EQ(none.warnings, std::vector<std::string>{ut::NoInstallationMessage()});
    EXPECT_EQ(none.warnings[0].rfind("No Delphi installation was found and no version was "
                                     "named: the sources are read with WIN32 alone.\r\nName a "
                                     "version with --delphi",
                                     0),
              0u);
}

TEST(CompilerVersions, ProductNamesAndBdsNumbersFindTheirVersion) {
    const char* const cases[][2] = {
        // clang-format off
        {"5.0", "5.0 VER130 0 0"}, {"6", "6 VER140 14 14"},
        {"7.0", "7 VER150 15 15"}, // the Delphi key, not BDS 7.0 (Delphi 2010)
        {"2007", "2007 VER185;VER180 18.5 18"}, {"xe", "XE VER220 22 22"},
        {"8.0", "XE VER220 22 22"}, {"14.0", "XE6 VER270 27 27"},
        {"Delphi 10 Seattle", "10 VER300 30 30"}, {"10.4", "10.4 VER340 34 34"},
        {"23.0", "12 VER360 36 36"}, {"37.0", "13 VER370 37 37"},
        {"5", "none"}, {"13.0", "none"}, // no BDS 13.0 was released
        // Updates: the version's own numbers, with the constants they add to System.
        {"12.3", "12 VER360 36 36 RTLVersion121 RTLVersion122 RTLVersion123"},
        {" delphi 11.3", "11 VER350 35 35 RTLVersion111 RTLVersion112 RTLVersion113"},
        {"12 Update 1", "12 VER360 36 36 RTLVersion121"},
        {"10.4.2", "10.4 VER340 34 34 RTLVersion1041 RTLVersion1042"},
        {"10.3.3", "10.3 VER330 33 33"},
        {"12.0", "XE5 VER260 26 26"}, // BDS 12.0 is XE5's number
        {"12.4", "none"}, {"10.4.3", "none"}, {"XE7.1", "none"}, {"12.", "none"}, {"12.3x", "none"},
        // clang-format on
    };
    for (const auto& [text, expected] : cases) {
        const ut::TCompilerVersion* v = ut::FindCompilerVersion(text);
        std::ostringstream shown;
        if (v)
            shown << v->Name << " " << v->VerSymbols << " " << v->CompilerVersion << " "
                  << v->RTLVersion;
        for (const auto& [name, value] : ut::VersionConstants(text))
            if (name.rfind("RTLVersion", 0) == 0 && name != "RTLVersion" && value == 1)
                shown << " " << name;
        EXPECT_EQ(v ? shown.str() : "none", expected) << text;
    }
    // Every name and registry key of the table names its own row.
    for (const ut::TCompilerVersion& v : ut::CompilerVersions()) {
        EXPECT_EQ(ut::FindCompilerVersion(v.Name), &v) << v.Name;
        EXPECT_EQ(ut::FindCompilerVersion(v.Product), &v) << v.Product;
    }
}

TEST(CompilerVersions, SymbolsFollowTheTargetPlatform) {
    const char* const cases[][3] = {
        {"1.0", "Win32", "VER80;WIN16;WINDOWS"},
        {"7", "Win32", "VER150;MSWINDOWS;WIN32;CPU386;CONDITIONALEXPRESSIONS"},
        {"2007", "Win32",
         "VER185;VER180;MSWINDOWS;WIN32;CPU386;DCC;NATIVECODE;CONDITIONALEXPRESSIONS"},
        {"2009", "Win64",
         "VER200;MSWINDOWS;WIN32;CPU386;DCC;NATIVECODE;CONDITIONALEXPRESSIONS;UNICODE"},
        {"XE7", "Win32",
         "VER280;MSWINDOWS;WIN32;CPU386;CPUX86;DCC;NATIVECODE;ASSEMBLER;CONDITIONALEXPRESSIONS;"
         "UNICODE"},
        {"12", "Win32",
         "VER360;MSWINDOWS;WIN32;CPU386;CPUX86;CPU32BITS;DCC;NATIVECODE;ASSEMBLER;"
         "CONDITIONALEXPRESSIONS;UNICODE"},
        {"12", "win64",
         "VER360;MSWINDOWS;WIN64;CPUX64;CPU64BITS;DCC;NATIVECODE;ASSEMBLER;CONDITIONALEXPRESSIONS;"
         "UNICODE"},
        {"11", "Linux64",
         "VER350;LINUX;LINUX64;POSIX;CPUX64;ELF;PIC;EXTERNALLINKER;CPU64BITS;DCC;NATIVECODE;"
         "CONDITIONALEXPRESSIONS;UNICODE"},
        {"10.2", "Linux64",
         "VER320;LINUX;LINUX64;POSIX;CPUX64;ELF;PIC;EXTERNALLINKER;CPU64BITS;DCC;NATIVECODE;"
         "AUTOREFCOUNT;CONDITIONALEXPRESSIONS;UNICODE"},
        {"10.3", "Android",
         "VER330;ANDROID;ANDROID32;POSIX;CPUARM;CPUARM32;ELF;PIC;EXTERNALLINKER;CPU32BITS;DCC;"
         "NATIVECODE;NEXTGEN;AUTOREFCOUNT;CONDITIONALEXPRESSIONS;UNICODE"},
        {"XE2", "Amiga",
         "VER230;MSWINDOWS;WIN32;CPU386;CPUX86;DCC;NATIVECODE;ASSEMBLER;CONDITIONALEXPRESSIONS;"
         "UNICODE"},
        {"10.1", "Linux64",
         "VER310;MSWINDOWS;WIN32;CPU386;CPUX86;CPU32BITS;DCC;NATIVECODE;ASSEMBLER;"
         "CONDITIONALEXPRESSIONS;UNICODE"},
    };
    for (const auto& [version, platform, symbols] : cases)
        EXPECT_EQ(ut::VersionSymbols(*ut::FindCompilerVersion(version), platform), symbols)
            << version << " " << platform;

    // A platform the version lacks is named with those it has; the spelling is the table's.
    const char* const platforms[][3] = {
        {"12", "linux64", "Linux64"},
        {"10.1", "Linux64",
         "Delphi 10.1 Berlin has no platform \"Linux64\" (it has Win32, "
         "Win64, OSX32, iOSSimulator, iOSDevice32, Android, iOSDevice64)"},
        {"7", "Win64", "Delphi 7 has no platform \"Win64\" (it has Win32)"},
        {"12.3", "OSX32",
         "Delphi 12 Athens has no platform \"OSX32\" (it has Win32, Win64, "
         "Android, iOSDevice64, Linux64, OSX64, Android64, OSXARM64)"},
        {"", "osx32", "OSX32"}, // no version named: any version's
        {"99", "Amiga", "no Delphi has a platform \"Amiga\""},
    };
    for (const auto& [version, name, expected] : platforms) {
        const std::string platform = ut::PlatformOfVersion(version, name);
        EXPECT_EQ(platform.empty() ? ut::UnknownPlatformMessage(version, name) : platform, expected)
            << version << " " << name;
    }
    EXPECT_EQ(ut::PlatformPointerSize("Win64"), 8);
    EXPECT_EQ(ut::PlatformPointerSize("Android"), 4);
}

} // namespace
