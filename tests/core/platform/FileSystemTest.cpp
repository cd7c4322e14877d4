#include "platform/FileSystem.h"
#include "support/Exceptions.h"

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
        Touch("/Src/Main.PAS");
        Touch("/Src/util.pas");
        Touch("/Src/Main.DFM");
        Touch("/Src/readme.txt");
        Touch("/Src/Sub/Deep.pas");
    }
    void TearDown() override {
        fs::SetCurrentDir(saved);
        stdfs::remove_all(root);
    }
    void Touch(const std::string& rel) { std::ofstream(root + rel) << "x"; }

    std::string root, saved;
};

TEST_F(FileSystemTest, ExpandFoldsDotsAndAcceptsBackslashes) {
    fs::SetCurrentDir(root + "/Src");
    EXPECT_EQ(fs::ExpandFileName("Sub\\..\\util.pas"), root + "/Src/util.pas");
    EXPECT_EQ(fs::ExpandFileName(".\\Sub\\"), root + "/Src/Sub/");
    EXPECT_EQ(fs::ExpandFileName(""), "");
    EXPECT_EQ(fs::ExpandFileName("/a/b/../../.."), "/");
}

TEST_F(FileSystemTest, ResolvesLetterCaseComponentByComponent) {
    // The spelling of the source differs from the disk in every component.
    EXPECT_EQ(fs::ExpandFileName(root + "/src/SUB/deep.PAS"), root + "/Src/Sub/Deep.pas");
    EXPECT_TRUE(fs::FileExists(root + "/SRC/main.pas"));
    EXPECT_TRUE(fs::DirectoryExists(root + "/src/sub"));
    EXPECT_FALSE(fs::FileExists(root + "/src/sub"));
    // A missing component keeps the rest of the path as written.
    EXPECT_EQ(fs::ExpandFileName(root + "/src/Missing/X.pas"), root + "/Src/Missing/X.pas");
}

// The listing cache of a scan must not change a single resolution: each case runs once
// without and once inside a cache scope.
TEST_F(FileSystemTest, ResolutionIsTheSameWithAndWithoutTheListingCache) {
    Touch("/Src/ABC.pas");
    Touch("/Src/abc.pas");
    const struct {
        const char* name;
        std::string path;
        std::string expected;
    } cases[] = {
        {"exact spelling wins", "/Src/abc.pas", "/Src/abc.pas"},
        {"of names folding alike the byte-wise first", "/src/Abc.PAS", "/Src/ABC.pas"},
        {"missing file in a known directory", "/Src/Other.dfm", "/Src/Other.dfm"},
        {"missing file in a mis-spelt directory", "/SRC/sub/Deep.dfm", "/Src/Sub/Deep.dfm"},
        {"last component only differs", "/Src/Sub/DEEP.pas", "/Src/Sub/Deep.pas"},
        {"directory with trailing delimiter", "/src/sub/", "/Src/Sub/"},
        {"missing directory keeps the rest", "/src/None/sub/x.pas", "/Src/None/sub/x.pas"},
    };
    for (const bool cached : {false, true}) {
        std::optional<fs::ListingCacheScope> scope;
        if (cached)
            scope.emplace();
        for (const auto& c : cases)
            EXPECT_EQ(fs::ResolveCase(root + c.path), root + c.expected)
                << c.name << (cached ? " (cached)" : "");
    }
}

TEST_F(FileSystemTest, ListingCacheKeepsEachDirectoryUntilTheScopeEnds) {
    {
        fs::ListingCacheScope scope;
        EXPECT_EQ(fs::ResolveCase(root + "/Src/MAIN.pas"), root + "/Src/Main.PAS");
        // Listed once per scan: a file that appears later is not seen by a folded lookup.
        Touch("/Src/Late.pas");
        EXPECT_EQ(fs::ResolveCase(root + "/Src/LATE.pas"), root + "/Src/LATE.pas");
        EXPECT_EQ(fs::ResolveCase(root + "/Src/Late.pas"), root + "/Src/Late.pas");
    }
    EXPECT_EQ(fs::ResolveCase(root + "/Src/LATE.pas"), root + "/Src/Late.pas");
}

// The existence checks take the status from the case resolution itself: each kind of
// path must still give the answer a separate look at the disk gives.
TEST_F(FileSystemTest, ExistenceChecksByKindOfPath) {
    const struct {
        const char* path;
        bool file, directory;
    } cases[] = {
        {"/Src/Main.PAS", true, false},
        {"/src/MAIN.pas", true, false},
        {"/Src/Sub", false, true},
        {"/SRC/SUB/", false, true},
        {"/Src/Main.PAS/", false, false},
        {"/Src/Other.dfm", false, false},
        {"/src/none/Main.PAS", false, false},
    };
    for (const bool cached : {false, true}) {
        std::optional<fs::ListingCacheScope> scope;
        if (cached)
            scope.emplace();
        for (const auto& c : cases) {
            EXPECT_EQ(fs::FileExists(root + c.path), c.file) << c.path;
            EXPECT_EQ(fs::DirectoryExists(root + c.path), c.directory) << c.path;
        }
    }
    fs::SetCurrentDir(root + "/Src");
    EXPECT_TRUE(fs::FileExists("sub\\deep.PAS"));
    EXPECT_FALSE(fs::FileExists(""));
}

