#include "imports/DumpRunner.h"

#include "ImportTestUtil.h"
#include "platform/FileReader.h"
#include "platform/Process.h"
#include "platform/TempFile.h"
#include "support/Textutil.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

namespace ut {
namespace {

using Names = std::vector<std::string>;
namespace stdfs = std::filesystem;

TEST(ReadDumpOutput, TakesTheNamesOfImportLinesOnly) {
    const std::vector<std::pair<const char*, Names>> cases = {
        {"Imports from KERNEL32.dll\nImports from user32.dll\n", {"KERNEL32.dll", "user32.dll"}},
        // Prefix in any case, name trimmed, CR LF; other lines ignored; no blanks skipped
        // before the prefix; the name is whatever follows the 13th character.
        {"IMPORTS FROM  a.dll \r\nExports from x.dll\n  Imports from d.dll\nimports fromXe.dll",
         {"a.dll", "e.dll"}},
        {"Imports from\nImports from   \n", {}},
        {"Imports from a.dll\nImports from a.dll\n", {"a.dll", "a.dll"}}};
    for (const auto& [text, names] : cases) {
        std::istringstream in(text);
        EXPECT_EQ(ReadDumpOutput(in), names) << text;
    }
    EXPECT_EQ(ReadDumpOutput(std::string("/nonexistent/usg123.tmp")), Names{});
}

class DumpRunnerTest : public ::testing::Test {
  protected:
    void SetUp() override {
#ifdef _WIN32
        GTEST_SKIP() << "the stand-in dump tools are POSIX shell scripts";
#endif
    }
    /// Runs the dump tool; each run shows and restores the busy state once.
    TDumpResult Dump(const std::string& file, const std::string& tool,
                     std::chrono::milliseconds limit = DumpTimeLimit) {
        TDumpOptions options;
        options.ToolPath = tool;
        options.TimeLimit = limit;
        std::vector<bool> busy;
        options.OnBusy = [&busy](bool b) { busy.push_back(b); };
        TDumpResult r = ListImports(file, options);
        EXPECT_EQ(busy, (std::vector<bool>{true, false}));
        return r;
    }
    std::string Tool(const std::string& body) {
        test::WriteScript(FDir / "fake-tdump", body);
        return FDir / "fake-tdump";
    }

    test::TScratchDir FDir;
};

// Guards against handing the file name to a shell: blanks would split it and "$(...)" or
// ";" would run commands.
TEST_F(DumpRunnerTest, ToolGetsTheOptionAndTheFileNameUnchangedAndWritesATempFile) {
    // The tool's standard output is the temporary file: its name goes to "out".
    const std::string tool =
        Tool("printf '%s\\n' \"$@\" > \"$(dirname \"$0\")/args\"\n"
             "basename \"$(readlink /proc/$$/fd/1)\" > \"$(dirname \"$0\")/out\"\n"
             "echo 'Imports from one.dll'\necho 'Imports from two.so.1'\n");
    const std::string file = FDir / "a b;$(touch pwned);`touch pwned2` 'q' \"d\" >x/$HOME;ls|z";

    const TDumpResult r = Dump(file, tool);

    EXPECT_EQ(r.Status, TDumpStatus::Listed);
    EXPECT_EQ(r.ExitCode, 0);
    EXPECT_EQ(r.Imports, (Names{"one.dll", "two.so.1"}));
    EXPECT_EQ(r.Message, "");
    EXPECT_EQ(LoadFileText(FDir / "args"), "-e\n" + file + "\n");
    const std::string temp = Trim(LoadFileText(FDir / "out"));
    EXPECT_EQ(temp.substr(0, 3), "usg");
    EXPECT_FALSE(stdfs::exists(stdfs::path(platform::TempDirectory()) / temp)) << "removed";
}

TEST_F(DumpRunnerTest, FailuresListNothingAndSayWhy) {
    const std::string file = FDir / "any.exe";
    const TDumpResult failed = Dump(file, Tool("echo 'Imports from a.dll'\nexit 3\n"));
    EXPECT_EQ(failed.Status, TDumpStatus::Failed);
    EXPECT_EQ(failed.ExitCode, 3);
    EXPECT_EQ(failed.Imports, Names{}) << "the output of a failing tool is not read";
    EXPECT_EQ(failed.Message, FDir / "fake-tdump" + " ended with exit code 3 for " + file);

    const TDumpResult missing = Dump(file, "/nonexistent/tdump");
    EXPECT_EQ(missing.Status, TDumpStatus::NotStarted);
    EXPECT_EQ(missing.ExitCode, -1);
    EXPECT_EQ(missing.Message, "cannot run /nonexistent/tdump: No such file or directory");
    const TDumpResult none = Dump(file, "");
    EXPECT_EQ(none.Status, TDumpStatus::NotStarted);
    EXPECT_EQ(none.Message, "The dump tool tdump was not found");
}

// Guards against a hung tool freezing the caller forever.
TEST_F(DumpRunnerTest, HungToolIsStoppedAfterTheTimeLimit) {
    const std::string tool = Tool("echo 'Imports from early.dll'\nsleep 30\n");
    const std::string file = FDir / "big.exe";
    const auto start = std::chrono::steady_clock::now();
    const TDumpResult r = Dump(file, tool, std::chrono::milliseconds(300));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    EXPECT_EQ(r.Status, TDumpStatus::TimedOut);
    EXPECT_EQ(r.ExitCode, -1);
    EXPECT_EQ(r.Imports, Names{});
    EXPECT_EQ(r.Message, tool + " did not finish within 0.3 s for " + file + " and was stopped");
}

TEST_F(DumpRunnerTest, FindDumpToolLooksBesideTheApplicationFirstThenOnPath) {
    const test::TScratchDir& dir = FDir;
    const std::string app = dir / "app", bin1 = dir / "bin1", bin2 = dir / "bin2";
    test::WriteScript(bin2 + "/tdump", "exit 0\n");
    test::WriteFile(bin1 + "/tdump", "not executable");
    const std::string path = bin1 + ":" + bin2;

    EXPECT_EQ(FindDumpTool(app, path), bin2 + "/tdump") << "nothing beside the application";
    test::WriteScript(app + "/tdump", "exit 0\n");
    EXPECT_EQ(FindDumpTool(app + "/", path), app + "/tdump");
    EXPECT_EQ(FindDumpTool(dir / "other", bin1), "") << "not executable, nothing else";
}

// The dump tool as a program: its output, messages and exit codes.
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

// Runs through /bin/sh to join the tool's error output to its output.
TEST_F(DumpRunnerTest, TdumpOutputAndExitCodes) {
    const std::string text = FDir / "notes.txt";
    test::WriteFile(text, "plain text\n");
    const struct {
        std::vector<std::string> Args;
        int ExitCode;
        std::string Output;
    } cases[] = {{{"-e", test::FixtureDir() + "/win32/appdelay.exe"},
                  0,
                  "Imports from utlib.dll\nImports from KERNEL32.dll\nImports from utdelay.dll\n"},
                 {{"-e", text}, 1, "tdump: " + text + ": not a PE or ELF file\n"},
                 {{}, 2, "usage: tdump -e FILE\n"},
                 {{"-x", text}, 2, "usage: tdump -e FILE\n"}};
    for (const auto& c : cases) {
        const TRun r = RunTdump(c.Args);
        EXPECT_EQ(r.ExitCode, c.ExitCode) << c.Output;
        EXPECT_EQ(r.Output, c.Output);
    }
}

} // namespace
} // namespace ut
