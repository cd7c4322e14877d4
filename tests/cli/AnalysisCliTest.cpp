// unitrace-cli's analysis end to end, through the program itself: --why, --fail-on,
// --format dot, the JSON additions and the diff subcommand.
#include "CliCapture.h"
#include "platform/FileReader.h"
#include "support/Textutil.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdlib>
#include <filesystem>
#include <sys/wait.h>

namespace {

namespace stdfs = std::filesystem;

struct CliRunResult {
    int Status = -1;
    std::string Out, Err;
};

// P uses A and B; A, B and C form a legal cycle (A's and C's implementation entries), C and
// D a circular reference through their interfaces; B's implementation uses Broken, whose
// unclosed comment is logged as an exception; Gone does not exist.
class AnalysisCli : public uttest::ProjectDir {
  protected:
    void SetUp() override {
        ProjectDir::SetUp();
        Write("P.dpr", "program P;\nuses A, B, Gone;\nbegin end.\n");
        Write("P.dof", "[Directories]\r\nSearchPath=lib\r\n");
        Write("lib/A.pas", "unit A;\ninterface\nuses C;\nimplementation\nuses B;\nend.\n");
        Write("lib/B.pas", "unit B;\ninterface\nuses C;\nimplementation\nuses Broken;\nend.\n");
        Write("lib/Broken.pas", "unit Broken;\ninterface\nimplementation\n{ never closed\nend.\n");
        Write("lib/C.pas", "unit C;\ninterface\nuses D;\nimplementation\nuses A;\nend.\n");
        Write("lib/D.pas", "unit D;\ninterface\nuses C;\nimplementation\nend.\n");
        WriteMap(0x10);
    }
    void WriteMap(int sizeOfD) {
        char d[96];
        std::snprintf(d, sizeof d, " 0001:00000000 %08X C=CODE S=.text G=(none) M=D ACBP=A9\n",
                      sizeOfD);
        Write("P.map", std::string("Detailed map of segments\n\n") +
                           " 0001:00000000 00000040 C=CODE S=.text G=(none) M=A ACBP=A9\n"
                           " 0001:00000000 00000100 C=CODE S=.text G=(none) M=C ACBP=A9\n" +
                           d + "\n");
    }
    // Runs the program with `args` (a shell word list) from the project's directory.
    CliRunResult Cli(const std::string& args) {
        const std::string command =
            "cd " + root + " && " + UNITRACE_CLI + " " + args + " >out.txt 2>err.txt";
        CliRunResult r;
        const int rc = std::system(command.c_str());
        r.Status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
        r.Out = ut::LoadFileText(root + "/out.txt");
        r.Err = ut::LoadFileText(root + "/err.txt");
        for (std::string* text : {&r.Out, &r.Err}) // the temporary directory shows as "@"
            for (size_t at; (at = text->find(root)) != std::string::npos;)
                text->replace(at, root.size(), "@");
        return r;
    }
};

TEST_F(AnalysisCli, WhyPrintsEveryShortestPathAfterTheLog) {
    const CliRunResult r = Cli("--delphi 5.0 --why d P.dpr");
    EXPECT_EQ(r.Status, 0) << r.Err;
    const std::string why = "Done\n\nWhy D (2 shortest paths):\n"
                            "  P -> A  (interface, @/P.dpr:2)\n"
                            "  A -> C  (interface, @/lib/A.pas:3)\n"
                            "  C -> D  (interface, @/lib/C.pas:3)\n\n"
                            "  P -> B  (interface, @/P.dpr:2)\n"
                            "  B -> C  (interface, @/lib/B.pas:3)\n"
                            "  C -> D  (interface, @/lib/C.pas:3)\n";
    ASSERT_GE(r.Out.size(), why.size());
    EXPECT_EQ(r.Out.substr(r.Out.size() - why.size()), why);

    // A name the scan did not find: the paths to the entries that name it.
    const CliRunResult gone = Cli("--delphi 5.0 --format tree --depth 0 --why gone P.dpr");
    EXPECT_EQ(gone.Out, "P  (@)\n\nWhy Gone (not found; 1 shortest path):\n"
                        "  P -> Gone  (interface, @/P.dpr:2)\n");
    for (const auto& [option, suffix] :
         {std::pair{"--why", " nor a unit the scan did not find"}, std::pair{"--focus", ""}}) {
        const CliRunResult unknown =
            Cli(std::string("--delphi 5.0 --format dot ") + option + " Nowhere P.dpr");
        EXPECT_EQ(unknown.Status, 2) << option;
        EXPECT_EQ(unknown.Err, std::string("unitrace-cli: ") + option +
                                   ": \"Nowhere\" is not a parsed unit" + suffix + "\n");
        EXPECT_EQ(unknown.Out, "") << option;
    }
}

TEST_F(AnalysisCli, JsonHoldsCyclesWhyAndExclusiveSizes) {
    CliRunResult r = Cli("--delphi 5.0 --format json --why BROKEN P.dpr");
    EXPECT_EQ(r.Status, 0) << r.Err;
    nlohmann::json doc = nlohmann::json::parse(r.Out);
    EXPECT_EQ(doc["cycles"], nlohmann::json::parse(R"([{"units": ["A", "B", "C", "D"],
        "interface": true, "edges": [
        {"from": "A", "to": "C", "interface": true}, {"from": "A", "to": "B", "interface": false},
        {"from": "B", "to": "C", "interface": true}, {"from": "C", "to": "D", "interface": true},
        {"from": "C", "to": "A", "interface": false}, {"from": "D", "to": "C", "interface": true}],
        "cuts": [{"from": "C", "to": "A", "interface": false, "file": "@/lib/C.pas", "line": 5,
                  "references": 1, "identifiers": []},
                 {"from": "D", "to": "C", "interface": true, "file": "@/lib/D.pas", "line": 3,
                  "references": 1, "identifiers": []}],
        "exact": true,
        "interfaceCuts": [{"from": "D", "to": "C", "interface": true, "file": "@/lib/D.pas",
                           "line": 3, "references": 1, "identifiers": [], "movable": false}]}])"));
    EXPECT_EQ(doc["why"], nlohmann::json::parse(R"({"unit": "Broken", "paths": [[
        {"from": "P", "to": "B", "interface": true, "file": "@/P.dpr", "line": 2},
        {"from": "B", "to": "Broken", "interface": false, "file": "@/lib/B.pas", "line": 5}]],
        "truncated": false})"));
    // C is reached through A and through B, so only the project holds it; D only through C.
    std::string exclusive;
    for (const auto& u : doc["units"])
        exclusive += u["key"].get<std::string>() + "=" + u["exclusiveSize"].dump() + " ";
    EXPECT_EQ(exclusive, "A=64 B=0 Broken=0 C=272 D=16 P=336 ");
    std::string reach;
    for (const auto& u : doc["units"])
        reach += u["key"].get<std::string>() + "=" + u["level"].dump() + "/" +
                 u["recompile"].dump() + " ";
    EXPECT_EQ(reach, "A=1/2 B=1/2 Broken=0/1 C=1/4 D=1/4 P=2/0 ");
    EXPECT_FALSE(doc.contains("notes"));

    stdfs::remove(root + "/P.map");
    r = Cli("--delphi 5.0 --format json P.dpr");
    doc = nlohmann::json::parse(r.Out);
    EXPECT_EQ(doc["notes"],
              nlohmann::json({"exclusive sizes absent: the map file gave no unit sizes"}));
    EXPECT_FALSE(doc["units"][0].contains("exclusiveSize"));
    EXPECT_FALSE(doc.contains("why"));
}

