#include "platform/FileSystem.h"
#include "NativePath.h"
#include "support/Exceptions.h"

#ifdef _WIN32
#include "platform/WinText.h"

#include <windows.h>
#endif

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>

namespace {

namespace stdfs = std::filesystem;
using namespace ut;

class FileSystemTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char tmpl[] = "/tmp/ut-fs-XXXXXX";
        root = mkdtemp(tmpl);
        saved = fs::GetCurrentDir();
        stdfs::create_directories(root + "/Src/Sub");
        for (const char* file : {"Main.PAS", "util.pas", "Main.DFM", "readme.txt", "Sub/Deep.pas"})
            Touch("/Src/" + std::string(file));
    }
    void TearDown() override {
        fs::SetCurrentDir(saved);
        fs::SetDriveMapper(nullptr);
        stdfs::remove_all(root);
    }
    void Touch(const std::string& rel) { std::ofstream(root + rel) << "x"; }

    std::string root, saved;
};

TEST_F(FileSystemTest, ExpandFoldsDotsAcceptsBackslashesAndMapsDrives) {
    fs::SetDriveMapper([this](const std::string& p) {
        return (p[0] == 'C' || p[0] == 'c') ? root + "/" + p.substr(3) : std::string();
    });
    // A name found on POSIX is spelt as on disk; Windows keeps the spelling asked for.
    const auto found = [this](const std::string& onDisk, const std::string& asked) {
        return uttest::NativePath(root + uttest::CaseOf(onDisk, asked));
    };
    fs::SetCurrentDir(root + "/src/SUB");
    EXPECT_EQ(fs::GetCurrentDir(), found("/Src/Sub", "/src/SUB"));
    fs::SetCurrentDir("..\\");
    EXPECT_EQ(fs::GetCurrentDir(), found("/Src", "/src"));
    const std::pair<std::string, std::string> cases[] = {
        {"Sub\\..\\util.pas", found("/Src/util.pas", "/src/util.pas")},
        {".\\Sub\\", found("/Src/Sub/", "/src/Sub/")},
        {"", ""},
        {"/a/b/../../..", uttest::NativePath("/")},
#ifdef _WIN32
        // Drive letters are the system's own there.
        {"c:\\src\\MAIN.pas", "c:\\src\\MAIN.pas"},
        {"D:/x", "D:\\x"}};
#else
        {"c:\\src\\MAIN.pas", root + "/Src/Main.PAS"},
        {"D:\\x", "D:/x"}};
#endif
    for (const auto& [name, expanded] : cases)
        EXPECT_EQ(fs::ExpandFileName(name), expanded) << name;
    try {
        fs::SetCurrentDir("MAIN.pas");
        ADD_FAILURE() << "changed into a file";
    } catch (const EInOutError& e) {
#ifdef _WIN32
        const std::string reason = ut::platform::SystemMessage(ERROR_DIRECTORY);
#else
        const std::string reason = std::strerror(ENOTDIR);
#endif
        EXPECT_EQ(std::string(e.what()), "Cannot change to directory \"" +
                                             found("/Src/Main.PAS", "/src/MAIN.pas") +
                                             "\": " + reason);
    }
}

// The listing cache of a scan and the existence checks built on the case resolution must
// give the answers a separate look at the disk gives: each case runs without and with it.
TEST_F(FileSystemTest, ResolutionAndExistenceAreTheSameWithAndWithoutTheListingCache) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows file systems ignore letter case: names are taken as given";
#endif
    Touch("/Src/ABC.pas");
    Touch("/Src/abc.pas");
    const struct {
        std::string path, resolved;
        bool file, directory;
    } cases[] = {{"/Src/abc.pas", "/Src/abc.pas", true, false}, // the exact spelling wins
                 {"/src/Abc.PAS", "/Src/ABC.pas", true, false}, // else the byte-wise first
                 {"/src/SUB/deep.PAS", "/Src/Sub/Deep.pas", true, false},
                 {"/SRC/sub/Deep.dfm", "/Src/Sub/Deep.dfm", false, false},
                 {"/src/sub/", "/Src/Sub/", false, true},
                 {"/Src/Main.PAS/", "/Src/Main.PAS/", false, false},
                 {"/src/None/sub/x.pas", "/Src/None/sub/x.pas", false, false}};
    for (const bool cached : {false, true}) {
        std::optional<fs::ListingCacheScope> scope;
        if (cached)
            scope.emplace();
        for (const auto& c : cases) {
            EXPECT_EQ(fs::ResolveCase(root + c.path), root + c.resolved) << c.path << cached;
            EXPECT_EQ(fs::FileExists(root + c.path), c.file) << c.path << cached;
            EXPECT_EQ(fs::DirectoryExists(root + c.path), c.directory) << c.path << cached;
        }
    }
    fs::SetCurrentDir(root + "/Src");
    EXPECT_TRUE(fs::FileExists("sub\\deep.PAS"));
    EXPECT_FALSE(fs::FileExists(""));
}

