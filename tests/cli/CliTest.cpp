#include "CliCapture.h"

#include "cli/CliApp.h"
#include "cli/CliFrontEnd.h"
#include "cli/CliOptions.h"
#include "platform/FileSystem.h"
#include "report/JsonWriter.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <semaphore>
#include <unistd.h>
#ifndef _WIN32
#include <poll.h>
#endif

namespace {

using namespace ut;
using namespace ut::cli;
using uttest::RunCapture;
using uttest::Slurp;
namespace stdfs = std::filesystem;

TEST(CliOptions, ParsesEveryOption) {
    // clang-format off
    const ParseResult r = ParseCommandLine({"--search-path", "a;b", "--defines", "DEBUG", "--delphi", "5.0",
        "--lib-path", "L", "--browse-path", "B", "--use-browse-path", "--ignore", "X,Y",
        "--registry", "r1.reg", "--registry", "r2.reg", "--format", "json", "--tree", "usedby",
        "--depth", "4", "P.dpr"});
    // clang-format on
    ASSERT_EQ(r.Error, "");
    const CliOptions& o = r.Options;
    EXPECT_EQ(o.Project + " " + *o.SearchPath + " " + *o.Defines + " " + *o.Delphi + " " +
                  *o.LibPath + " " + *o.BrowsePath + " " + *o.Ignore,
              "P.dpr a;b DEBUG 5.0 L B X,Y");
    EXPECT_TRUE(o.UseBrowsePath);
    EXPECT_EQ(o.RegistryFiles, (std::vector<std::string>{"r1.reg", "r2.reg"}));
    EXPECT_EQ(o.Format, OutputFormat::Json);
    EXPECT_EQ(o.Tree, 2);
    EXPECT_EQ(o.Depth, 4);
    const CliOptions d = ParseCommandLine({"--config", "Release", "--platform", "Win64",
                                           "--unit-scopes", "Vcl;System", "P.dproj"})
                             .Options;
    EXPECT_EQ(*d.Config + " " + *d.Platform + " " + *d.UnitScopes, "Release Win64 Vcl;System");
    // The tree format prints the uses tree unless another is chosen.
    EXPECT_EQ(ParseCommandLine({"--format", "tree", "P"}).Options.Tree, 1);
    EXPECT_EQ(ParseCommandLine({"--format", "tree", "--tree", "usedby", "P"}).Options.Tree, 2);
    EXPECT_EQ(ParseCommandLine({"P"}).Options.Tree, 0);
}

TEST(CliOptions, RefusesWhatItDoesNotUnderstand) {
    const struct {
        std::vector<std::string> args;
        const char* error; // a part of the message
    } cases[] = {
        {{}, "PROJECT is required"},
        {{"--format", "xml", "P"}, "xml not in"},
        {{"--bogus", "P"}, "--bogus"},
        {{"P", "Q"}, "Q"},
        {{"P", "--delphi"}, "--delphi"},
        {{"--depth", "x", "P"}, "--depth"},
        {{"--tree", "down", "P"}, "down not in"},
        {{"--fail-on", "loops", "P"}, "loops not in"},
        {{"--baseline", "b.txt", "P"}, "--baseline requires --rules"},
        {{"--format", "sarif", "P"}, "--format sarif writes the violations of --rules"},
        {{"--rules", "r", "--fail-on", "stale-baseline", "P"}, "stale-baseline needs --baseline"},
    };
    for (const auto& c : cases) {
        const std::string error = ParseCommandLine(c.args).Error;
        EXPECT_NE(error.find(c.error), std::string::npos) << error;
    }
    EXPECT_TRUE(ParseCommandLine({"--help"}).Options.Help);
    EXPECT_NE(UsageText().find("--use-browse-path"), std::string::npos);
}

class CliRun : public uttest::ProjectDir {
  protected:
    void SetUp() override {
        ProjectDir::SetUp();
        Write("P.dpr", "program P;\nuses A, Gone;\nbegin end.\n");
        Write("lib/A.pas", "unit A;\ninterface\nuses SysUtils;\nimplementation\nend.\n");
        Write("P.dof", "[Directories]\r\nSearchPath=lib\r\nConditionals=DEBUG\r\n");
        Write("P.map", "Detailed map of segments\n\n"
                       " 0001:00000000 00000040 C=CODE S=.text G=(none) M=A ACBP=A9\n\n");
    }
};

TEST_F(CliRun, TextOutputIsTheLogWithTheOptionsFileAppliedAndTheProjectAsTyped) {
    int status = -1;
    std::string errors;
    fs::SetCurrentDir(root);
    const std::string out = RunCapture({"--delphi", "5.0", "P.dpr"}, status, &errors);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(out, "Scanning project P.dpr\nP: parsed...\n  A: parsed...\n"
                   "  Gone: not found\nParsing map-file...\nDone\n");
    EXPECT_EQ(errors, "");
}

TEST_F(CliRun, JsonDocumentHoldsUnitsUsesAndLog) {
    int status = -1;
    std::string errors;
    const std::string out = RunCapture(
        {"--format", "json", "--registry", root + "/none.reg", root + "/P.dpr"}, status, &errors);
    EXPECT_EQ(status, 0);
    // Standard output is JSON only. "@" is the temporary directory; the expected paths under
    // it are spelt natively.
    const nlohmann::json doc = uttest::EachString(
        nlohmann::json::parse(out), [this](const std::string& s) { return Rooted(s); });
    const auto expected = [](const char* text) {
        return uttest::EachString(nlohmann::json::parse(text), uttest::NativeRooted);
    };
    EXPECT_EQ(doc["project"], uttest::NativeRooted("@/P.dpr"));
    EXPECT_EQ(doc["completed"], true);
    // The map file is named as the program builds its name: Windows opens it in any letter
    // case and keeps that spelling.
    nlohmann::json inputs = expected(R"({"compiler": "delphi", "version": "",
        "searchPath": "lib", "libPath": "", "browsePath": "", "useBrowsePath": false,
        "defines": ["WIN32", "DEBUG"], "constants": {}, "includePath": "",
        "directories": ["@/", "@/lib/"], "unitScopes": "", "config": null, "platform": null,
        "ignored": ["Classes", "Graphics", "Messages", "SysUtils", "Windows"]})");
    inputs["mapFile"] = uttest::NativeRooted("@/" + uttest::CaseOf("P.map", "P.MAP"));
    EXPECT_EQ(doc["inputs"], inputs);
    EXPECT_EQ(doc["units"], expected(R"([
        {"key": "A", "name": "A", "kind": "unit", "file": "@/lib/A.pas", "hasForm": false,
         "size": 64, "exclusiveSize": 64, "level": 0, "recompile": 1, "uses": [
         {"name": "SysUtils", "interface": true, "line": 3, "status": "ignored", "key": null}]},
        {"key": "P", "name": "P", "kind": "program", "file": "@/P.dpr", "hasForm": false,
         "size": null, "exclusiveSize": 64, "level": 1, "recompile": 0, "uses": [
         {"name": "A", "interface": true, "line": 2, "status": "unit", "key": "A"},
         {"name": "Gone", "interface": true, "line": 2, "status": "unknown", "key": null}]}])"));
    EXPECT_EQ(doc["notFound"], nlohmann::json({"Gone"}));
    EXPECT_EQ(doc["log"][4],
              nlohmann::json::parse(R"({"depth":1,"text":"Gone: not found","style":"italic"})"));
    // With no installation and no version the log says so, where a warning would name none.
    EXPECT_EQ(doc["log"][1]["text"].get<std::string>().substr(0, 32),
              "No Delphi installation was found");
    EXPECT_EQ(errors.find("is not known"), std::string::npos) << errors;
    // Warnings go to standard error, never into the document: the registry file that is not
    // there (it used to be passed over in silence).
    EXPECT_NE(errors.find("warning: Cannot read the registry file \"" + root + "/none.reg\"\n"),
              std::string::npos)
        << errors;
}

