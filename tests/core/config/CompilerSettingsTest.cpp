// The installed compiler from the registry store, and the symbols a version implies.
#include "config/CompilerSettings.h"

#include "platform/Registry.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using ut::RegistryStore;

const std::string Fixtures = std::string(UNITRACE_FIXTURES) + "/config/";

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

RegistryStore Delphi345() {
    RegistryStore r;
    EXPECT_TRUE(r.AddFile(Fixtures + "regedit4-delphi.reg"));
    return r;
}

TEST(CompilerSettings, NewestInstalledVersionIsTheLastInTextOrder) {
    const RegistryStore r = Delphi345();
    EXPECT_EQ(ut::InstalledVersions(r), (std::vector<std::string>{"3.0", "4.0", "5.0"}));
    EXPECT_EQ(ut::SelectInstalledVersion(r), "5.0");

    RegistryStore none;
    EXPECT_EQ(ut::SelectInstalledVersion(none), std::nullopt);
    RegistryStore empty;
    empty.AddText("REGEDIT4\n[HKEY_LOCAL_MACHINE\\Software\\Borland\\Delphi]\n\"x\"=\"1\"\n");
    EXPECT_EQ(ut::SelectInstalledVersion(empty), std::nullopt);
}

TEST(CompilerSettings, VersionSettingsFromBothRoots) {
    const RegistryStore r = Delphi345();
    const auto s = ut::ReadVersionSettings(r, "5.0");
    EXPECT_EQ(s.LibPath, "$(DELPHI)\\Lib;$(DELPHI)\\Bin;$(DELPHI)\\Imports");
    EXPECT_EQ(s.BrowsePath, "$(DELPHI)\\Source\\Vcl;$(DELPHI)\\Source\\Rtl\\Common");
    EXPECT_EQ(s.DelphiRoot, "C:\\Program Files\\Borland\\Delphi5");
}

// Typing "5" then ".0": only the complete name finds the keys; until then nothing changes.
TEST(CompilerSettings, PartialOrPaddedVersionNamesFindNothing) {
    const RegistryStore r = Delphi345();
    for (const char* version : {"5", " 5.0 ", "", "5.0\\Library"}) {
        const auto s = ut::ReadVersionSettings(r, version);
        EXPECT_EQ(s.LibPath, std::nullopt) << version;
        EXPECT_EQ(s.BrowsePath, std::nullopt) << version;
        EXPECT_EQ(s.DelphiRoot, std::nullopt) << version;
        std::string lib = "typed", browse = "typed", root = "C:\\D";
        s.ApplyTo(lib, browse, root);
        EXPECT_EQ(lib + browse + root, "typedtypedC:\\D") << version;
    }
}

TEST(CompilerSettings, MissingBrowsingPathEmptiesButMissingSearchPathKeeps) {
    const RegistryStore r = Delphi345();
    std::string lib = "typed lib", browse = "typed browse", root = "C:\\old";
    ut::ReadVersionSettings(r, "4.0").ApplyTo(lib, browse, root);
    EXPECT_EQ(lib, "$(DELPHI)\\Lib");
    EXPECT_EQ(browse, "");
    EXPECT_EQ(root, "C:\\Program Files\\Borland\\Delphi4");

    lib = "typed lib";
    ut::ReadVersionSettings(r, "3.0").ApplyTo(lib, browse, root);
    EXPECT_EQ(lib, "typed lib");
    EXPECT_EQ(browse, "$(DELPHI)\\Source\\Vcl");
    EXPECT_EQ(root, "C:\\Program Files\\Borland\\Delphi 3");
}

TEST(CompilerSettings, RootDirKeptWhenTheVersionKeyLacksIt) {
    RegistryStore r;
    r.AddText("REGEDIT4\n[HKEY_LOCAL_MACHINE\\Software\\Borland\\Delphi\\6.0]\n"
              "\"RootDir\"=dword:00000001\n");
    const auto s = ut::ReadVersionSettings(r, "6.0");
    EXPECT_EQ(s.DelphiRoot, std::nullopt);
    EXPECT_EQ(s.LibPath, std::nullopt);
}

