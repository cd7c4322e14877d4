// The conditional symbols and the unit file index that every parse of a scan shares.
#include "config/SearchIndex.h"

#include "TempTree.h"
#include "platform/Registry.h"
#include "support/Textutil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace {

using ut::BuildSearchIndex;
using ut::TDualStringList;
using ut::TSearchInputs;

class SearchIndex : public uttest::TempTreeTest {
  protected:
    void SetUp() override {
        TempTreeTest::SetUp();
        proj = Mkdir("proj");
        Write("proj/Main.pas");
        Write("proj/Shared.pas");
        Write("lib/Shared.pas");
        Write("lib/LibOnly.pas");
        Write("common/Common.pas");
        Write("common/Twice.pas");
        Write("second/Twice.pas");
        Write("browse/BrowseOnly.pas");
        Write("delphi/Source/Rtl/SysUtils.pas");
        ut::fs::SetCurrentDir(proj);
    }

    /// Builds the index and returns the directories listed, relative to the root.
    std::vector<std::string> Build(const TSearchInputs& in) {
        std::vector<std::string> dirs = BuildSearchIndex(in, defines, files);
        for (std::string& d : dirs)
            if (d.compare(0, root.size() + 1, root + "/") == 0)
                d = d.substr(root.size() + 1);
        return dirs;
    }
    std::string PathOf(const std::string& unit) const {
        const int i = ut::IndexOfText(files, unit);
        return i < 0 ? "<none>" : files.Duals(i);
    }
    int CountOf(const std::string& unit) const {
        int n = 0;
        for (int i = 0; i < files.Count(); ++i)
            n += ut::SameText(files[i], unit) ? 1 : 0;
        return n;
    }

    std::string proj;
    std::vector<std::string> defines{"stale"};
    TDualStringList files;
};

TEST_F(SearchIndex, DefinesAreVersionSymbolsThenConditionalsTrimmed) {
    TSearchInputs in;
    in.VersionDefines = "VER130;WIN32";
    in.Defines = "DEBUG ; LOGGING;";
    Build(in);
    // The empty piece after the last ';' is left out: an empty symbol would make a bare
    // {$IFDEF} true.
    EXPECT_EQ(defines, (std::vector<std::string>{"VER130", "WIN32", "DEBUG", "LOGGING"}));
    in.VersionDefines = "WIN32";
    in.Defines = " ;;A";
    Build(in);
    EXPECT_EQ(defines, (std::vector<std::string>{"WIN32", "A"}));
}

TEST_F(SearchIndex, ProjectCopyWinsThenTheFirstDirectoryNamed) {
    TSearchInputs in;
    in.SearchPath = "..\\common;..\\second";
    in.LibPath = root + "/lib";
    EXPECT_EQ(Build(in), (std::vector<std::string>{"proj/", "common/", "second/", "lib/"}));
    EXPECT_EQ(PathOf("shared"), proj + "/Shared.pas");
    EXPECT_EQ(PathOf("Twice"), root + "/common/Twice.pas");
    EXPECT_EQ(PathOf("LIBONLY"), root + "/lib/LibOnly.pas");
    EXPECT_EQ(CountOf("Shared"), 2);
}

TEST_F(SearchIndex, EachDirectoryIsListedOnceWhateverItsSpelling) {
    TSearchInputs in;
    in.SearchPath = "..\\lib; ../LIB/ ;..\\lib\\;.;" + proj;
    in.LibPath = "../Lib";
    in.BrowsePath = "..\\lib";
    in.BrowseAlso = true;
    EXPECT_EQ(Build(in), (std::vector<std::string>{"proj/", "lib/"}));
    EXPECT_EQ(CountOf("LibOnly"), 1);
    EXPECT_EQ(CountOf("Main"), 1);
}