// The log is written in batches; a warning or an error still comes after the lines before
// it where both streams go to one file (2>&1).
TEST(CliLog, MessagesKeepTheirPlaceAmongTheLinesInOneFile) {
    std::FILE* out = std::tmpfile();
    ASSERT_NE(out, nullptr);
    std::FILE* err = fdopen(dup(fileno(out)), "w");
    ASSERT_NE(err, nullptr);
    std::setvbuf(err, nullptr, _IONBF, 0); // as standard error is
    CliFrontEnd fe(out, err, true, false);
    fe.AppendLog({0, "one", lsPlain});
    fe.AppendLog({1, "two", lsPlain});
    fe.Warning("careful");
    fe.AppendLog({1, "three", lsPlain});
    fe.ErrorMessage("broken");
    std::fclose(err);
    EXPECT_EQ(Slurp(out), "one\n  two\nwarning: careful\n  three\nerror: broken\n");
}

// A pipe got a line only when the next one came: "Parsing map-file..." waited for "Done".
// The flusher is held in its pause (a tenth of a second) until the test lets it go.
TEST(CliLog, APipeGetsALineWithoutWaitingForTheNext) {
#ifndef _WIN32
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    std::FILE* out = fdopen(ends[1], "w");
    std::binary_semaphore paused{0}, go{0};
    {
        CliFrontEnd fe(out, stderr, true, false, [&] { paused.release(), go.acquire(); });
        fe.AppendLog({0, "Parsing map-file...", lsPlain});
        ASSERT_TRUE(paused.try_acquire_for(std::chrono::seconds(20))) << "no flush to come";
        pollfd ready{ends[0], POLLIN, 0};
        EXPECT_EQ(poll(&ready, 1, 0), 0) << "a write per line";
        go.release();
        ASSERT_EQ(poll(&ready, 1, 20000), 1);
        char buf[64];
        EXPECT_EQ(std::string(buf, static_cast<size_t>(read(ends[0], buf, sizeof buf))),
                  "Parsing map-file...\n");
    }
    std::fclose(out);
    close(ends[0]);
#endif
}