TEST(VersionDefines, KnownVersionsAndTheirSymbols) {
    const std::pair<const char*, const char*> table[] = {
        {"5.0", "VER130;WIN32"},       {"4.0", "VER120;WIN32"},        {"3.0", "VER100;WIN32"},
        {"2.0", "VER90;WIN32"},        {"1.0", "VER80;WIN16;WINDOWS"}, {" 5.0 ", "VER130;WIN32"},
        {"\t4.0\r\n", "VER120;WIN32"},
    };
    for (const auto& [version, symbols] : table) {
        FakePrompts prompts;
        bool warned = false;
        EXPECT_EQ(ut::VersionDefines(version, "", warned, prompts), symbols) << version;
        EXPECT_TRUE(prompts.warnings.empty()) << version;
        EXPECT_FALSE(warned) << version;
    }
}

TEST(VersionDefines, UnknownVersionWarnsOncePerRun) {
    FakePrompts prompts;
    bool warned = false;
    prompts.warned = &warned;
    EXPECT_EQ(ut::VersionDefines(" 2.5 ", "DEBUG", warned, prompts), "WIN32");
    ASSERT_EQ(prompts.warnings.size(), 1u);
    EXPECT_EQ(prompts.warnings[0],
              "Delphi compiler version is not known by Unitrace for Delphi version 2.5!\r\n"
              "You should write it manually to <Conditionals>");
    EXPECT_TRUE(prompts.flagWhenShown);
    // A second scan, even of another unknown version, shows nothing.
    EXPECT_EQ(ut::VersionDefines("99", "", warned, prompts), "WIN32");
    EXPECT_EQ(ut::VersionDefines("5.", "", warned, prompts), "WIN32");
    EXPECT_EQ(prompts.warnings.size(), 1u);
}

TEST(VersionDefines, ConditionalsNamingAVersionSymbolSuppressTheWarning) {
    for (const char* conditionals : {"DEBUG;VER140", "ver150", "SERVER2", "VERBOSE;VER140"}) {
        FakePrompts prompts;
        bool warned = false;
        EXPECT_EQ(ut::VersionDefines("2.5", conditionals, warned, prompts), "WIN32");
        EXPECT_TRUE(prompts.warnings.empty()) << conditionals;
        EXPECT_FALSE(warned) << conditionals;
    }
    for (const char* conditionals : {"", "DEBUG", "VER", "VERX1", "VERBOSE", "V1ER2", "VE R1"})
        EXPECT_FALSE(ut::NamesVersionSymbol(conditionals)) << conditionals;
}

TEST(CompilerVersions, ProductNamesAndBdsNumbersFindTheirVersion) {
    const struct {
        const char* text;
        const char* name; // nullptr: no version
        const char* verSymbols;
        double compilerVersion, rtlVersion;
    } cases[] = {
        {"5.0", "5.0", "VER130", 0, 0},
        {"6", "6", "VER140", 14.0, 14.0},
        {"7.0", "7", "VER150", 15.0, 15.0}, // the Delphi key, not BDS 7.0 (Delphi 2010)
        {"2007", "2007", "VER185;VER180", 18.5, 18.0},
        {"xe", "XE", "VER220", 22.0, 22.0},
        {"8.0", "XE", "VER220", 22.0, 22.0},
        {"14.0", "XE6", "VER270", 27.0, 27.0},
        {"Delphi 10 Seattle", "10", "VER300", 30.0, 30.0},
        {"10.4", "10.4", "VER340", 34.0, 34.0},
        {"23.0", "12", "VER360", 36.0, 36.0},
        {"37.0", "13", "VER370", 37.0, 37.0},
        {"5", nullptr, "", 0, 0},
        {"13.0", nullptr, "", 0, 0}, // no BDS 13.0 was released
    };
    for (const auto& c : cases) {
        const ut::TCompilerVersion* v = ut::FindCompilerVersion(c.text);
        if (!c.name) {
            EXPECT_EQ(v, nullptr) << c.text;
            continue;
        }
        ASSERT_NE(v, nullptr) << c.text;
        EXPECT_STREQ(v->Name, c.name) << c.text;
        EXPECT_STREQ(v->VerSymbols, c.verSymbols) << c.text;
        EXPECT_EQ(v->CompilerVersion, c.compilerVersion) << c.text;
        EXPECT_EQ(v->RTLVersion, c.rtlVersion) << c.text;
    }
    // Every name and registry key of the table names its own row.
    for (const ut::TCompilerVersion& v : ut::CompilerVersions()) {
        EXPECT_EQ(ut::FindCompilerVersion(v.Name), &v) << v.Name;
        EXPECT_EQ(ut::FindCompilerVersion(v.Product), &v) << v.Product;
    }
}