TEST_F(AnalysisCli, CutsAndTopRecompileFollowTheLog) {
    const CliRunResult r = Cli("--delphi 5.0 --cuts --top recompile 3 P.dpr");
    EXPECT_EQ(r.Status, 0) << r.Err;
    EXPECT_EQ(r.Out.substr(r.Out.rfind("Done\n")),
              "Done\n\nCycle 1 (circular unit reference): A, B, C, D\n"
              "  cut C -> A (implementation, @/lib/C.pas:5): 1 reference\n"
              "  cut D -> C (interface, @/lib/D.pas:3): 1 reference\n"
              "  to make it legal, move to the implementation:\n"
              "  move D -> C (interface, @/lib/D.pas:3): 1 reference\n\n"
              "Recompile reach (the 3 largest):\n"
              "  4  C  (cycle 1)\n  4  D  (cycle 1)\n  2  A  (cycle 1)\n");

    // With the hygiene's references: D names C's type, C nothing of D, so C's entry goes.
    Write("lib/C.pas", "unit C;\ninterface\nuses D;\ntype TC = class end;\n"
                       "implementation\nuses A;\nend.\n");
    Write("lib/D.pas", "unit D;\ninterface\nuses C;\nvar X: TC;\nimplementation\nend.\n");
    const std::string judged = Cli("--delphi 5.0 --cuts --hygiene P.dpr").Out;
    EXPECT_EQ(judged.substr(judged.rfind("Cycle 1")),
              "Cycle 1 (circular unit reference): A, B, C, D\n"
              "  cut C -> D (interface, @/lib/C.pas:3): 0 references\n"
              "  cut C -> A (implementation, @/lib/C.pas:6): 0 references\n"
              "  to make it legal, move to the implementation:\n"
              "  move C -> D (interface, @/lib/C.pas:3): 0 references, movable\n");

    Write("lib/C.pas", "unit C;\ninterface\nimplementation\nend.\n");
    const std::string out = Cli("--delphi 5.0 --cuts P.dpr").Out;
    EXPECT_EQ(out.substr(out.rfind("Done\n")), "Done\n\nNo cycles\n");
    for (const std::string top : {"size 3", "recompile 0", "recompile x"}) {
        const CliRunResult bad = Cli("--delphi 5.0 --top " + top + " P.dpr");
        EXPECT_EQ(bad.Status, 2) << top;
        EXPECT_EQ(bad.Err.substr(0, bad.Err.find('\n')),
                  "unitrace-cli: --top: expected recompile N (N from 1), got " + top);
    }
}

