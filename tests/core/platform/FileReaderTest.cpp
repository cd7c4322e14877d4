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
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <future>
#include <set>
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
// for ever (no writer comes). Another thread swaps the two names without pause; each read
// gets the source or is refused, and none waits.
TEST(FileReader, AFifoSwappedInForTheFileIsRefusedNotWaitedFor) {
#ifdef _WIN32
    GTEST_SKIP() << "no FIFOs";
#else
    const fs::path dir = fs::temp_directory_path() / ("ut_fifo_" + std::to_string(getpid()));
    fs::create_directories(dir);
    const std::string file = (dir / "A.pas").string(), fifo = (dir / "other").string();
    std::ofstream(file) << "unit A;";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    if (renameat2(AT_FDCWD, file.c_str(), AT_FDCWD, fifo.c_str(), RENAME_EXCHANGE) != 0)
        GTEST_SKIP() << "no atomic exchange of names here";
    std::atomic<bool> stop{false};
    std::thread swapper([&] {
        while (!stop)
            renameat2(AT_FDCWD, file.c_str(), AT_FDCWD, fifo.c_str(), RENAME_EXCHANGE);
    });
    auto reads = std::async(std::launch::async, [&] {
        std::set<std::string> outcomes;
        for (int i = 0; i < 2000; ++i)
            try {
                outcomes.insert(LoadFileText(file));
            } catch (const EFOpenError& e) {
                outcomes.insert(e.what());
            }
        return outcomes;
    });
    const bool finished = reads.wait_for(std::chrono::seconds(60)) == std::future_status::ready;
    stop = true;
    swapper.join();
    if (!finished) // lets the waiting open go on
        for (const std::string& name : {file, fifo})
            if (fs::is_fifo(name))
                close(open(name.c_str(), O_WRONLY | O_NONBLOCK));
    EXPECT_TRUE(finished) << "an open waited for the FIFO's writer";
    for (const std::string& outcome : reads.get())
        EXPECT_TRUE(outcome == "unit A;" ||
                    outcome == "Cannot open file \"" + file + "\". Not a regular file")
            << outcome;
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