TEST_F(FileSystemTest, ListingsAndSharedTextsAreReadOncePerScope) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows file systems ignore letter case: names are taken as given";
#endif
    const std::string inc = root + "/Src/defs.inc";
    std::ofstream(inc) << "{$DEFINE A}";
    {
        fs::ListingCacheScope scope;
        EXPECT_EQ(fs::ResolveCase(root + "/Src/MAIN.pas"), root + "/Src/Main.PAS");
        EXPECT_EQ(fs::SharedFileText(inc), "{$DEFINE A}");
        // A file that appears later is not seen by a folded lookup, nor a changed text.
        Touch("/Src/Late.pas");
        std::ofstream(inc) << "{$DEFINE B}";
        EXPECT_EQ(fs::ResolveCase(root + "/Src/LATE.pas"), root + "/Src/LATE.pas");
        EXPECT_EQ(fs::ResolveCase(root + "/Src/Late.pas"), root + "/Src/Late.pas");
        EXPECT_EQ(fs::SharedFileText(inc), "{$DEFINE A}");
    }
    EXPECT_EQ(fs::ResolveCase(root + "/Src/LATE.pas"), root + "/Src/Late.pas");
    EXPECT_EQ(fs::SharedFileText(inc), "{$DEFINE B}");
    EXPECT_THROW(fs::SharedFileText(root + "/Src/none.inc"), EFOpenError);
}

TEST_F(FileSystemTest, ListFilesHoldsRegularFilesAndLinksToThemMatchedWithoutCase) {
#ifdef _WIN32
    GTEST_SKIP() << "the links are symbolic links, which need privileges on Windows";
#endif
    stdfs::create_directories(root + "/Src/Folder.pas");
    stdfs::create_symlink(root + "/Src/util.pas", root + "/Src/Linked.pas");
    stdfs::create_symlink(root + "/Src/Sub", root + "/Src/LinkedDir.pas");
    EXPECT_EQ(fs::ListFiles(root + "/src", "*.pas"),
              (std::vector<std::string>{"Linked.pas", "Main.PAS", "util.pas"}));
    EXPECT_TRUE(fs::ListFiles(root + "/nowhere", "*.pas").empty());
    const std::tuple<const char*, const char*, bool> masks[] = {
        {"Unit1.PAS", "*.pas", true},   {"Unit1.pas.bak", "*.pas", false}, {"a.pas", "?.pas", true},
        {"ab.pas", "?.pas", false},     {"usg12345", "usg*", true},        {"", "*", true},
        {"abcabd.pas", "*abd.*", true}, {"aXbYc", "a*b*c", true},          {"ab", "a*?*b", false}};
    for (const auto& [name, mask, match] : masks)
        EXPECT_EQ(fs::MatchesMask(name, mask), match) << name << " ~ " << mask;
    // The matcher tried every split of the name among the stars: exponential here.
    std::string aStars;
    for (int i = 0; i < 5000; ++i)
        aStars += "*a";
    EXPECT_FALSE(fs::MatchesMask(std::string(10000, 'a'), aStars + "*b"));
}

// A dot in a directory or in a unit's name is no extension; every trailing delimiter goes.
TEST(FileSystemNames, PartsOfAPath) {
    EXPECT_EQ(fs::FileKey("/x/Vcl.Forms.pas"), "Vcl.Forms");
    EXPECT_EQ(fs::ChangeFileExt("/a.b/c", ".dfm"), "/a.b/c.dfm");
    EXPECT_EQ(fs::ExcludeTrailingPathDelimiter("/a//"), "/a");
}

} // namespace