TEST_F(AnalysisCli, FailOnEndsACompletedScanWithThreeAndNamesEachOffender) {
    const std::string exc =
        "exc: EXC: File=@/lib/Broken.pas, Msg=Error: \"Unclosed comment!\" on line 6 of "
        "file @/lib/Broken.pas\n";
    const struct {
        const char* gates;
        int status;
        std::string err;
    } cases[] = {
        {"cycles", 3, "cycles: A, B, C, D\n"},
        {"cycles,interface-cycles", 3, "interface-cycles: A, B, C, D\n"},
        {"not-found", 3, "not-found: Gone\n"},
        {"exc", 3, exc},
        {"interface-cycles --fail-on not-found,exc", 3,
         "interface-cycles: A, B, C, D\nnot-found: Gone\n" + exc},
    };
    for (const auto& c : cases) {
        const CliRunResult r =
            Cli(std::string("--delphi 5.0 --format json --fail-on ") + c.gates + " P.dpr");
        EXPECT_EQ(r.Status, c.status) << c.gates;
        EXPECT_EQ(r.Err, c.err) << c.gates;
        EXPECT_TRUE(nlohmann::json::accept(r.Out)) << c.gates;
    }
    // Without a circular reference and the missing unit the same gates pass.
    Write("lib/D.pas", "unit D;\ninterface\nimplementation\nuses C;\nend.\n");
    Write("P.dpr", "program P;\nuses A, B;\nbegin end.\n");
    const CliRunResult pass = Cli("--delphi 5.0 --fail-on interface-cycles,not-found P.dpr");
    EXPECT_EQ(pass.Status, 0);
    EXPECT_EQ(pass.Err, "");
}

