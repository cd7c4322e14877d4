#include "support/ComUtil.h"
#include "platform/TempFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace ut {
namespace {

namespace fs = std::filesystem;

TEST(ComUtil, TempFilePrefixIsExactlyThreeCharacters) {
    struct Case {
        std::string prefix;
        const char* result;
    };
    for (const Case& c : {Case{"usg", "usg"}, Case{"", "dfs"}, Case{"x", "x__"}, Case{"ab", "ab_"},
                          Case{"longer", "lon"}, Case{"a/b", "a_b"}, Case{"..\\", ".._"},
                          Case{std::string("\0ab", 3), "_ab"}})
        EXPECT_EQ(TempFilePrefix(c.prefix), c.result) << c.prefix;
}

TEST(ComUtil, MakeTempFileNameCreatesANewEmptyFileInTheTempDirectory) {
    std::string fileName = "old", second;
    const std::string path = MakeTempFileName("x", fileName);
    MakeTempFileName("x", second);
    EXPECT_EQ(path, fileName);
    const fs::path p(path);
    EXPECT_EQ(fs::path(platform::TempDirectory()), p.parent_path());
    EXPECT_EQ(p.filename().string().rfind("x__", 0), 0u) << p;
    EXPECT_GT(p.filename().string().size(), 3u) << "a unique part follows";
    EXPECT_TRUE(fs::is_regular_file(p));
    EXPECT_EQ(fs::file_size(p), 0u);
    EXPECT_NE(second, path);
    fs::remove(p);
    fs::remove(second);
}

TEST(ComUtil, CreateTempFileInAMissingDirectoryGivesAnEmptyName) {
    const fs::path missing = fs::temp_directory_path() / "ut_no_such_dir" / "deeper";
    EXPECT_EQ(platform::CreateTempFile(missing.string(), "usg"), "");
    EXPECT_EQ(platform::CreateTempFile("", "usg"), "");
    // A trailing slash on the directory gives no doubled separator.
#ifdef _WIN32
    GTEST_SKIP() << "the temporary directory's path ends with a separator on Windows";
#endif
    const fs::path dir = fs::temp_directory_path();
    const std::string path = platform::CreateTempFile(dir.string() + "/", "abc");
    EXPECT_EQ(fs::path(path).parent_path(), dir.lexically_normal());
    EXPECT_EQ(path.find("//"), std::string::npos);
    fs::remove(path);
}

} // namespace
} // namespace ut
