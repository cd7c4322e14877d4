#include "imports/DumpRunner.h"

#include "ImportTestUtil.h"
#include "support/Textutil.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>

namespace ut {
namespace {

using Names = std::vector<std::string>;
namespace stdfs = std::filesystem;

TEST(ReadDumpOutput, TakesTheNamesOfImportLinesOnly) {
    const struct {
        const char* Name;
        const char* Text;
        Names Expected;
    } cases[] = {
        {"plain lines",
         "Imports from KERNEL32.dll\nImports from user32.dll\n",
         {"KERNEL32.dll", "user32.dll"}},
        {"prefix in any case, name trimmed, CR LF",
         "IMPORTS FROM  a.dll \r\nimports from b.dll",
         {"a.dll", "b.dll"}},
        {"other lines ignored",
         "Turbo Dump\n\nExports from x.dll\nImports from c.dll\n",
         {"c.dll"}},
        {"no blanks skipped before the prefix", "  Imports from d.dll\n", {}},
        {"a name is whatever follows the 13th character", "Imports fromXe.dll\n", {"e.dll"}},
        {"a line without a name lists nothing", "Imports from\nImports from   \n", {}},
        {"the same name twice is read twice",
         "Imports from a.dll\nImports from a.dll\n",
         {"a.dll", "a.dll"}},
        {"empty dump", "", {}},
    };
    for (const auto& c : cases) {
        std::istringstream in(c.Text);
        EXPECT_EQ(ReadDumpOutput(in), c.Expected) << c.Name;
    }
}

TEST(ReadDumpOutput, MissingFileListsNothing) {
    EXPECT_EQ(ReadDumpOutput(std::string("/nonexistent/usg123.tmp")), Names{});
}

/// Points TMPDIR at a scratch directory for the test, so that leftover temporary files
/// can be seen, and restores it afterwards.
class DumpRunnerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const char* old = std::getenv("TMPDIR");
        FOldTmp = old ? std::optional<std::string>(old) : std::nullopt;
        stdfs::create_directory(FDir / "tmp");
        ::setenv("TMPDIR", (FDir / "tmp").c_str(), 1);
    }
    void TearDown() override {
        if (FOldTmp)
            ::setenv("TMPDIR", FOldTmp->c_str(), 1);
        else
            ::unsetenv("TMPDIR");
    }
    Names TempFiles() const {
        Names names;
        for (const auto& e : stdfs::directory_iterator(FDir / "tmp"))
            names.push_back(e.path().filename().string());
        return names;
    }
    TDumpResult Dump(const std::string& file, const std::string& tool,
                     std::chrono::milliseconds limit = DumpTimeLimit) {
        TDumpOptions options;
        options.ToolPath = tool;
        options.TimeLimit = limit;
        options.OnBusy = [this](bool busy) { FBusy.push_back(busy); };
        return ListImports(file, options);
    }

    test::TScratchDir FDir;
    std::vector<bool> FBusy;

  private:
    std::optional<std::string> FOldTmp;
};

// Guards against handing the file name to a shell: blanks would split it and "$(...)" or
// ";" would run commands.
TEST_F(DumpRunnerTest, FileNameWithBlanksAndShellCharactersReachesTheToolUnchanged) {
    const std::string weird = "a b;$(touch pwned);`touch pwned2` 'q' \"d\" >x";
    const std::string file = FDir / (weird + "/app delay.exe");
    test::WriteFile(file, LoadFileText(test::FixtureDir() + "/win64/appdelay.exe"));
    const bool pwnedBefore = stdfs::exists("pwned");

    const TDumpResult r = Dump(file, UNITRACE_TDUMP);

    EXPECT_EQ(r.Status, TDumpStatus::Listed);
    EXPECT_EQ(r.ExitCode, 0);
    EXPECT_EQ(r.Imports, (Names{"utlib.dll", "KERNEL32.dll", "utdelay.dll"}));
    EXPECT_EQ(r.Message, "");
    EXPECT_EQ(stdfs::exists("pwned"), pwnedBefore);
    for (const char* stray : {"pwned", "pwned2", "x"}) {
        EXPECT_FALSE(stdfs::exists(FDir / stray)) << stray;
        EXPECT_FALSE(stdfs::exists(FDir / (weird + "/" + stray))) << stray;
    }
    EXPECT_EQ(TempFiles(), Names{});
    EXPECT_EQ(FBusy, (std::vector<bool>{true, false}));
}

TEST_F(DumpRunnerTest, ToolGetsExactlyTheOptionAndTheFileName) {
    const std::string tool = FDir / "fake-tdump";
    test::WriteScript(tool, "printf '%s\\n' \"$@\" > \"$(dirname \"$0\")/args\"\n"
                            "echo 'Imports from one.dll'\necho 'Imports from two.so.1'\n");
    const std::string file = FDir / "x y/$HOME;ls|z";

    const TDumpResult r = Dump(file, tool);

    EXPECT_EQ(r.Status, TDumpStatus::Listed);
    EXPECT_EQ(r.Imports, (Names{"one.dll", "two.so.1"}));
    EXPECT_EQ(LoadFileText(FDir / "args"), "-e\n" + file + "\n");
    EXPECT_EQ(TempFiles(), Names{});
}