TEST(CliInterrupt, CtrlCAsksTheScanToAbortInsteadOfEndingTheProcess) {
    CliFrontEnd fe(stdout, stderr, false, false);
    {
        InterruptGuard guard;
        EXPECT_FALSE(fe.ProcessEvents());
        std::raise(SIGINT); // would end the test program without the guard
        EXPECT_TRUE(fe.ProcessEvents());
    }
    InterruptGuard fresh; // a new run starts without the old press
    EXPECT_FALSE(fe.ProcessEvents());
    // A second press before the first is honoured ends the process, as without the guard.
#ifdef _WIN32
    GTEST_SKIP() << "Windows ends a process on SIGINT with an exit code, not a signal";
#else
    EXPECT_EXIT(
        {
            InterruptGuard guard;
            std::raise(SIGINT);
            std::raise(SIGINT);
            std::exit(0);
        },
        ::testing::KilledBySignal(SIGINT), "");
#endif
}

// Ctrl+C used to go unnoticed outside the walk, and only the text log said "Aborted!".
TEST_F(CliRun, CtrlCEndsEveryFormatWithAbortedAndStatusOne) {
    const struct {
        const char* format;
        const char* out; // standard output; nullptr: a JSON document
        const char* errors;
    } cases[] = {
        {"text", "Aborted!\n", ""},
        {"json", nullptr, "Aborted!\n"},
        {"tree", "", "Aborted!\n"},
    };
    for (const auto& c : cases) {
        InterruptGuard run;      // the run's own guard keeps a press made before it
        InterruptGuard::Raise(); // pressed before the scan's first look
        int status = -1;
        std::string errors;
        const std::string out =
            RunCapture({"--delphi", "5.0", "--format", c.format, "--tree", "uses", root + "/P.dpr"},
                       status, &errors);
        EXPECT_EQ(status, 1) << c.format;
        EXPECT_EQ(errors, c.errors) << c.format;
        if (c.out) {
            EXPECT_EQ(out, c.out) << c.format;
        } else {
            const nlohmann::json doc = nlohmann::json::parse(out);
            EXPECT_EQ(doc["completed"], false);
            EXPECT_EQ(doc["log"].back()["text"], "Aborted!");
        }
    }
}