TEST(CompilerVersions, SymbolsFollowTheTargetPlatform) {
    const struct {
        const char* version;
        const char* platform;
        const char* symbols;
    } cases[] = {
        {"1.0", "Win32", "VER80;WIN16;WINDOWS"},
        {"2007", "Win32", "VER185;VER180;MSWINDOWS;WIN32;CPU386;CONDITIONALEXPRESSIONS"},
        {"2009", "Win64", "VER200;MSWINDOWS;WIN32;CPU386;CONDITIONALEXPRESSIONS;UNICODE"},
        {"12", "Win32", "VER360;MSWINDOWS;WIN32;CPU386;CPUX86;CONDITIONALEXPRESSIONS;UNICODE"},
        {"12", "win64", "VER360;MSWINDOWS;WIN64;CPUX64;CONDITIONALEXPRESSIONS;UNICODE"},
        {"11", "Linux64", "VER350;LINUX;LINUX64;POSIX;CPUX64;CONDITIONALEXPRESSIONS;UNICODE"},
        {"XE2", "Amiga", "VER230;MSWINDOWS;WIN32;CPU386;CPUX86;CONDITIONALEXPRESSIONS;UNICODE"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ut::VersionSymbols(*ut::FindCompilerVersion(c.version), c.platform), c.symbols)
            << c.version << " " << c.platform;
}

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

TEST(CompilerSettings, BdsVersionsFromARegistryExport) {
    RegistryStore r = Delphi345();
    r.AddText(BdsExport);
    EXPECT_EQ(ut::InstalledVersions(r),
              (std::vector<std::string>{"3.0", "4.0", "5.0", "7", "2007", "2009", "11", "12"}));
    EXPECT_EQ(ut::SelectInstalledVersion(r), "12");

    const std::string studio = "C:\\Program Files (x86)\\Embarcadero\\Studio\\23.0";
    const struct {
        const char* version;
        const char* platform;
        std::optional<std::string> lib, browse, root;
        std::vector<std::string> notes;
    } cases[] = {
        {"12",
         "Win32",
         studio + "\\lib\\Win32\\release;$(BDSUSERDIR)\\Imports",
         studio + "\\source\\rtl\\common;" + studio + "\\source\\vcl",
         studio,
         {}},
        {"23.0",
         "Win64",
         std::nullopt,
         studio + "\\source\\rtl\\win",
         studio,
         {"Delphi 12 Athens: the registry key Software\\Embarcadero\\BDS\\23.0\\Library\\Win64 "
          "has no \"Search Path\""}},
        {"11",
         "Win32",
         "$(BDSLIB)\\Win32\\release",
         "",
         std::nullopt,
         {"Delphi 11 Alexandria: the registry key Software\\Embarcadero\\BDS\\22.0 has no "
          "\"RootDir\"; $(BDS) stays unexpanded",
          "Delphi 11 Alexandria: the registry key Software\\Embarcadero\\BDS\\22.0\\Library\\Win32 "
          "has no \"Browsing Path\""}},
        {"2009",
         "Win32",
         "C:\\Program Files\\CodeGear\\RAD Studio\\6.0\\Lib;"
         "C:\\Program Files\\CodeGear\\RAD Studio\\6.0\\Imports",
         "C:\\Program Files\\CodeGear\\RAD Studio\\6.0\\source\\Win32\\vcl",
         "C:\\Program Files\\CodeGear\\RAD Studio\\6.0",
         {}},
        {"2007",
         "Win32",
         std::nullopt,
         std::nullopt,
         "C:\\Program Files\\CodeGear\\RAD Studio\\5.0",
         {"Delphi 2007: the registry holds no library paths "
          "(Software\\Borland\\BDS\\5.0\\Library)"}},
        {"XE7", "Win32", std::nullopt, std::nullopt, std::nullopt, {}}, // not installed
    };
    for (const auto& c : cases) {
        const auto s = ut::ReadVersionSettings(r, c.version, c.platform);
        EXPECT_EQ(s.LibPath, c.lib) << c.version;
        EXPECT_EQ(s.BrowsePath, c.browse) << c.version;
        EXPECT_EQ(s.DelphiRoot, c.root) << c.version;
        EXPECT_EQ(s.Notes, c.notes) << c.version;
    }
}

} // namespace
