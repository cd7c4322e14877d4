#include "scan/UnitPrefetch.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <system_error>

namespace {

using namespace ut;

// A worker that could not start (a process limit) ended the program in std::terminate, or,
// the first one, failed the scan. Whatever started reads ahead; with none the walk parses
// each file itself (no record is offered).
TEST(UnitPrefetch, WorkersThatCannotStartLeaveTheOthersToWork) {
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("ut-prefetch-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    std::vector<std::string> files;
    for (const char* name : {"A", "B", "C"}) {
        files.push_back((dir / (std::string(name) + ".pas")).string());
        std::ofstream(files.back()) << "unit " << name << ";\ninterface\nimplementation\nend.\n";
    }
    for (const int started : {0, 1, 2, 3}) {
        int calls = 0;
        UnitPrefetch prefetch(3, std::make_shared<TCompilerSymbols>(), {}, [&](auto work) {
            if (calls++ == started)
                throw std::system_error(
                    std::make_error_code(std::errc::resource_unavailable_try_again));
            return std::thread(std::move(work));
        });
        EXPECT_EQ(prefetch.Workers(), started);
        EXPECT_EQ(prefetch.StartFailure(),
                  started < 3
                      ? std::make_error_code(std::errc::resource_unavailable_try_again).message()
                      : "");
        prefetch.Request(files);
        for (const std::string& file : files) {
            std::optional<TParsedAhead> parsed = prefetch.Take(file);
            ASSERT_EQ(parsed.has_value(), started > 0) << started;
            if (parsed) {
                EXPECT_EQ(parsed->Unit->UnitName, std::filesystem::path(file).stem().string());
            }
        }
    }
    std::filesystem::remove_all(dir);
}

} // namespace
