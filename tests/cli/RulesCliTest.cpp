// --rules, --baseline, --format sarif and --audit end to end, in-process.
#include "CliCapture.h"
#include "platform/FileReader.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>

namespace {

using uttest::RunCapture;
using json = nlohmann::json;

// The program's paths with '/', as Windows does not spell them.
std::string Slashed(std::string s) {
#ifdef _WIN32
    std::replace(s.begin(), s.end(), '\\', '/');
#endif
    return s;
}

// Core uses Utils (in common/, with an older copy in old/), whose implementation uses
// Forms, which is not found; the project names Shared, outside its directory, with `in`.
class RulesCli : public uttest::ProjectDir {
  protected:
    void SetUp() override {
        ProjectDir::SetUp();
        Write("proj/P.dpr", "program P;\nuses UiMain in 'ui\\UiMain.pas', Core,\n"
                            "  Shared in '..\\shared\\Shared.pas';\nbegin end.\n");
        Write("proj/P.dof", "[Directories]\r\nSearchPath=core;common;old;gone\r\n");
        Write("proj/ui/UiMain.pas", "unit UiMain;\ninterface\nuses Core;\nimplementation\nend.\n");
        Write("proj/core/Core.pas",
              "unit Core;\ninterface\nuses Utils;\nimplementation\nuses Dialogs;\nend.\n");
        Write("proj/common/Utils.pas",
              "unit Utils;\ninterface\nimplementation\nuses Forms;\nend.\n");
        Write("proj/old/Utils.pas", "unit Utils;\ninterface\nimplementation\nend.\n");
        Write("shared/Shared.pas", "unit Shared;\ninterface\nimplementation\nend.\n");
        Write("proj/rules.toml", "[[forbid]]\nname = \"core-not-vcl\"\nfrom = \"core/**\"\n"
                                 "to = [\"Forms\", \"Dialogs\"]\nreach = true\n\n"
                                 "[[layers]]\nname = \"ui-over-core\"\nsets = [\"ui/**\", "
                                 "\"core/**\"]\ninterface = false\nseverity = \"warn\"\n\n"
                                 "[[acyclic]]\nname = \"plugins\"\nset = \"plugins/**\"\n");
    }
    struct Run {
        int Status = -1;
        std::string Out, Err;
    };
    /// A JSON document with the temporary directory as "@" and '/' in its paths.
    json Document(const std::string& text) const {
        return uttest::EachString(json::parse(text),
                                  [this](const std::string& s) { return Slashed(Rooted(s)); });
    }
    // Runs from the project's directory (a scan leaves another one current).
    Run Cli(std::vector<std::string> args) {
        ut::fs::SetCurrentDir(root + "/proj");
        args.insert(args.begin(), {"--delphi", "5.0"});
        args.push_back("P.dpr");
        Run r;
        r.Out = Rooted(RunCapture(args, r.Status, &r.Err));
        if (std::find(args.begin(), args.end(), "--format") == args.end())
            r.Out = Slashed(r.Out);
        r.Err = Slashed(Rooted(r.Err));
        return r;
    }
    const std::string reach = "core-not-vcl: Core -> Forms (interface, @/proj/core/Core.pas:3)\n"
                              "  Core -> Utils  (interface, @/proj/core/Core.pas:3)\n"
                              "  Utils -> Forms  (implementation, @/proj/common/Utils.pas:4)\n";
    const std::string direct =
        "core-not-vcl: Core -> Dialogs (implementation, @/proj/core/Core.pas:5)\n";
    const std::string layered =
        "ui-over-core: UiMain -> Core (interface, @/proj/ui/UiMain.pas:3)\n";
    const std::string unmatched = "warning: plugins: set \"plugins/**\" matches no unit\n";
};

TEST_F(RulesCli, ViolationsAfterTheLogAndANewErrorEndsWithThree) {
    Run r = Cli({"--rules", "rules.toml"});
    EXPECT_EQ(r.Status, 3);
    const std::string rules = "Done\n\nRules of rules.toml:\n" + direct + reach + layered +
                              "3 violations (2 errors, 1 warning)\n";
    ASSERT_GE(r.Out.size(), rules.size());
    EXPECT_EQ(r.Out.substr(r.Out.size() - rules.size()), rules);
    EXPECT_EQ(r.Err, unmatched + direct + reach);

    // A broken rules file ends before the scan, naming the file, the line and the fault.
    Write("proj/bad.toml", "[[forbid]]\nname = \"x\"\nfrom = \"A\"\nto = 3\n");
    for (const auto& [file, message] :
         {std::pair{"bad.toml", "bad.toml:4:6: [[forbid]] \"x\": \"to\" is a pattern or an array "
                                "of patterns"},
          std::pair{"none.toml", "Cannot open file \"none.toml\". No such file or directory"}}) {
        r = Cli({"--rules", file});
        EXPECT_EQ(r.Status, 2) << file;
        EXPECT_EQ(r.Err, std::string("unitrace-cli: ") + message + "\n");
        EXPECT_EQ(r.Out, "");
    }
}

TEST_F(RulesCli, TheBaselineNamesEdgesSoOnlyNewViolationsFailAndItOnlyShrinks) {
    Run r = Cli({"--rules", "rules.toml", "--baseline", "known.txt", "--update-baseline"});
    EXPECT_EQ(r.Status, 0) << r.Err;
    EXPECT_EQ(r.Err, unmatched);
    EXPECT_EQ(ut::LoadFileText(root + "/proj/known.txt"),
              "# Violations known when this baseline was written: only others fail.\n"
              "# One per line, \"rule: From -> To\"; remove the lines of those fixed.\n"
              "core-not-vcl: Core -> Dialogs\ncore-not-vcl: Core -> Forms\n"
              "ui-over-core: UiMain -> Core\n");

    // Lines moved elsewhere in a source change nothing.
    Write("proj/core/Core.pas",
          "unit Core;\n\ninterface\nuses Utils;\nimplementation\nuses Dialogs;\nend.\n");
    r = Cli({"--rules", "rules.toml", "--baseline", "known.txt"});
    EXPECT_EQ(r.Status, 0);
    EXPECT_NE(r.Out.find("Rules of rules.toml:\nBaseline: 3 known, 0 fixed, 0 new\n"),
              std::string::npos);

    // Utils drops Forms; Data, new in core/, takes it up: one edge fixed, one new.
    Write("proj/common/Utils.pas", "unit Utils;\ninterface\nimplementation\nend.\n");
    Write("proj/core/Data.pas", "unit Data;\ninterface\nuses Forms;\nimplementation\nend.\n");
    Write("proj/core/Core.pas",
          "unit Core;\ninterface\nuses Utils, Data;\nimplementation\nuses Dialogs;\nend.\n");
    r = Cli({"--rules", "rules.toml", "--baseline", "known.txt", "--fail-on", "stale-baseline"});
    EXPECT_EQ(r.Status, 3);
    const std::string added = "core-not-vcl: Data -> Forms (interface, @/proj/core/Data.pas:3)\n";
    EXPECT_NE(r.Out.find("Rules of rules.toml:\n" + added +
                         "Baseline: 2 known, 1 fixed, 1 new\n"
                         "  fixed: core-not-vcl: Core -> Forms\n"),
              std::string::npos);
    EXPECT_EQ(r.Err, unmatched + added + "stale-baseline: core-not-vcl: Core -> Forms\n");
}

TEST_F(RulesCli, JsonListsViolationsAndSarifHoldsWhatItsFormatRequires) {
    Run r = Cli({"--rules", "rules.toml", "--format", "json"});
    EXPECT_EQ(r.Status, 3);
    const json doc = Document(r.Out);
    EXPECT_EQ(doc["violations"][1], json::parse(R"({"rule": "core-not-vcl", "severity": "error",
        "from": "Core", "to": "Forms", "interface": true, "file": "@/proj/core/Core.pas", "line": 3,
        "path": [{"from": "Core", "to": "Utils", "interface": true, "file": "@/proj/core/Core.pas", "line": 3},
                 {"from": "Utils", "to": "Forms", "interface": false,
                  "file": "@/proj/common/Utils.pas", "line": 4}]})"));
    EXPECT_EQ(doc["rules"], json::parse(R"({"file": "rules.toml", "unmatched": [
        {"rule": "plugins", "set": "set", "patterns": "\"plugins/**\""}], "notes": []})"));

