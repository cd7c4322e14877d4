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
    EXPECT_EQ(ut::VersionDefines(" 6.0 ", "DEBUG", warned, prompts), "WIN32");
    ASSERT_EQ(prompts.warnings.size(), 1u);
    EXPECT_EQ(prompts.warnings[0],
              "Delphi compiler version is not known by Unitrace for Delphi version 6.0!\r\n"
              "You should write it manually to <Conditionals>");
    EXPECT_TRUE(prompts.flagWhenShown);
    // A second scan, even of another unknown version, shows nothing.
    EXPECT_EQ(ut::VersionDefines("7.0", "", warned, prompts), "WIN32");
    EXPECT_EQ(ut::VersionDefines("5.", "", warned, prompts), "WIN32");
    EXPECT_EQ(prompts.warnings.size(), 1u);
}

TEST(VersionDefines, ConditionalsNamingAVersionSymbolSuppressTheWarning) {
    for (const char* conditionals : {"DEBUG;VER140", "ver150", "SERVER2", "VERBOSE;VER140"}) {
        FakePrompts prompts;
        bool warned = false;
        EXPECT_EQ(ut::VersionDefines("6.0", conditionals, warned, prompts), "WIN32");
        EXPECT_TRUE(prompts.warnings.empty()) << conditionals;
        EXPECT_FALSE(warned) << conditionals;
    }
    for (const char* conditionals : {"", "DEBUG", "VER", "VERX1", "VERBOSE", "V1ER2", "VE R1"})
        EXPECT_FALSE(ut::NamesVersionSymbol(conditionals)) << conditionals;
}

} // namespace
