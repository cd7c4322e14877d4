// The uses hygiene on the command line: its options, its lines after the log, its gates and
// its patch.
#include "CliCapture.h"
#include "HygieneProject.h"

#include "cli/CliOptions.h"

#include <gtest/gtest.h>

namespace {

using namespace ut::cli;
using uttest::RunCapture;

TEST(HygieneOptions, EveryWayOfAskingRunsIt) {
    const struct {
        std::vector<std::string> args;
        bool hygiene, all;
    } cases[] = {
        {{"P"}, false, false},
        {{"--hygiene", "P"}, true, false},
        {{"--hygiene-all", "P"}, true, true},
        {{"--format", "patch", "P"}, true, false},
        {{"--fail-on", "cycles,movable", "P"}, true, false},
        {{"--fail-on", "unused", "P"}, true, false},
        {{"--fail-on", "cycles", "P"}, false, false},
    };
    for (const auto& c : cases) {
        const ParseResult r = ParseCommandLine(c.args);
        ASSERT_EQ(r.Error, "");
        EXPECT_EQ(r.Options.Hygiene, c.hygiene) << c.args[1];
        EXPECT_EQ(r.Options.HygieneAll, c.all) << c.args[1];
    }
}

class HygieneCli : public uttest::ProjectDir {
  protected:
    void SetUp() override {
        ProjectDir::SetUp();
        uttest::WriteHygieneProject(root);
    }
};

TEST_F(HygieneCli, LinesAfterTheLogGatesAndPatch) {
    int status = 0;
    std::string errors;
    const std::string text = RunCapture({"--hygiene", Under("Proj.dpr")}, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(
        Rooted(text.substr(text.find("Done\n") + 5)),
        uttest::NativeRooted(
            "\n@/Bin.pas: note: the form file @/Bin.dfm is binary: the entries are kept (form)\n"
            "@/Main.pas:6: move Moved to the implementation (first used at @/Main.pas:26: Work)\n"
            "@/Main.pas:6: remove Gone\n@/Main.pas:19: remove Gone2\n@/Proj.dpr:6: remove Spare\n"
            "Uses hygiene: 3 entries can go, 1 can move, 1 kept for start-up code, 3 unknown\n"));

    const nlohmann::json doc = nlohmann::json::parse(RunCapture(
        {"--format", "json", "--fail-on", "unused", Under("Proj.dpr")}, status, &errors));
    EXPECT_EQ(status, 3);
    nlohmann::json entries;
    for (const auto& u : doc["units"])
        if (u["name"] == "Main")
            for (const auto& e : u["uses"])
                if (e["name"] == "Moved" || e["name"] == "Broken")
                    entries.push_back(
                        uttest::EachString(e, [&](const std::string& v) { return Rooted(v); }));
    EXPECT_EQ(
        entries,
        uttest::EachString(
            nlohmann::json::parse(
                R"([{"name":"Moved","interface":true,"line":6,"status":"unit","key":"Moved","verdict":"move",)"
                R"("reasons":[],"evidence":[{"identifier":"Work","file":"@/Main.pas","line":26}]},)"
                R"({"name":"Broken","interface":false,"line":20,"status":"unit","key":"Broken",)"
                R"("verdict":"unknown","reasons":[],"evidence":[],"note":"Broken could not be read: )"
                R"(Error: \"Identifier expected\" on line 1 of file @/Broken.pas"}])"),
            uttest::NativeRooted));
    EXPECT_EQ(Rooted(errors.substr(errors.find("unused:"))),
              uttest::NativeRooted("unused: @/Main.pas:6 Gone\nunused: @/Main.pas:19 Gone2\n"
                                   "unused: @/Proj.dpr:6 Spare\n"));

    const std::string patch = RunCapture({"--format", "patch", Under("Proj.dpr")}, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(patch.substr(0, patch.find("@@")),
              "# Main.pas:19: remove Gone2: not edited, inside a conditional branch\n"
              "--- a/Main.pas\n+++ b/Main.pas\n");
}

} // namespace