TEST_F(FileSystemTest, SetCurrentDirResolvesLetterCase) {
    fs::SetCurrentDir(root + "/src/SUB");
    EXPECT_EQ(fs::GetCurrentDir(), root + "/Src/Sub");
    fs::SetCurrentDir("..\\");
    EXPECT_EQ(fs::GetCurrentDir(), root + "/Src");
    try {
        fs::SetCurrentDir("MAIN.pas");
        ADD_FAILURE() << "changed into a file";
    } catch (const EInOutError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot change to directory \"" + root +
                                             "/Src/Main.PAS\": " + std::strerror(ENOTDIR));
    }
}

TEST_F(FileSystemTest, ListFilesMatchesPatternWithoutRegardToCase) {
    const auto files = fs::ListFiles(root + "/src", "*.pas");
    EXPECT_EQ(files, (std::vector<std::string>{"Main.PAS", "util.pas"}));
    EXPECT_TRUE(fs::ListFiles(root + "/nowhere", "*.pas").empty());
}

TEST(FileSystemMask, Wildcards) {
    struct Case {
        const char* name;
        const char* mask;
        bool match;
    } cases[] = {
        {"Unit1.pas", "*.pas", true},
        {"Unit1.PAS", "*.pas", true},
        {"Unit1.pas.bak", "*.pas", false},
        {"a.pas", "?.pas", true},
        {"ab.pas", "?.pas", false},
        {"usg12345", "usg*", true},
        {"", "*", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(fs::MatchesMask(c.name, c.mask), c.match) << c.name << " ~ " << c.mask;
}

TEST(FileSystemNames, PartsOfAPath) {
    EXPECT_EQ(fs::FileKey("/x/Vcl.Forms.pas"), "Vcl.Forms");
    EXPECT_EQ(fs::FileKey("C:\\proj\\Demo.dpr"), "Demo");
    EXPECT_EQ(fs::ExtractFilePath("/a/b/c.pas"), "/a/b/");
    EXPECT_EQ(fs::ExtractFileDir("/a/b/c.pas"), "/a/b");
    EXPECT_EQ(fs::ChangeFileExt("/a.b/c", ".dfm"), "/a.b/c.dfm");
    EXPECT_EQ(fs::ChangeFileExt("/a/c.pas", ".dfm"), "/a/c.dfm");
    EXPECT_EQ(fs::IncludeTrailingPathDelimiter("/a"), "/a/");
    EXPECT_EQ(fs::ExcludeTrailingPathDelimiter("/a//"), "/a");
}

TEST_F(FileSystemTest, SetCurrentDirFailsWithAMessage) {
    EXPECT_THROW(fs::SetCurrentDir(root + "/none"), EInOutError);
}

TEST_F(FileSystemTest, DrivePathsGoThroughTheMapper) {
    fs::SetDriveMapper([this](const std::string& p) {
        return (p[0] == 'C' || p[0] == 'c') ? root + "/" + p.substr(3) : std::string();
    });
    EXPECT_EQ(fs::ExpandFileName("c:\\src\\MAIN.pas"), root + "/Src/Main.PAS");
    EXPECT_EQ(fs::ExpandFileName("D:\\x"), "D:/x");
    fs::SetDriveMapper(nullptr);
}

} // namespace

namespace {

TEST_F(FileSystemTest, SharedTextsAreReadOncePerScopeOnly) {
    const std::string inc = root + "/Src/defs.inc";
    std::ofstream(inc) << "{$DEFINE A}";
    {
        fs::ListingCacheScope scope;
        EXPECT_EQ(fs::SharedFileText(inc), "{$DEFINE A}");
        std::ofstream(inc) << "{$DEFINE B}";
        EXPECT_EQ(fs::SharedFileText(inc), "{$DEFINE A}") << "read once within a scan";
    }
    EXPECT_EQ(fs::SharedFileText(inc), "{$DEFINE B}") << "a new scan reads it again";
    EXPECT_THROW(fs::SharedFileText(root + "/Src/none.inc"), EFOpenError);
}

} // namespace

namespace {

TEST_F(FileSystemTest, ListingsHoldRegularFilesAndLinksToThem) {
    stdfs::create_directories(root + "/Src/Folder.pas");
    stdfs::create_symlink(root + "/Src/util.pas", root + "/Src/Linked.pas");
    stdfs::create_symlink(root + "/Src/Sub", root + "/Src/LinkedDir.pas");
    EXPECT_EQ(fs::ListFiles(root + "/Src", "*.pas"),
              (std::vector<std::string>{"Linked.pas", "Main.PAS", "util.pas"}));
}

} // namespace
