// The registry store read from .reg files: both Windows export formats, Wine's files, merging,
// broken lines, and drive letters through a Wine prefix.
#include "platform/Registry.h"
#include "platform/FileSystem.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

namespace {

using ut::RegistryStore;
using enum ut::RegRoot;

const std::string Fixtures = std::string(UNITRACE_FIXTURES) + "/config/";
const char* const D5 = "\\Software\\Borland\\Delphi\\5.0";

/// Single-byte text to UTF-16LE bytes with a byte-order mark, as regedit writes "Version
/// 5.00" files.
std::string Utf16File(const std::string& text) {
    std::string out = "\xFF\xFE";
    for (const char c : text)
        out += {c, '\0'};
    return out;
}

TEST(RegistryStore, Regedit4ExportReadsValuesNamesWithoutCaseAndSkipsBrokenLines) {
    RegistryStore r;
    ASSERT_TRUE(r.AddFile(Fixtures + "regedit4-delphi.reg"));
    EXPECT_EQ(r.ReadString(LocalMachine, "\\software\\BORLAND\\delphi\\5.0", "rootdir"),
              "C:\\Program Files\\Borland\\Delphi5");
    EXPECT_EQ(r.ReadString(LocalMachine, D5, ""), "Delphi \"Enterprise\"");
    // hex(2) continued over two lines, single-byte text in a REGEDIT4 file, NUL dropped.
    const ut::RegValue* product = r.ReadValue(LocalMachine, D5, "ProductPath");
    ASSERT_NE(product, nullptr);
    EXPECT_EQ(product->Type, ut::RegExpandSz);
    EXPECT_EQ(product->Data, "%PROGRAMFILES%\\Borland");
    // A dword's number.
    const ut::RegValue* version = r.ReadValue(LocalMachine, D5, "Version");
    ASSERT_NE(version, nullptr);
    EXPECT_EQ(version->Number, 5u);
    // No key through an empty name or blanks around one.
    EXPECT_TRUE(r.KeyExists(LocalMachine, "SOFTWARE\\Borland"));
    for (const char* key : {"\\Software\\Borland\\Delphi\\\\5.0",
                            "\\Software\\Borland\\Delphi\\ 5.0 ", "\\Software\\Borland\\Lost"})
        EXPECT_FALSE(r.KeyExists(LocalMachine, key)) << key;
    const char* debugging = "\\Software\\Borland\\Delphi\\5.0\\Debugging";
    EXPECT_EQ(r.ReadString(CurrentUser, debugging, "Good"), "after the broken ones");
    for (const char* name : {"Orphan", "Lost", "Unterminated", "BadDword", "NoEquals", "BadHex"})
        EXPECT_FALSE(r.ValueExists(CurrentUser, debugging, name)) << name;
    EXPECT_EQ(r.SkippedLines(), 8);
}

TEST(RegistryStore, Version5ExportIsUtf16WithUtf16ExpandableStrings) {
    const std::string text =
        "Windows Registry Editor Version 5.00\r\n\r\n"
        "[HKEY_LOCAL_MACHINE\\Software\\Borland\\Delphi\\5.0]\r\n"
        "\"RootDir\"=\"C:\\\\Programme\\\\Borland\\\\Delphi5\"\r\n"
        "\"Owner\"=\"Jos\xE9\"\r\n"
        // "%A%\é" as UTF-16LE with its terminating NUL, continued on a second line.
        "\"Path\"=hex(2):25,00,41,00,25,00,5c,00,\\\r\n  e9,00,00,00\r\n"
        "@=\"default\"\r\n";
    RegistryStore r;
    r.AddText(Utf16File(text));
    EXPECT_EQ(r.ReadString(LocalMachine, D5, "RootDir"), "C:\\Programme\\Borland\\Delphi5");
    EXPECT_EQ(r.ReadString(LocalMachine, D5, "Owner"), "Jos\xC3\xA9");
    EXPECT_EQ(r.ReadString(LocalMachine, D5, "Path"), "%A%\\\xC3\xA9");
    EXPECT_EQ(r.ReadString(LocalMachine, D5, "@"), std::nullopt);
    EXPECT_EQ(r.ReadString(LocalMachine, D5, ""), "default");
}

TEST(RegistryStore, WineFilesAreRelativeToTheirRootOrTheRootTheirNameGives) {
    RegistryStore r;
    ASSERT_TRUE(r.AddFile(Fixtures + "wine/system.reg"));
    ASSERT_TRUE(r.AddFile(Fixtures + "wine/user.reg"));
    EXPECT_EQ(r.ReadString(LocalMachine, D5, "Product"), "Delphi\xE2\x84\xA2 5");
    EXPECT_EQ(r.ReadString(LocalMachine, "\\Software\\Borland\\Delphi\\5.0\\Borland\\Wine", "Note"),
              "tab\there");
    const ut::RegValue* common = r.ReadValue(
        LocalMachine, "\\Software\\Microsoft\\Windows\\CurrentVersion", "CommonFilesDir");
    ASSERT_NE(common, nullptr);
    EXPECT_EQ(common->Type, ut::RegExpandSz);
    EXPECT_EQ(common->Data, "%ProgramFiles%\\Common Files");
    const char* library = "\\Software\\Borland\\Delphi\\5.0\\Library";
    EXPECT_EQ(r.ReadString(CurrentUser, library, "Search Path"),
              "$(DELPHI)\\Lib;C:\\Components\\Lib");
    EXPECT_FALSE(r.KeyExists(LocalMachine, library));
    EXPECT_EQ(r.SkippedLines(), 0);
    EXPECT_EQ(r.WinePrefix(), "") << "the fixtures lie in no prefix";

    const std::string text = "WINE REGISTRY Version 2\n\n[Software\\\\Borland\\\\Delphi\\\\4.0] 1\n"
                             "\"RootDir\"=\"C:\\\\D4\"\n";
    r.AddText(text, "/some/where/user.reg");
    EXPECT_EQ(r.ReadString(CurrentUser, "\\Software\\Borland\\Delphi\\4.0", "RootDir"), "C:\\D4");
    RegistryStore unknown;
    unknown.AddText(text, "delphi.reg");
    EXPECT_FALSE(unknown.KeyExists(LocalMachine, "\\Software\\Borland"));
    EXPECT_FALSE(unknown.KeyExists(CurrentUser, "\\Software\\Borland"));
}

TEST(RegistryStore, LaterFilesWinAndDeletionsRemove) {
    RegistryStore r;
    r.AddText("REGEDIT4\n[HKEY_CURRENT_USER\\Software\\A]\n\"x\"=\"1\"\n\"y\"=\"1\"\n"
              "[HKEY_CURRENT_USER\\Software\\A\\Gone]\n\"z\"=\"1\"\n");
    r.AddText("REGEDIT4\n[HKEY_CURRENT_USER\\Software\\a]\n\"X\"=\"2\"\n\"y\"=-\n"
              "[-HKEY_CURRENT_USER\\Software\\A\\GONE]\n");
    EXPECT_EQ(r.ReadString(CurrentUser, "Software\\A", "x"), "2");
    EXPECT_FALSE(r.ValueExists(CurrentUser, "Software\\A", "y"));
    EXPECT_FALSE(r.KeyExists(CurrentUser, "Software\\A\\Gone"));
    EXPECT_TRUE(r.KeyExists(CurrentUser, "Software\\A"));
}

TEST(RegistryStore, AddFileRefusesWhatItCannotReadAndSaysSo) {
    RegistryStore r;
    EXPECT_FALSE(r.AddFile(Fixtures + "wine"));
    EXPECT_TRUE(r.Files().empty());
    EXPECT_EQ(r.Warnings(),
              std::vector<std::string>{"Cannot read the registry file \"" + Fixtures + "wine\""});
}

// A key nested 300,000 levels deep used to take both programs down when the store was freed
// (its key tree freed children recursively). Such keys are skipped, in both file formats.
TEST(RegistryStore, KeysNestedDeeperThanARegistryAllowsAreSkippedWithAWarning) {
    auto nested = [](int levels, const char* separator) {
        std::string path;
        for (int i = 0; i < levels; ++i)
            path += std::string(i ? separator : "") + "k";
        return path;
    };
    RegistryStore r;
    r.AddText("REGEDIT4\n[HKEY_LOCAL_MACHINE\\" + nested(512, "\\") + "]\n\"V\"=\"kept\"\n" +
                  "[HKEY_LOCAL_MACHINE\\" + nested(300000, "\\") + "]\n\"V\"=\"lost\"\n" +
                  "[HKEY_LOCAL_MACHINE\\" + nested(513, "\\") + "]\n[HKEY_LOCAL_MACHINE\\After]\n" +
                  "\"V\"=\"read\"\n",
              "deep.reg");
    r.AddText("WINE REGISTRY Version 2\n[" + nested(600, "\\\\") + "] 1\n\"V\"=\"lost\"\n",
              "/prefix/user.reg");
    EXPECT_EQ(r.ReadString(LocalMachine, nested(512, "\\").c_str(), "V"), "kept");
    EXPECT_EQ(r.ReadString(LocalMachine, "After", "V"), "read");
    EXPECT_TRUE(r.SubKeyNames(LocalMachine, nested(512, "\\")).empty());
    EXPECT_FALSE(r.KeyExists(CurrentUser, nested(512, "\\")));
    EXPECT_EQ(r.Warnings(),
              (std::vector<std::string>{
                  "Registry file deep.reg: 2 keys nested deeper than 512 levels skipped, the "
                  "first on line 4",
                  "Registry file /prefix/user.reg: 1 key nested deeper than 512 levels skipped, "
                  "the first on line 2"}));
}

/// A Wine prefix with drive_c and the dosdevices/c: link.
class WinePrefixTest : public ::testing::Test {
  protected:
    void SetUp() override {
#ifdef _WIN32
        GTEST_SKIP() << "Wine prefixes are Linux-only";
#endif
        char tmpl[] = "/tmp/ut-registry-XXXXXX";
        dir = mkdtemp(tmpl);
        prefix = dir + "/prefix";
        Write("prefix/drive_c/Program Files/Borland/Delphi5/Lib/SysUtils.pas", "unit x;");
        std::filesystem::create_directories(prefix + "/dosdevices");
        std::filesystem::create_directory_symlink("../drive_c", prefix + "/dosdevices/c:");
        Write("prefix/system.reg",
              "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n"
              "[Software\\\\Borland\\\\Delphi\\\\5.0] 1\n"
              "\"RootDir\"=\"C:\\\\Program Files\\\\Borland\\\\Delphi5\"\n");
    }
    void TearDown() override {
        ut::fs::SetDriveMapper(nullptr);
        if (!dir.empty())
            std::filesystem::remove_all(dir);
    }
    std::string Write(const std::string& rel, const std::string& bytes) const {
        const std::string full = dir + "/" + rel;
        std::filesystem::create_directories(std::filesystem::path(full).parent_path());
        std::ofstream(full, std::ios::binary) << bytes;
        return full;
    }