// Quoting of odd names is guarded by DotExport.NamesAreQuotedWhateverTheyHold.
TEST_F(AnalysisCli, DotGraphAroundAFocusIsAcceptedByGraphviz) {
    const CliRunResult r = Cli("--delphi 5.0 --format dot --focus c --depth 1 P.dpr");
    EXPECT_EQ(r.Status, 0) << r.Err;
    EXPECT_EQ(r.Out, "digraph uses {\n"
                     "  node [shape=box];\n"
                     "  \"A\" [label=\"A\\n64 bytes\", color=red];\n"
                     "  \"B\" [label=\"B\", color=red];\n"
                     "  \"C\" [label=\"C\\n256 bytes\", color=red, penwidth=2];\n"
                     "  \"D\" [label=\"D\\n16 bytes\", color=red, penwidth=2];\n"
                     "  \"A\" -> \"C\" [color=red];\n"
                     "  \"A\" -> \"B\" [style=dashed, color=red];\n"
                     "  \"B\" -> \"C\" [color=red];\n"
                     "  \"C\" -> \"D\" [style=bold, color=red];\n"
                     "  \"C\" -> \"A\" [style=dashed, color=red];\n"
                     "  \"D\" -> \"C\" [style=bold, color=red];\n"
                     "}\n");
    if (std::system("command -v dot >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "graphviz's dot is not installed";
    EXPECT_EQ(std::system(("dot -Tsvg " + root + "/out.txt -o " + root + "/out.svg").c_str()), 0);
}

TEST_F(AnalysisCli, DotByGroupsAndAdviceForAWholeGraphTooBigToRead) {
    const CliRunResult grouped = Cli("--delphi 5.0 --format dot --group-by folder P.dpr");
    EXPECT_EQ(grouped.Status, 0) << grouped.Err;
    EXPECT_EQ(grouped.Out, "digraph groups {\n"
                           "  node [shape=box];\n"
                           "  \"lib\" [label=\"lib\\n5 units, 336 bytes\"];\n"
                           "  \".\" [label=\".\\n1 unit, 0 bytes\"];\n"
                           "  \".\" -> \"lib\" [label=\"2\"];\n"
                           "}\n");
    EXPECT_EQ(Cli("--format json --group-by scope P.dpr").Err.substr(0, 44),
              "unitrace-cli: --group-by needs --format dot\n");

    std::string uses;
    for (int i = 0; i <= 1000; ++i) {
        const std::string name = "U" + std::to_string(i);
        uses += (i ? ", " : "") + name;
        Write("lib/" + name + ".pas", "unit " + name + ";\ninterface\nimplementation\nend.\n");
    }
    Write("P.dpr", "program P;\nuses " + uses + ";\nbegin end.\n");
    const std::string advice = "unitrace-cli: the graph has 1002 units, too many to read in one "
                               "picture: --group-by, --focus or --depth will give a readable one\n";
    const struct {
        const char* options;
        std::string err;
    } cases[] = {
        {"--format dot P.dpr", advice},
        {"--format dot --depth 1 P.dpr", ""},
        {"--format dot --group-by folder P.dpr", ""},
    };
    for (const auto& c : cases) {
        const CliRunResult r = Cli(std::string("--delphi 5.0 ") + c.options);
        EXPECT_EQ(r.Status, 0) << c.options;
        EXPECT_EQ(r.Err, c.err) << c.options;
    }
}

TEST_F(AnalysisCli, DiffNamesWhatChangedBetweenTwoResults) {
    Write("lib/D.pas", "unit D;\ninterface\nimplementation\nend.\n");
    WriteMap(0x08);
    ASSERT_EQ(Cli("--delphi 5.0 --format json P.dpr").Status, 0);
    stdfs::rename(root + "/out.txt", root + "/old.json");
    Write("lib/D.pas", "unit D;\ninterface\nuses C, E, Lost;\nimplementation\nend.\n");
    Write("lib/E.pas", "unit E;\ninterface\nimplementation\nend.\n");
    WriteMap(0x10);
    ASSERT_EQ(Cli("--delphi 5.0 --format json P.dpr").Status, 0);
    stdfs::rename(root + "/out.txt", root + "/new.json");

    CliRunResult r = Cli("diff old.json new.json --fail-on new-cycles,new-units");
    EXPECT_EQ(r.Status, 3);
    EXPECT_EQ(r.Out, "Units added:\n  E\n"
                     "Uses added:\n  D -> C  (interface)\n  D -> E  (interface)\n"
                     "Sizes changed:\n  D: 8 -> 16 (+8)\n"
                     "Grown cycles:\n  A, B, C, D  (interface; was A, B, C)\n"
                     "Not found, added:\n  Lost\n");
    EXPECT_EQ(r.Err, "new-cycles: A, B, C, D (grew from A, B, C)\nnew-units: E\n");

    r = Cli("diff --format json new.json old.json");
    EXPECT_EQ(r.Status, 0);
    EXPECT_EQ(nlohmann::json::parse(r.Out), nlohmann::json::parse(R"({
        "unitsAdded": [], "unitsRemoved": ["E"], "usesAdded": [],
        "usesRemoved": [{"from": "D", "to": "C", "interface": true},
                        {"from": "D", "to": "E", "interface": true}],
        "sizeChanges": [{"unit": "D", "old": 16, "new": 8}],
        "newCycles": [], "grownCycles": [], "notFoundAdded": [], "notFoundRemoved": ["Lost"]})"));
    EXPECT_EQ(Cli("diff old.json old.json --fail-on new-cycles").Out, "No differences\n");

    Write("list.json", "[1, 2]");
    Write("broken.json", "{\"units\": [");
    Write("nokey.json", "{\"units\": [{\"name\": \"A\"}]}");
    const struct {
        const char* file;
        std::string err;
    } bad[] = {
        {"none.json", "cannot read \"none.json\": No such file or directory"},
        {"list.json", "\"list.json\" is not a Uni-Trace result: it has no \"units\" list"},
        {"broken.json", "\"broken.json\" is not JSON: "},
        {"nokey.json", "\"nokey.json\" is not a Uni-Trace result: a unit has no \"key\""},
    };
    for (const auto& b : bad) {
        r = Cli(std::string("diff old.json ") + b.file);
        EXPECT_EQ(r.Status, 2) << b.file;
        EXPECT_EQ(r.Err.rfind("unitrace-cli diff: " + b.err, 0), 0u) << r.Err;
    }
}

} // namespace