TEST_F(SearchIndex, BrowsingPathOnlyWhenAsked) {
    TSearchInputs in;
    in.BrowsePath = "..\\browse";
    Build(in);
    EXPECT_EQ(PathOf("BrowseOnly"), "<none>");
    in.BrowseAlso = true;
    EXPECT_EQ(Build(in), (std::vector<std::string>{"proj/", "browse/"}));
    EXPECT_EQ(PathOf("BrowseOnly"), root + "/browse/BrowseOnly.pas");
}

TEST_F(SearchIndex, DelphiMacroReplacedOnceInAnyCase) {
    Write("delphi/a/$(DELPHI)/Odd.pas");
    TSearchInputs in;
    in.DelphiRoot = root + "/delphi";
    in.SearchPath = "$(delphi)\\Source\\Rtl";
    in.LibPath = "$(Delphi)/a/$(DELPHI)";
    EXPECT_EQ(Build(in),
              (std::vector<std::string>{"proj/", "delphi/Source/Rtl/", "delphi/a/$(DELPHI)/"}));
    EXPECT_EQ(PathOf("SysUtils"), root + "/delphi/Source/Rtl/SysUtils.pas");
    EXPECT_EQ(PathOf("Odd"), root + "/delphi/a/$(DELPHI)/Odd.pas");
}

// An empty entry would name the root directory of the file system.
TEST_F(SearchIndex, EmptyEntriesAreSkipped) {
    TSearchInputs in;
    in.SearchPath = ";; \t ;";
    in.LibPath = "$(DELPHI)";
    EXPECT_EQ(Build(in), (std::vector<std::string>{"proj/"}));
}

TEST_F(SearchIndex, PascalFilesInAnyCaseOnly) {
    Write("mixed/UPPER.PAS");
    Write("mixed/Camel.Pas");
    Write("mixed/My.Unit.pas");
    Write("mixed/notes.pas.bak");
    Write("mixed/readme.txt");
    Mkdir("mixed/folder.pas");
    TSearchInputs in;
    in.SearchPath = "../mixed";
    Build(in);
    std::vector<std::string> keys;
    for (int i = 0; i < files.Count(); ++i)
        if (files.Duals(i).find("/mixed/") != std::string::npos)
            keys.push_back(files[i]);
    std::sort(keys.begin(), keys.end());
    EXPECT_EQ(keys, (std::vector<std::string>{"Camel", "My.Unit", "UPPER"}));
    EXPECT_EQ(PathOf("my.unit"), root + "/mixed/My.Unit.pas");
}

TEST_F(SearchIndex, MissingDirectoriesAddNothingAndTheIndexIsRebuilt) {
    TSearchInputs in;
    in.SearchPath = "../nowhere;../common";
    Build(in);
    EXPECT_EQ(PathOf("Common"), root + "/common/Common.pas");
    in.SearchPath.clear();
    Build(in);
    EXPECT_EQ(PathOf("Common"), "<none>");
    EXPECT_EQ(files.Count(), 2);
}

TEST_F(SearchIndex, DriveLettersListThroughTheWinePrefix) {
#ifdef _WIN32
    GTEST_SKIP() << "Wine prefixes are Linux-only";
#endif
    Write("prefix/drive_c/Program Files/Borland/Delphi5/Lib/Forms.pas");
    std::filesystem::create_directories(root + "/prefix/dosdevices");
    std::filesystem::create_directory_symlink("../drive_c", root + "/prefix/dosdevices/c:");
    TSearchInputs in;
    in.DelphiRoot = "C:\\Program Files\\Borland\\Delphi5";
    in.LibPath = "$(DELPHI)\\Lib;D:\\Other";
    ut::fs::SetDriveMapper(nullptr);
    Build(in);
    EXPECT_EQ(PathOf("Forms"), "<none>");

    ut::RegistryStore registry;
    registry.SetWinePrefix(root + "/prefix");
    registry.InstallDriveMapper();
    Build(in);
    EXPECT_EQ(PathOf("Forms"),
              root + "/prefix/dosdevices/c:/Program Files/Borland/Delphi5/Lib/Forms.pas");
}

} // namespace