    std::string dir, prefix;
};

TEST_F(WinePrefixTest, DriveLettersMapThroughDosdevicesForTheFileFunctions) {
    EXPECT_EQ(ut::MapDrivePath(prefix, "c:"), prefix + "/dosdevices/c:/");
    for (auto [in, path] : {std::pair{prefix, "D:\\out"}, {"", "C:\\x"}, {prefix, "\\x"}})
        EXPECT_EQ(ut::MapDrivePath(in, path), "") << path;
    RegistryStore r;
    ASSERT_TRUE(r.AddFile(prefix + "/system.reg")); // a file in a prefix names the prefix
    EXPECT_EQ(r.WinePrefix(), prefix);
    r.InstallDriveMapper();
    // Letter case as Windows users write it; the mapped path is spelt as on disk.
    EXPECT_EQ(ut::fs::ExpandFileName("c:\\PROGRAM FILES\\borland\\Delphi5\\lib"),
              prefix + "/dosdevices/c:/Program Files/Borland/Delphi5/Lib");
    EXPECT_EQ(ut::fs::ListFiles(*r.ReadString(LocalMachine, D5, "RootDir") + "\\Lib", "*.pas"),
              (std::vector<std::string>{"SysUtils.pas"}));
}

/// Sets an environment variable for one test and restores it afterwards.
class ScopedEnv {
  public:
    ScopedEnv(const char* name, const std::string& value) : FName(name) {
        if (const char* old = std::getenv(name))
            FOld = old;
        setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv() {
        if (FOld)
            setenv(FName, FOld->c_str(), 1);
        else
            unsetenv(FName);
    }

  private:
    const char* FName;
    std::optional<std::string> FOld;
};

TEST_F(WinePrefixTest, EnvironmentNamesThePrefixAndTheFileListElseTheHomePrefixIsUsed) {
    const std::string extra =
        Write("extra.reg", "REGEDIT4\n[HKEY_LOCAL_MACHINE\\Software\\Borland\\Delphi\\5.0]\n"
                           "\"RootDir\"=\"C:\\\\Delphi5\"\n");
    const std::string cli =
        Write("cli.reg", "REGEDIT4\n[HKEY_LOCAL_MACHINE\\Software\\Borland\\Delphi\\6.0]\n");
    ScopedEnv home("HOME", dir + "/home");
    ScopedEnv wine("WINEPREFIX", prefix);
    ScopedEnv list("UNITRACE_REGISTRY", dir + "/missing.reg:" + extra);
    const RegistryStore r = RegistryStore::FromEnvironment({cli});
    EXPECT_EQ(r.WinePrefix(), prefix);
    EXPECT_EQ(r.Files(), (std::vector<std::string>{prefix + "/system.reg", extra, cli}));
    // The listed file is read after the prefix's and wins.
    EXPECT_EQ(r.ReadString(LocalMachine, D5, "RootDir"), "C:\\Delphi5");
    EXPECT_TRUE(r.KeyExists(LocalMachine, "\\Software\\Borland\\Delphi\\6.0"));

    ScopedEnv noWine("WINEPREFIX", "");
    ScopedEnv noList("UNITRACE_REGISTRY", "");
    EXPECT_TRUE(RegistryStore::FromEnvironment().Files().empty()) << "no ~/.wine";
    std::filesystem::create_directories(dir + "/home");
    std::filesystem::rename(prefix, dir + "/home/.wine");
    const RegistryStore homes = RegistryStore::FromEnvironment();
    EXPECT_EQ(homes.WinePrefix(), dir + "/home/.wine");
    EXPECT_EQ(homes.ReadString(LocalMachine, D5, "RootDir"), "C:\\Program Files\\Borland\\Delphi5");
}

} // namespace