// With its output on a full disk the program used to end with status 0 and an empty file.
TEST_F(CliRun, WriteFailureEndsWithAMessageAndStatusOne) {
#ifdef _WIN32
    GTEST_SKIP() << "/dev/full is Linux-only";
#endif
    for (const char* format : {"text", "json", "tree"}) {
        std::FILE* full = std::fopen("/dev/full", "w");
        ASSERT_NE(full, nullptr);
        std::FILE* err = std::tmpfile();
        const int status =
            RunCli({"--delphi", "5.0", "--format", format, root + "/P.dpr"}, full, err);
        std::fclose(full);
        EXPECT_EQ(status, 1) << format;
        EXPECT_EQ(Slurp(err), "unitrace-cli: cannot write the output: No space left on device\n")
            << format;
    }
}

// Bytes that only looked like UTF-8 (a surrogate, above U+10FFFF, overlong) in a directory,
// a symbol or a file name ended the program without output; a result written before held
// them raw, and the diff refused it.
TEST_F(CliRun, IllFormedBytesBecomeWindows1252InTheDocumentAndTheDiff) {
#ifndef _WIN32 // Windows file names are UTF-16: no file is named by these bytes
    const std::string dir = "d\xED\xA0\x80", file = "A\xE0\x80\x80.pas";
    Write(dir + "/P.dpr", "program P;\nuses A in '" + file + "';\nbegin end.\n");
    Write(dir + "/" + file, "unit A;\ninterface\nimplementation\nend.\n");
    int status = -1;
    const std::string out = RunCapture({"--delphi", "5.0", "--format", "json", "--defines",
                                        "X\xF4\x90\x80\x80", root + "/" + dir + "/P.dpr"},
                                       status);
    const nlohmann::json doc = nlohmann::json::parse(out); // strict: throws on ill-formed UTF-8
    EXPECT_EQ(doc["inputs"]["defines"].back(), "X\xC3\xB4\xC2\x90\xE2\x82\xAC\xE2\x82\xAC");
    const std::string cp1252Dir = "/d\xC3\xAD\xC2\xA0\xE2\x82\xAC/";
    EXPECT_EQ(doc["units"][0]["file"], root + cp1252Dir + "A\xC3\xA0\xE2\x82\xAC\xE2\x82\xAC.pas");
    std::string old = out;
    for (size_t at; (at = old.find(cp1252Dir)) != std::string::npos;)
        old.replace(at, cp1252Dir.size(), "/" + dir + "/");
    Write("old.json", old);
    Write("new.json", out);
    EXPECT_EQ(RunCapture({"diff", root + "/old.json", root + "/new.json"}, status),
              "No differences\n");
#endif
}

// The program's own message (a --why name that is no unit) came before the scan's log
// where both streams go to one file.
TEST_F(CliRun, ItsOwnMessagesComeAfterTheLogInOneFile) {
    std::FILE* out = std::tmpfile();
    std::FILE* err = fdopen(dup(fileno(out)), "w");
    std::setvbuf(err, nullptr, _IONBF, 0);
    EXPECT_EQ(RunCli({"--delphi", "5.0", "--why", "Nope", root + "/P.dpr"}, out, err), 2);
    std::fclose(err);
    EXPECT_EQ(
        Rooted(Slurp(out)),
        "Scanning project @/P.dpr\nP: parsed...\n  A: parsed...\n"
        "  Gone: not found\nParsing map-file...\nDone\n"
        "unitrace-cli: --why: \"Nope\" is not a parsed unit nor a unit the scan did not find\n");
}

