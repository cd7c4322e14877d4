#include "platform/FileReader.h"
#include "platform/TempFile.h"
#include "support/ComUtil.h"
#include "support/Exceptions.h"

#include <gtest/gtest.h>

#include <unistd.h>
#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#endif

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
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

// A FIFO swapped in for the source between a look at its name and the open blocked the open
// for ever (the alarm ends the child then). Another thread swaps the names without pause;
// each read gets the source or is refused.
TEST(FileReader, AFifoSwappedInForTheFileIsRefusedNotWaitedFor) {
#ifndef _WIN32
    const fs::path dir = fs::temp_directory_path() / ("ut_fifo_" + std::to_string(getpid()));
    fs::create_directories(dir);
    const std::string file = (dir / "A.pas").string(), fifo = (dir / "other").string();
    std::ofstream(file) << "unit A;";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const auto swap = [&] {
        return renameat2(AT_FDCWD, file.c_str(), AT_FDCWD, fifo.c_str(), RENAME_EXCHANGE) == 0;
    };
    if (!swap())
        GTEST_SKIP() << "no atomic exchange of names";
    const auto swapAndRead = [&] {
        alarm(60);
        std::atomic<int> swaps{0};
        std::thread([&] {
            while (swap())
                ++swaps;
        }).detach();
        while (swaps < 20000)
            try {
                if (LoadFileText(file) != "unit A;")
                    std::_Exit(2);
            } catch (const EFOpenError& e) {
                if (e.what() != "Cannot open file \"" + file + "\". Not a regular file")
                    std::_Exit(3);
            }
        std::_Exit(0);
    };
    EXPECT_EXIT(swapAndRead(), ::testing::ExitedWithCode(0), "");
    fs::remove_all(dir);
#endif
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