    r = Cli({"--rules", "rules.toml", "--format", "sarif"});
    EXPECT_EQ(r.Status, 3);
    const json sarif = Document(r.Out);
    EXPECT_EQ(sarif["version"], "2.1.0");
    const json& run = sarif["runs"][0];
    std::string ids;
    for (const json& rule : run["tool"]["driver"]["rules"])
        ids += rule["id"].get<std::string>() + " ";
    EXPECT_EQ(ids, "core-not-vcl ui-over-core plugins ");
    const std::string base = run["originalUriBaseIds"]["SRCROOT"]["uri"];
    EXPECT_EQ(base.rfind("file://", 0), 0u) << base;
    EXPECT_EQ(base.substr(base.size() - 7), "@/proj/") << base;
    ASSERT_EQ(run["results"].size(), 3u);
    const json& warn = run["results"][2];
    EXPECT_EQ(warn["ruleId"], "ui-over-core");
    EXPECT_EQ(warn["level"], "warning");
    EXPECT_EQ(warn["message"]["text"], "UiMain uses Core in its interface section");
    EXPECT_EQ(warn["locations"][0]["physicalLocation"], json::parse(R"({
        "artifactLocation": {"uri": "ui/UiMain.pas", "uriBaseId": "SRCROOT"},
        "region": {"startLine": 3}})"));
    EXPECT_EQ(run["results"][1]["message"]["text"], "Core reaches Forms: Core -> Utils -> Forms");
    EXPECT_EQ(run["results"][0]["level"], "error");
}