TEST_F(DumpRunnerTest, TempFileHasTheUsgPrefixAndIsRemoved) {
    const std::string tool = FDir / "fake-tdump";
    // The tool's standard output is the temporary file itself.
    test::WriteScript(tool, "basename \"$(readlink /proc/$$/fd/1)\" > \"$(dirname \"$0\")/out\"\n");
    const TDumpResult r = Dump(FDir / "any.exe", tool);
    EXPECT_EQ(r.Status, TDumpStatus::Listed);
    EXPECT_EQ(LoadFileText(FDir / "out").substr(0, 3), "usg");
    EXPECT_EQ(TempFiles(), Names{});
}

TEST_F(DumpRunnerTest, FailingToolListsNothing) {
    const std::string text = FDir / "notes.txt";
    test::WriteFile(text, "just text\n");

    const TDumpResult r = Dump(text, UNITRACE_TDUMP);

    EXPECT_EQ(r.Status, TDumpStatus::Failed);
    EXPECT_EQ(r.ExitCode, 1);
    EXPECT_EQ(r.Imports, Names{});
    EXPECT_EQ(r.Message, std::string(UNITRACE_TDUMP) + " ended with exit code 1 for " + text);
    EXPECT_EQ(TempFiles(), Names{});
    EXPECT_EQ(FBusy, (std::vector<bool>{true, false}));
}

TEST_F(DumpRunnerTest, OutputOfAFailingToolIsNotRead) {
    const std::string tool = FDir / "fake-tdump";
    test::WriteScript(tool, "echo 'Imports from a.dll'\nexit 3\n");
    const TDumpResult r = Dump(FDir / "any.exe", tool);
    EXPECT_EQ(r.Status, TDumpStatus::Failed);
    EXPECT_EQ(r.ExitCode, 3);
    EXPECT_EQ(r.Imports, Names{});
}

// Guards against a hung tool freezing the caller forever.
TEST_F(DumpRunnerTest, HungToolIsStoppedAfterTheTimeLimit) {
    const std::string tool = FDir / "slow-tdump";
    test::WriteScript(tool, "echo 'Imports from early.dll'\nsleep 30\n");
    const std::string file = FDir / "big.exe";

    const auto start = std::chrono::steady_clock::now();
    const TDumpResult r = Dump(file, tool, std::chrono::milliseconds(300));
    const auto elapsed = std::chrono::steady_clock::now() - start;

    EXPECT_LT(elapsed, std::chrono::seconds(10));
    EXPECT_EQ(r.Status, TDumpStatus::TimedOut);
    EXPECT_EQ(r.ExitCode, -1);
    EXPECT_EQ(r.Imports, Names{});
    EXPECT_EQ(r.Message, tool + " did not finish within 0.3 s for " + file + " and was stopped");
    EXPECT_EQ(TempFiles(), Names{});
    EXPECT_EQ(FBusy, (std::vector<bool>{true, false}));
}

TEST_F(DumpRunnerTest, MissingToolIsNotStarted) {
    const TDumpResult r = Dump(FDir / "any.exe", "/nonexistent/tdump");
    EXPECT_EQ(r.Status, TDumpStatus::NotStarted);
    EXPECT_EQ(r.ExitCode, -1);
    EXPECT_EQ(r.Message, "cannot run /nonexistent/tdump: No such file or directory");
    EXPECT_EQ(TempFiles(), Names{});

    const TDumpResult none = Dump(FDir / "any.exe", "");
    EXPECT_EQ(none.Status, TDumpStatus::NotStarted);
    EXPECT_EQ(none.Message, "The dump tool tdump was not found");
    EXPECT_EQ(FBusy, (std::vector<bool>{true, false, true, false}));
}

TEST(FindDumpTool, BesideTheApplicationFirstThenOnPath) {
    test::TScratchDir dir;
    const std::string app = dir / "app", bin1 = dir / "bin1", bin2 = dir / "bin2";
    test::WriteScript(bin2 + "/tdump", "exit 0\n");
    test::WriteFile(bin1 + "/tdump", "not executable");
    const std::string path = bin1 + ":" + bin2;

    EXPECT_EQ(FindDumpTool(app, path), bin2 + "/tdump") << "nothing beside the application";
    test::WriteScript(app + "/tdump", "exit 0\n");
    EXPECT_EQ(FindDumpTool(app, path), app + "/tdump");
    EXPECT_EQ(FindDumpTool(app + "/", path), app + "/tdump");
    EXPECT_EQ(FindDumpTool(dir / "other", bin1), "") << "not executable, nothing else";
}

} // namespace
} // namespace ut
