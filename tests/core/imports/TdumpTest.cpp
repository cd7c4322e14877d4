// The dump tool as a program: its output, messages and exit codes.
#include "ImportTestUtil.h"
#include "platform/Process.h"
#include "support/Textutil.h"

#include <gtest/gtest.h>

namespace ut {
namespace {

struct TRun {
    int ExitCode;
    std::string Output; ///< standard output and standard error together
};

TRun RunTdump(const std::vector<std::string>& args) {
    test::TScratchDir dir;
    // The shell only joins standard error to standard output; the arguments pass as "$@".
    std::vector<std::string> argv{"/bin/sh", "-c", "exec \"$0\" \"$@\" 2>&1", UNITRACE_TDUMP};
    argv.insert(argv.end(), args.begin(), args.end());
    const auto r = platform::RunProcess(argv, dir / "out", std::chrono::seconds(30));
    EXPECT_TRUE(r.Started) << r.Error;
    return {r.ExitCode, LoadFileText(dir / "out")};
}

TEST(Tdump, OutputAndExitCodes) {
    test::TScratchDir dir;
    const std::string fixtures = test::FixtureDir();
    const std::string text = dir / "notes.txt", truncated = dir / "cut.exe";
    const std::string missing = dir / "missing.exe";
    test::WriteFile(text, "plain text\n");
    test::WriteFile(truncated, LoadFileText(fixtures + "/win32/app.exe").substr(0, 100));

    const struct {
        const char* Name;
        std::vector<std::string> Args;
        int ExitCode;
        std::string Output;
    } cases[] = {
        {"program with delay imports",
         {"-e", fixtures + "/win32/appdelay.exe"},
         0,
         "Imports from utlib.dll\nImports from KERNEL32.dll\nImports from utdelay.dll\n"},
        {"library without imports", {"-e", fixtures + "/win64/utlib.dll"}, 0, ""},
        {"not an executable", {"-e", text}, 1, "tdump: " + text + ": not a PE or ELF file\n"},
        {"truncated image",
         {"-e", truncated},
         1,
         "tdump: " + truncated + ": PE signature: out of bounds\n"},
        {"missing file",
         {"-e", missing},
         1,
         "tdump: " + missing + ": Cannot open file \"" + missing +
             "\". No such file or directory\n"},
        {"directory",
         {"-e", dir.Path()},
         1,
         "tdump: " + dir.Path() + ": Cannot open file \"" + dir.Path() + "\". Is a directory\n"},
        {"no arguments", {}, 2, "usage: tdump -e FILE\n"},
        {"other option", {"-x", text}, 2, "usage: tdump -e FILE\n"},
    };
    for (const auto& c : cases) {
        const TRun r = RunTdump(c.Args);
        EXPECT_EQ(r.ExitCode, c.ExitCode) << c.Name;
        EXPECT_EQ(r.Output, c.Output) << c.Name;
    }
}

TEST(Tdump, SystemBinaryListsItsSharedLibraries) {
    const TRun r = RunTdump({"-e", "/bin/ls"});
    if (r.Output.find("Cannot open") != std::string::npos)
        GTEST_SKIP() << "no /bin/ls";
    EXPECT_EQ(r.ExitCode, 0);
    EXPECT_NE(r.Output.find("Imports from libc.so.6\n"), std::string::npos) << r.Output;
}

} // namespace
} // namespace ut
