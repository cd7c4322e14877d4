// Windows only: the dump tool reads its arguments from the wide command line.
#ifdef _WIN32

#include "ImportTestUtil.h"
#include "platform/FileReader.h"
#include "platform/Process.h"
#include "support/Textutil.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace ut {
namespace {

// The file's name has characters outside every ANSI code page; the C runtime's argv would
// hold '?' for them and the file would not be found.
TEST(TdumpWindows, FileNameOutsideTheAnsiCodePageReachesTheTool) {
    test::TScratchDir dir;
    const std::string exe = dir / "Ünïcødé_Ж.exe";
    std::filesystem::copy_file(std::filesystem::u8path(test::FixtureDir() + "/win32/appdelay.exe"),
                               std::filesystem::u8path(exe));
    const auto r =
        platform::RunProcess({UNITRACE_TDUMP, "-e", exe}, dir / "out", std::chrono::seconds(30));
    EXPECT_TRUE(r.Started) << r.Error;
    EXPECT_EQ(r.ExitCode, 0);
    EXPECT_EQ(LoadFileText(dir / "out"), "Imports from utlib.dll\r\nImports from KERNEL32.dll\r\n"
                                         "Imports from utdelay.dll\r\n");
}

} // namespace
} // namespace ut

#endif