TEST_F(CliRun, OptionsOverrideTheOptionsFile) {
    int status = -1;
    const std::string out = RunCapture({"--delphi", "5.0", "--search-path", "elsewhere", "--ignore",
                                        "Gone;A", "--tree", "uses", root + "/P.dpr"},
                                       status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(out.find("A: parsed"), std::string::npos) << out;
    // The project's own directory shows in full; the map lists A, so its size shows.
    EXPECT_NE(out.find("\nP  (" + uttest::NativePath(root) +
                       ")\n  A  (ignored, 64 bytes)\n  Gone  (ignored)\n"),
              std::string::npos)
        << out;
}

TEST_F(CliRun, MissingProjectAndUsageErrorsExitWithTwo) {
    int status = -1;
    std::string errors;
    RunCapture({root + "/Nope.dpr"}, status, &errors);
    EXPECT_EQ(status, 2);
    EXPECT_EQ(errors, "error: File \"" + Under("Nope.dpr") + "\" not found!\n");
    RunCapture({"--format"}, status, &errors); // a usage error
    EXPECT_EQ(status, 2);
    EXPECT_EQ(errors.rfind("unitrace-cli: ", 0), 0u) << errors;
    // Without a .dproj, a platform is the version's (it used to be ignored, even made up).
    for (const auto& [version, message] :
         {std::pair{"", "no Delphi has a platform \"Amiga\""},
          std::pair{"2007", "Delphi 2007 has no platform \"Amiga\" (it has Win32)"}}) {
        RunCapture({"--delphi", version, "--platform", "Amiga", root + "/P.dpr"}, status, &errors);
        EXPECT_EQ(status, 2);
        EXPECT_EQ(errors, std::string("unitrace-cli: --platform: ") + message + "\n");
    }
    const std::string version = RunCapture({"--version"}, status, &errors);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(version.rfind("unitrace-cli 0.", 0), 0u) << version; // not "PROJECT is required"
}

// The example .dproj, scanned for each of its configurations against the stand-in Delphi 12
// installation that a registry export written here describes.
TEST_F(CliRun, DprojExampleScansEachConfigurationWithItsOwnUnits) {
    const std::string example = std::string(UNITRACE_EXAMPLES) + "/dproj";
    Write("Studio.reg", R"(REGEDIT4

[HKEY_CURRENT_USER\Software\Embarcadero\BDS\23.0]
"RootDir"=")" + example + R"(/studio/"

[HKEY_CURRENT_USER\Software\Embarcadero\BDS\23.0\Library\Win32]
"Search Path"="$(BDSLIB)\\$(Platform)\\release"
"Browsing Path"="$(BDS)\\source\\rtl\\common;$(BDS)\\source\\vcl"
)");
    const struct {
        const char* config;
        const char* inForce;
        const char* define; // the configuration's own, the last of the defines
        const char* units;  // with the configuration's own unit, in key order
    } cases[] = {
        {"Debug", "Debug", "DEBUG",
         "Inventory MainForm StockStore StockTrace System.Generics.Collections System.IniFiles "
         "Vcl.Controls Vcl.Forms Vcl.StdCtrls"},
        {"release", "Release", "RELEASE",
         "Inventory MainForm StockCache StockStore System.Generics.Collections System.IniFiles "
         "Vcl.Controls Vcl.Forms Vcl.StdCtrls"},
    };
    for (const auto& c : cases) {
        int status = -1;
        std::string errors;
        const std::string out =
            RunCapture({"--format", "json", "--registry", root + "/Studio.reg", "--use-browse-path",
                        "--config", c.config, example + "/Inventory.dproj"},
                       status, &errors);
        EXPECT_EQ(status, 0) << c.config;
        EXPECT_EQ(errors, "") << c.config;
        const nlohmann::json doc = nlohmann::json::parse(out);
        std::string keys;
        for (const auto& u : doc["units"])
            keys += (keys.empty() ? "" : " ") + u["key"].get<std::string>();
        EXPECT_EQ(keys, c.units) << c.config;
        EXPECT_EQ(doc["inputs"]["version"], "12");
        EXPECT_EQ(doc["inputs"]["config"], c.inForce);
        EXPECT_EQ(doc["inputs"]["defines"].back(), c.define) << c.config;
        EXPECT_EQ(doc["units"][0]["uses"][0],
                  nlohmann::json::parse(R"({"name":"Forms","interface":true,"line":9,)"
                                        R"("status":"unit","key":"Vcl.Forms",)"
                                        R"("resolvedAs":"Vcl.Forms"})"));
    }
}

} // namespace