TEST_F(RulesCli, AuditNamesShadowedUnitsMissingPathsAndFilesOutsideTheTree) {
    Write("lib/Old.pas", "unit Old;\n");
    Write("lib/Old.dcu", "");
    Write("lib/Gone.dcu", "");
    Run r = Cli({"--audit", "--lib-path", root + "/lib", "--format", "json"});
    EXPECT_EQ(r.Status, 0) << r.Err;
    EXPECT_EQ(Document(r.Out)["audit"], json::parse(R"({
        "shadowed-units": [{"unit": "Utils", "used": "@/proj/common/Utils.pas",
                            "hidden": ["@/proj/old/Utils.pas"]}],
        "missing-paths": [{"list": "search path", "entry": "gone", "directory": "@/proj/gone"}],
        "package-overlap": [],
        "outside-in-files": [{"unit": "Shared", "file": "@/shared/Shared.pas"}],
        "mismatched-library-units": [{"directory": "@/lib/", "sourcesOnly": [],
                                      "compiledOnly": ["Gone"]}],
        "notes": []})"));

    r = Cli({"--fail-on", "shadowed-units,missing-paths"});
    EXPECT_EQ(r.Status, 3);
    EXPECT_EQ(r.Err, "shadowed-units: Utils: @/proj/common/Utils.pas, hiding @/proj/old/Utils.pas\n"
                     "missing-paths: search path \"gone\": no directory @/proj/gone\n");

    // A package and a package it requires that contain the same unit.
    Write("pkg/Pk.dpk",
          "package Pk;\nrequires rtl, Base; { the units }\ncontains A in 'A.pas';\nend.\n");
    Write("pkg/Base.dpk", "package Base;\ncontains A in 'A.pas';\nend.\n");
    Write("pkg/A.pas", "unit A;\ninterface\nimplementation\nend.\n");
    int status = -1;
    const std::string out =
        Slashed(Rooted(RunCapture({"--delphi", "5.0", "--audit", root + "/pkg/Pk.dpk"}, status)));
    EXPECT_EQ(status, 0);
    EXPECT_NE(out.find("\nAudit:\npackage-overlap: A: contained in Pk, Base\n"), std::string::npos)
        << out;
}

// The rules of the example in README.md find what it says they find.
TEST(RulesExample, TheDemosRulesFindTheViolationsTheReadmeShows) {
    const std::string examples = UNITRACE_EXAMPLES;
    int status = -1;
    std::string out = RunCapture(
        {"--delphi", "5.0", "--rules", examples + "/demo/rules.toml", examples + "/demo/Demo.dpr"},
        status);
    EXPECT_EQ(status, 3);
    out = Slashed(uttest::Rooted(out.substr(out.find("\nRules of")), examples));
    EXPECT_EQ(out,
              "\nRules of @/demo/rules.toml:\n"
              "forms-over-data: Logger -> Contacts (implementation, @/demo/common/Logger.pas:10)\n"
              "data-acyclic: Contacts -> Logger (implementation, @/demo/Contacts.pas:23)\n"
              "data-acyclic: Logger -> Contacts (implementation, @/demo/common/Logger.pas:10)\n"
              "3 violations (1 error, 2 warnings)\n");
}

} // namespace
