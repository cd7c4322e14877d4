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
                  "You should write it manually to <Conditionals>"});
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
        // clang-format on
    };
    for (const auto& [text, expected] : cases) {
        const ut::TCompilerVersion* v = ut::FindCompilerVersion(text);
        std::ostringstream shown;
        if (v)
            shown << v->Name << " " << v->VerSymbols << " " << v->CompilerVersion << " "
                  << v->RTLVersion;
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
        {"2007", "Win32", "VER185;VER180;MSWINDOWS;WIN32;CPU386;CONDITIONALEXPRESSIONS"},
        {"2009", "Win64", "VER200;MSWINDOWS;WIN32;CPU386;CONDITIONALEXPRESSIONS;UNICODE"},
        {"12", "Win32", "VER360;MSWINDOWS;WIN32;CPU386;CPUX86;CONDITIONALEXPRESSIONS;UNICODE"},
        {"12", "win64", "VER360;MSWINDOWS;WIN64;CPUX64;CONDITIONALEXPRESSIONS;UNICODE"},
        {"11", "Linux64", "VER350;LINUX;LINUX64;POSIX;CPUX64;CONDITIONALEXPRESSIONS;UNICODE"},
        {"XE2", "Amiga", "VER230;MSWINDOWS;WIN32;CPU386;CPUX86;CONDITIONALEXPRESSIONS;UNICODE"},
    };
    for (const auto& [version, platform, symbols] : cases)
        EXPECT_EQ(ut::VersionSymbols(*ut::FindCompilerVersion(version), platform), symbols)
            << version << " " << platform;
}

} // namespace
