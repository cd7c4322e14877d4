#include "platform/FileReader.h"
#include "platform/TempFile.h"
#include "support/ComUtil.h"
#include "support/Exceptions.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

namespace ut {
namespace {

namespace fs = std::filesystem;

TEST(FileReader, LoadFileTextReturnsTheBytesOrRaisesFileOpenError) {
    const fs::path dir = fs::temp_directory_path() / ("ut_filereader_" + std::to_string(getpid()));
    fs::create_directories(dir);
    const std::string bytes("line1\r\nline2\rX\0Y\n\xFF", 17), path = (dir / "a.dof").string();
    std::ofstream(path, std::ios::binary) << bytes;
    EXPECT_EQ(LoadFileText(path), bytes);
    for (const std::string& bad : {(dir / "missing.dof").string(), dir.string()})
        try {
            LoadFileText(bad);
            ADD_FAILURE() << "no error for " << bad;
        } catch (const EFOpenError& e) {
            EXPECT_EQ(std::string(e.what()).rfind("Cannot open file \"" + bad + "\". ", 0), 0u);
        }
    fs::remove_all(dir);
}

TEST(TempFile, TemporaryFilesAreNewEmptyAndNamedByAThreeCharacterPrefix) {
    for (auto [prefix, result] :
         std::vector<std::pair<std::string, const char*>>{{"usg", "usg"},
                                                          {"", "dfs"},
                                                          {"x", "x__"},
                                                          {"longer", "lon"},
                                                          {"..\\", ".._"},
                                                          {"a/b", "a_b"},
                                                          {std::string("\0ab", 3), "_ab"}})
        EXPECT_EQ(TempFilePrefix(prefix), result) << prefix;

    std::string first = "old", second;
    const fs::path path = platform::MakeTempFileName("x", first);
    platform::MakeTempFileName("x", second);
    EXPECT_EQ(path.string(), first);
    EXPECT_NE(second, first);
    EXPECT_EQ(path.parent_path(), fs::path(platform::TempDirectory()));
    EXPECT_EQ(path.filename().string().rfind("x__", 0), 0u) << path;
    EXPECT_EQ(fs::file_size(path), 0u);
    // No file in a missing directory; a trailing slash gives no doubled separator.
    const std::string tmp = fs::temp_directory_path().string();
    EXPECT_EQ(platform::CreateTempFile(tmp + "/ut_none/x", "usg"), "");
    const std::string slashed = platform::CreateTempFile(tmp + "/", "abc");
    EXPECT_EQ(slashed.find("//"), std::string::npos) << slashed;
    for (const std::string& made : {first, second, slashed})
        fs::remove(made);
}

} // namespace
} // namespace ut
