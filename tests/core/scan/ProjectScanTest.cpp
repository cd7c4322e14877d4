#include "scan/ProjectScan.h"
#include "NativePath.h"
#include "analysis/DependencyAnalysis.h"
#include "config/CompilerSettings.h"
#include "platform/FileSystem.h"
#include "platform/Registry.h"
#include "scan/PackageContents.h"
#include "scan/UnitPrefetch.h"
#include "trees/TreeRules.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <system_error>

#include <sys/stat.h>

namespace {

namespace stdfs = std::filesystem;
using namespace ut;

struct Line {
    std::string text;
    LogStyle style;
    bool operator==(const Line&) const = default;
};

[[maybe_unused]] std::ostream& operator<<(std::ostream& os, const Line& l) {
    return os << '"' << l.text << "\" style " << int(l.style);
}

// Records what the scan shows; holds Escape down from a given event round on, or from
// when a given line has been logged.
class FakeFrontEnd : public ScanFrontEnd {
  public:
    void AppendLog(const LogLine& line) override {
        log.push_back({IndentedText(line), line.Style});
    }
    void ClearLog() override { log.clear(); }
    void ShowUnitCount(const std::string& text, bool visible) override {
        counter = text;
        counterVisible = visible;
    }
    void SetApplicationTitle(const std::string& t) override { title = t; }
    void SetCaption(const std::string& c) override { caption = c; }
    bool ProcessEvents() override {
        ++rounds;
        return (escapeAt > 0 && rounds >= escapeAt) ||
               (!escapeAfter.empty() && !log.empty() && log.back().text == escapeAfter);
    }
    void ErrorMessage(const std::string& text) override { errors.push_back(text); }
    void Warning(const std::string& text) override { warnings.push_back(text); }
    void ResetViews() override { ++resets; }

    std::vector<Line> log;
    std::vector<std::string> errors, warnings;
    std::string counter, title, caption;
    bool counterVisible = false;
    std::string escapeAfter;
    int rounds = 0, escapeAt = -1, resets = 0;
};

class ProjectScanTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char tmpl[] = "/tmp/ut-scan-XXXXXX";
        root = mkdtemp(tmpl);
        saved = fs::GetCurrentDir();
        // A version named, as an installation gives one: no note says that none is found.
        scan.Inputs.Delphi = "7";
    }
    void TearDown() override {
        fs::SetDriveMapper(nullptr);
        fs::SetCurrentDir(saved);
        stdfs::remove_all(root);
    }
    void Write(const std::string& rel, const std::string& text) {
        const stdfs::path p = stdfs::path(root) / rel;
        stdfs::create_directories(p.parent_path());
        std::ofstream(p, std::ios::binary) << text;
    }
    static std::string Unit(const std::string& name, const std::string& intf,
                            const std::string& impl = "") {
        std::string s = "unit " + name + ";\ninterface\n";
        if (!intf.empty())
            s += "uses " + intf + ";\n";
        s += "implementation\n";
        if (!impl.empty())
            s += "uses " + impl + ";\n";
        return s + "end.\n";
    }
    /// `rel` under the root, spelt as the program spells full paths.
    std::string Under(const std::string& rel) const { return uttest::NativePath(root + "/" + rel); }
    std::vector<std::string> Texts() const {
        std::vector<std::string> t;
        for (const Line& l : fe.log)
            t.push_back(l.text);
        return t;
    }
    bool Scan(const std::string& rel) {
        scan.Inputs.Project = Under(rel);
        return scan.ScanProject(Under(rel));
    }

    std::string root, saved;
    FakeFrontEnd fe;
    ProjectScan scan{fe};
};

TEST_F(ProjectScanTest, WalksDepthFirstWithIndentedLogAndReportsMissingNamesOnce) {
    Write("P.dpr", "program P;\nuses Windows, A, Missing, B;\nbegin end.\n");
    Write("A.pas", Unit("A", "B, Missing", "C"));
    Write("B.pas", Unit("B", "A"));
    Write("sub/C.pas", Unit("C", "SysUtils"));
    Write("SysUtils.pas", Unit("SysUtils", "")); // ignored: neither looked up nor logged
    scan.Inputs.SearchPath = "sub";
    ASSERT_TRUE(Scan("P.dpr"));
    const std::vector<std::string> expected = {
        "Scanning project " + Under("P.dpr"),
        "P: parsed...",
        "  A: parsed...",
        "    B: parsed...",
        "    Missing: not found",
        "    C: parsed...",
        "Done",
    };
    EXPECT_EQ(Texts(), expected);
    EXPECT_EQ(fe.log[4].style, lsItalic);
    EXPECT_EQ(fe.log.back().style, lsBold);
    EXPECT_EQ(scan.FUnits.Count(), 4);
    EXPECT_EQ(scan.FNotFoundNames, std::vector<std::string>{"Missing"});
    EXPECT_EQ(fe.counter, "  4 units parsed...");
    EXPECT_TRUE(fe.counterVisible);
    EXPECT_EQ(fe.title, "P.dpr");
    EXPECT_EQ(fe.caption, Under("P.dpr"));
    EXPECT_EQ(scan.FProjectDir, Under(""));
    // A second scan resets the views first and replaces the records.
    ASSERT_TRUE(Scan("P.dpr"));
    EXPECT_EQ(fe.resets, 2);
    EXPECT_EQ(Texts(), expected);
    EXPECT_EQ(scan.FUnits.Count(), 4);
}

TEST_F(ProjectScanTest, MissingProjectShowsAnErrorAndChangesNothing) {
    EXPECT_FALSE(Scan("Nope.dpr"));
    ASSERT_EQ(fe.errors.size(), 1u);
    EXPECT_EQ(fe.errors[0], "File \"" + Under("Nope.dpr") + "\" not found!");
    EXPECT_TRUE(fe.log.empty());
    EXPECT_EQ(fe.resets, 0);
}

// Escape used to be looked at only between the items of a uses list: while the search
// directories were listed or the map file was read it went unnoticed.
TEST_F(ProjectScanTest, EscapeAbortsTheWalkTheIndexBuildAndTheMapRead) {
    Write("P.dpr", "program P;\nuses A, B;\nbegin end.\n");
    Write("A.pas", Unit("A", ""));
    Write("B.pas", Unit("B", ""));
    Write("P.map", "Detailed map of segments\n\n 0001:00000000 00000100 C=CODE M=A\n\n");
    scan.FMapFileName = root + "/P.map";
    const std::string scanning = "Scanning project " + Under("P.dpr");
    const struct {
        int escapeAt;
        const char* escapeAfter;
        std::vector<std::string> log;
    } cases[] = {
        {1, "", {"Aborted!"}}, // the index is built before the first line
        // Seen before the second item of the project's list; what was parsed is kept.
        {-1, "  A: parsed...", {scanning, "P: parsed...", "  A: parsed...", "  Aborted!"}},
        {-1,
         "Parsing map-file...",
         {scanning, "P: parsed...", "  A: parsed...", "  B: parsed...", "Parsing map-file...",
          "Aborted!"}},
    };
    for (const auto& c : cases) {
        fe.escapeAt = c.escapeAt;
        fe.escapeAfter = c.escapeAfter;
        EXPECT_FALSE(Scan("P.dpr"));
        EXPECT_EQ(Texts(), c.log);
        EXPECT_EQ(fe.log.back().style, lsItalic);
        EXPECT_EQ(fe.title, "Uni-Trace - Error!");
        EXPECT_FALSE(scan.Busy());
        EXPECT_EQ(scan.FindUnit("A") != nullptr, c.log.size() > 1); // parsed units are kept
    }
}

// An `in` path naming a FIFO used to block the scan for ever (Ctrl+C did nothing), one
// naming the zero device to fill the memory. They are refused as a missing file is.
TEST_F(ProjectScanTest, InPathsThatAreNoRegularFilesAreRefusedAndTheWalkGoesOn) {
#ifdef _WIN32
    GTEST_SKIP() << "FIFOs and /dev/zero are Linux-only";
#endif
    Write("P.dpr", "program P;\nuses F in 'F.pas', Z in 'Z.pas', B;\nbegin end.\n");
    ASSERT_EQ(mkfifo((root + "/F.pas").c_str(), 0600), 0);
    stdfs::create_symlink("/dev/zero", root + "/Z.pas");
    Write("B.pas", Unit("B", ""));
    ASSERT_TRUE(Scan("P.dpr"));
    auto refused = [&](const std::string& name) {
        const std::string file = root + "/" + name;
        return "  EXC: File=" + file + ", Msg=Cannot open file \"" + file +
               "\". Not a regular file";
    };
    EXPECT_EQ(Texts(), (std::vector<std::string>{"Scanning project " + root + "/P.dpr",
                                                 "P: parsed...", refused("F.pas"), refused("Z.pas"),
                                                 "  B: parsed...", "Done"}));
}

// A backslash used to be taken for a separator everywhere, so a project in a directory whose
// name holds one could not be scanned; a path that exists as written is now taken as written.
TEST_F(ProjectScanTest, ProjectInADirectoryWhoseNameHoldsABackslash) {
#ifdef _WIN32
    GTEST_SKIP() << "a backslash is a separator on Windows";
#endif
    Write("a\\b/P.dpr", "program P;\nuses A, C in 'sub\\C.pas';\nbegin end.\n");
    Write("a\\b/A.pas", Unit("A", ""));
    Write("a\\b/sub/C.pas", Unit("C", ""));
    ASSERT_TRUE(Scan("a\\b/P.dpr"));
    EXPECT_EQ(Texts(),
              (std::vector<std::string>{"Scanning project " + root + "/a\\b/P.dpr", "P: parsed...",
                                        "  A: parsed...", "  C: parsed...", "Done"}));
    EXPECT_EQ(scan.FProjectDir, root + "/a\\b/");
    EXPECT_EQ(scan.FindUnit("C")->FileName, root + "/a\\b/sub/C.pas");
}

// `A in 'lib\P.pas'` is unit A whatever its file is called: keyed by its file's name, it
// replaced the project's record and the analysis never reached it. A missing `in` file is one
// name not found, however many units name it (each used to give an EXC line).
TEST_F(ProjectScanTest, InFilesAreTheirUnitsAndAMissingOneIsNotFoundOnce) {
    Write("P.dpr", "program P;\nuses A in 'lib\\P.pas', Gone in 'Gone.pas', B;\nbegin end.\n");
    Write("lib/P.pas", Unit("A", "B, Gone"));
    Write("B.pas", Unit("B", "A, Gone"));
    ASSERT_TRUE(Scan("P.dpr"));
    EXPECT_EQ(Texts(),
              (std::vector<std::string>{
                  "Scanning project " + Under("P.dpr"), "P: parsed...", "  A: parsed...",
                  "    B: parsed...",
                  "      Gone: not found (" + Under("Gone.pas") + " is missing)", "Done"}));
    EXPECT_EQ(scan.FNotFoundNames, std::vector<std::string>{"Gone"});
    EXPECT_EQ(scan.FindUnit("P"), scan.FProject);
    const DependencyAnalysis analysis(scan);
    const UnitGraph& g = analysis.Graph();
    ASSERT_EQ(analysis.Cycles().Cycles.size(), 1u);
    std::vector<std::string> cycle;
    for (const int v : analysis.Cycles().Cycles[0].Units)
        cycle.push_back(g.Node(v).Key);
    EXPECT_EQ(cycle, (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(analysis.Why(g.Find("A")).Count, 1);
}

// The ignore list names units, not spellings: SysUtils ignores System.SysUtils written in
// full, a listed System.Classes ignores the Classes its scope finds; Forms is no listed unit.
TEST_F(ProjectScanTest, IgnoredUnitsAreMatchedThroughTheUnitScopes) {
    Write("P.dpr", "program P;\nuses System.SysUtils, Classes, Forms, A;\nbegin end.\n");
    for (const char* unit : {"System.SysUtils", "System.Classes", "Vcl.Forms"})
        Write(std::string(unit) + ".pas", Unit(unit, ""));
    Write("A.pas", Unit("A", "SysUtils, System.Classes"));
    scan.Inputs.UnitScopes = "Vcl;System";
    scan.IgnUnits.SetLines({"SysUtils", "System.Classes"});
    ASSERT_TRUE(Scan("P.dpr"));
    EXPECT_EQ(Texts(),
              (std::vector<std::string>{"Scanning project " + Under("P.dpr"), "P: parsed...",
                                        "  Vcl.Forms: parsed...", "  A: parsed...", "Done"}));
    for (const char* name : {"SysUtils", "System.SysUtils", "Classes", "system.classes"})
        EXPECT_TRUE(scan.IsIgnored(name)) << name;
    for (const char* name : {"Forms", "Vcl.Forms", "Vcl.SysUtils", "A"})
        EXPECT_FALSE(scan.IsIgnored(name)) << name;
}

// Without a .dproj the platform asked for is the version's: its symbols, its pointer size and
// its library path; {$APPTYPE CONSOLE} defines CONSOLE for the units after it. A version
// that is not installed keeps no other version's paths.
TEST_F(ProjectScanTest, PlatformAndVersionWithoutADproj) {
    RegistryStore registry;
    registry.AddText(
        "REGEDIT4\n[HKEY_CURRENT_USER\\Software\\Embarcadero\\BDS\\23.0\\Library\\"
        "Win32]\n\"Search Path\"=\"lib32\"\n[HKEY_CURRENT_USER\\Software\\Embarcadero\\"
        "BDS\\23.0\\Library\\Linux64]\n\"Search Path\"=\"lib$(Platform)\"\n");
    ProjectScan s(fe, &registry);
    s.SelectInstalledVersion();
    EXPECT_EQ(s.Inputs.LibPath, "lib32");
    Write("P.dpr",
          "program P;\n{$APPTYPE CONSOLE}\nuses {$IFDEF CONSOLE} A {$ENDIF};\nbegin end.\n");
    Write("A.pas", Unit("A", "{$IF (SizeOf(Pointer) = 8) and Defined(ELF) and Defined(CONSOLE)} "
                             "L64 {$ELSE} L32 {$IFEND}"));
    Write("libLinux64/L64.pas", Unit("L64", ""));
    Write("lib32/L32.pas", Unit("L32", ""));
    s.Inputs.Platform = "LINUX64";
    s.Inputs.Project = Under("P.dpr");
    s.LoadProjectOptions();
    EXPECT_EQ(s.FPlatform, "Linux64");
    EXPECT_EQ(s.Inputs.LibPath, "libLinux64");
    ASSERT_TRUE(s.ScanProject(Under("P.dpr")));
    EXPECT_NE(s.FindUnit("L64"), nullptr);
    s.Inputs.Delphi = "XE7";
    s.LoadCompilerSettings();
    EXPECT_EQ(s.Inputs.LibPath, "");
    EXPECT_EQ(s.FCompilerNotes, std::vector<std::string>{ut::NotInstalledMessage(registry, "XE7")});
}

// Guards against the root compared as written while the unit paths are mapped.
TEST_F(ProjectScanTest, LocationShowsTheDriveMappedInstallationRootAsDelphi) {
#ifdef _WIN32
    GTEST_SKIP() << "drive letters map onto directories only under Linux";
#endif
    Write("P.dpr", "program P;\nuses SysInit;\nbegin end.\n");
    Write("drive_c/Delphi5/Lib/SysInit.pas", Unit("SysInit", ""));
    fs::SetDriveMapper(
        [this](const std::string& path) { return root + "/drive_c/" + path.substr(3); });
    scan.FDelphiRoot = "C:\\Delphi5";
    scan.Inputs.LibPath = "$(DELPHI)\\Lib";
    ASSERT_TRUE(Scan("P.dpr"));
    const TUnit* unit = scan.FindUnit("SysInit");
    ASSERT_NE(unit, nullptr);
    EXPECT_EQ(GetColumnText(&unit->FileName, "SysInit", LocationColumn, scan.ColumnContext()).Text,
              "$(DELPHI)/Lib");
}

TEST_F(ProjectScanTest, PackageDefinesReachItsUnits) {
    Write("Pk.dpk", "package Pk;\n{$DEFINE PKGSYM}\ncontains A;\nend.\n");
    Write("A.pas", "unit A;\ninterface\n{$IFDEF PKGSYM}uses B;{$ENDIF}\nimplementation\nend.\n");
    Write("B.pas", Unit("B", ""));
    ASSERT_TRUE(Scan("Pk.dpk"));
    EXPECT_NE(scan.FindUnit("B"), nullptr);
}

TEST_F(ProjectScanTest, ExtractUnitTakesTheRecordOutOfTheUnitsAndItsSizeOut) {
    Write("P.dpr", "program P;\nuses A, B;\nbegin end.\n");
    Write("A.pas", Unit("A", ""));
    Write("B.pas", Unit("B", ""));
    ASSERT_TRUE(Scan("P.dpr"));
    scan.FUnitSizes.AddObject("a", 300); // the map file's spelling may differ in case
    scan.FUnitSizes.AddObject("B", 400);
    TUnit* a = scan.FindUnit("A");
    std::unique_ptr<TUnit> record = scan.ExtractUnit(a);
    ASSERT_EQ(record.get(), a);
    EXPECT_EQ(record->UnitName, "A"); // alive while the caller holds it
    EXPECT_EQ(scan.FindUnit("A"), nullptr);
    EXPECT_EQ(scan.UnitSize("A"), 0);
    EXPECT_EQ(scan.UnitSize("B"), 400);
    EXPECT_EQ(scan.ExtractUnit(a), nullptr); // no longer in the units: nothing happens
    // The project's own record is refused with the warning, and stays.
    try {
        scan.RemoveUnit(scan.FProject);
        ADD_FAILURE() << "no EWarning";
    } catch (const EWarning& e) {
        EXPECT_STREQ(e.what(), "Cannot remove the project's main unit!");
    }
    EXPECT_EQ(scan.FindUnit("P"), scan.FProject);
}

TEST_F(ProjectScanTest, FirstDirectoryWinsAndMissesAreCachedAsEmptyEntries) {
    Write("P.dpr", "program P;\nuses dup, Nowhere;\nbegin end.\n");
    Write("one/Dup.pas", Unit("DupOne", ""));
    Write("two/DUP.pas", Unit("DupTwo", ""));
    scan.Inputs.SearchPath = "one;two";
    ASSERT_TRUE(Scan("P.dpr"));
    EXPECT_EQ(scan.FindUnit("Dup")->UnitName, "DupOne");
    const int before = scan.FUnitFiles.Count();
    EXPECT_EQ(scan.FindUnitFile("NOWHERE"), "");
    EXPECT_EQ(scan.FUnitFiles.Count(), before) << "a cached miss is not added twice";
    EXPECT_EQ(scan.FUnitFiles.DualOf("Nowhere"), "");
}

// Garbage and missing inputs each give a log line or nothing, and the scan still ends; a
// unit cut short keeps the uses it had and is walked through.
TEST_F(ProjectScanTest, BadInputNeverStopsTheScan) {
    Write("P.dpr", "program P;\nuses Bin, Empty, Cut, Unterminated, Good;\nbegin end.\n");
    Write("Cut.pas", "unit Cut;\ninterface\nuses C;\n"); // no implementation
    Write("C.pas", Unit("C", ""));
    Write("Unterminated.pas", "'unterminated\n");
    Write("Bin.pas", std::string("\x7f"
                                 "ELF\x02\x01\x01\0\0\0{ '\xff\xfe",
                                 16));
    Write("Empty.pas", "");
    Write("Good.pas", Unit("Good", ""));
    // The linker wrote the map file in another letter case than the options name it.
    Write("p.map", "garbage\nDetailed map of segments\n\n 0001 XYZ C=CODE M=Good\n"
                   " 0001:0 00000010 C=CODE S=.text M=Good\n\n");
    scan.Inputs.SearchPath = "missing;;also/missing";
    scan.FMapFileName = root + "/P.MAP";
    ASSERT_TRUE(Scan("P.dpr"));
    // A source without a recognised heading is still parsed and logged, with no name.
    const std::vector<std::string> expected = {
        "Scanning project " + Under("P.dpr"),
        "P: parsed...",
        "  EXC: File=" + Under("Bin.pas") +
            ", Msg=Error: \"Identifier expected\" on line 1 of file " + Under("Bin.pas"),
        "  : parsed...",
        "  EXC: File=" + Under("Empty.pas") +
            ", Msg=Error: \"Identifier expected\" on line 1 of file " + Under("Empty.pas"),
        "  : parsed...",
        // Every failure of a source names its full path and the line.
        "  EXC: File=" + Under("Cut.pas") + ", Msg=Error: \"Unexpected EOF\" on line 4 of file " +
            Under("Cut.pas"),
        "  Cut: parsed...",
        "    C: parsed...",
        "  EXC: File=" + Under("Unterminated.pas") +
            ", Msg=Error: \"Invalid string constant\" on line 1 of file " +
            Under("Unterminated.pas"),
        "  Good: parsed...",
        "Parsing map-file...",
        "Done",
    };
    EXPECT_EQ(Texts(), expected);
    EXPECT_EQ(scan.UnitSize("GOOD"), 16);
}

// The compiler tries a used name as written first, then each scope in the given order.
TEST_F(ProjectScanTest, UnitScopesAreTriedInOrderAfterTheNameAsWritten) {
    const struct {
        std::vector<const char*> files;
        const char* resolved; // the key the written name leads to; "" for not found
    } cases[] = {
        {{"Vcl.Forms.pas", "Forms.pas"}, "Forms"},
        {{"System.Forms.pas", "Vcl.Forms.pas"}, "Vcl.Forms"},
        {{"lib/System.Forms.pas"}, "System.Forms"},
        {{"Winapi.Forms.pas"}, ""},
    };
    int n = 0;
    for (const auto& c : cases) {
        const std::string dir = "case" + std::to_string(n++) + "/";
        Write(dir + "P.dpr", "program P;\nuses forms;\nbegin end.\n");
        for (const char* file : c.files)
            Write(dir + file, Unit(fs::FileKey(file), ""));
        scan.Inputs.SearchPath = "lib";
        scan.Inputs.UnitScopes = " Vcl ; ;System";
        ASSERT_TRUE(Scan(dir + "P.dpr"));
        const TUnit* unit = scan.FindUsedUnit("forms");
        EXPECT_EQ(unit ? scan.FUnits[scan.FUnits.IndexOf(unit->UnitName)] : "", c.resolved) << dir;
        EXPECT_EQ(scan.FNotFoundNames,
                  *c.resolved ? std::vector<std::string>{} : std::vector<std::string>{"forms"})
            << dir;
    }
}

// "Forms" and "Vcl.Forms" are one unit: parsed once, shown with its full name, and its
// users found in the used-by direction whichever name they wrote.
TEST_F(ProjectScanTest, AScopedNameAndTheFullNameShareOneUnit) {
    Write("P.dpr", "program P;\nuses Vcl.Forms, A;\nbegin end.\n");
    Write("A.pas", Unit("A", "Forms"));
    Write("Vcl.Forms.pas", Unit("Vcl.Forms", ""));
    scan.Inputs.UnitScopes = "Vcl";
    ASSERT_TRUE(Scan("P.dpr"));
    EXPECT_EQ(Texts(),
              (std::vector<std::string>{"Scanning project " + Under("P.dpr"), "P: parsed...",
                                        "  Vcl.Forms: parsed...", "  A: parsed...", "Done"}));
    const TreeFilters filters;
    const TreeRules rules(scan, filters);
    const TUnit* forms = scan.FindUnit("Vcl.Forms");
    const auto uses = rules.Children(*scan.FindUnit("A"), tdUses, {});
    ASSERT_EQ(uses.size(), 1u);
    EXPECT_EQ(uses[0].Text, "Forms");
    EXPECT_EQ(uses[0].ResolvedAs, "Vcl.Forms");
    std::vector<std::string> users;
    for (const TreeNodeSpec& node : rules.Children(*forms, tdUsedBy, {}))
        users.push_back(node.Text);
    EXPECT_EQ(users, (std::vector<std::string>{"A", "P"}));
    EXPECT_EQ(scan.FindUsedUnit("Forms"), forms);
    EXPECT_TRUE(rules.CanExpand(*forms, tdUsedBy));
}

// A Lazarus project chooses Free Pascal; naming a Delphi project afterwards goes back to
// Delphi, unless Free Pascal had been chosen before the Lazarus project came.
TEST_F(ProjectScanTest, CompilerFollowsTheProjectUnlessChosenBefore) {
    Write("demo.lpr", "program x;");
    Write("P.dpr", "program x;");
    auto name = [&](const char* project) {
        scan.Inputs.Project = root + "/" + project;
        scan.LoadProjectOptions();
        return scan.Inputs.Compiler;
    };
    EXPECT_EQ(name("demo.lpr"), TCompiler::FreePascal);
    EXPECT_EQ(name("P.dpr"), TCompiler::Delphi);
    scan.Inputs.Compiler = TCompiler::FreePascal;
    EXPECT_EQ(name("demo.lpr"), TCompiler::FreePascal);
    EXPECT_EQ(name("P.dpr"), TCompiler::FreePascal);
}

// A Free Pascal scan never takes a Delphi installation's library (Forms would resolve to
// Delphi's VCL); paths given for it are kept, and a Delphi project reads the library again.
TEST_F(ProjectScanTest, FreePascalScansTakeNoDelphiLibrary) {
    RegistryStore registry;
    registry.AddText(
        "REGEDIT4\n[HKEY_CURRENT_USER\\Software\\Embarcadero\\BDS\\23.0]\n\"RootDir\"=\"" + root +
        "\"\n[HKEY_CURRENT_USER\\Software\\Embarcadero\\BDS\\23.0\\Library\\"
        "Win32]\n\"Search Path\"=\"" +
        root + "/vcl\"\n");
    ProjectScan delphi(fe, &registry);
    Write("vcl/Forms.pas", Unit("Forms", ""));
    Write("lcl/Forms.pas", Unit("Forms", ""));
    Write("demo.lpr", "program demo;\nuses Forms;\nbegin end.\n");
    Write("P.dpr", "program P;\nuses Forms;\nbegin end.\n");
    delphi.SelectInstalledVersion();
    struct Case {
        const char* Name;
        const char* Project;
        std::optional<TCompiler> Compiler; ///< chosen after the project's options
        const char* LibPath;               ///< typed after the options; nullptr: none
        std::string Forms;                 ///< the file Forms resolves to; empty: not found
    };
    const Case cases[] = {
        {"a Lazarus project", "demo.lpr", {}, nullptr, ""},
        {"a Lazarus project with its library named", "demo.lpr", {}, "lcl", Under("lcl/Forms.pas")},
        {"a Delphi project", "P.dpr", {}, nullptr, Under("vcl/Forms.pas")},
        {"a Delphi project read as Free Pascal", "P.dpr", TCompiler::FreePascal, nullptr, ""},
        {"a Delphi project read as Delphi again", "P.dpr", TCompiler::Delphi, nullptr,
         Under("vcl/Forms.pas")}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        delphi.Inputs.Project = Under(c.Project);
        delphi.LoadProjectOptions();
        if (c.Compiler)
            delphi.SetCompiler(*c.Compiler);
        if (c.LibPath)
            delphi.Inputs.LibPath = root + "/" + c.LibPath;
        ASSERT_TRUE(delphi.ScanProject(Under(c.Project)));
        const TUnit* forms = delphi.FindUnit("Forms");
        EXPECT_EQ(forms ? forms->FileName : std::string(), c.Forms);
    }
}

// Without a version and with no installation to take one from, the log says so once
// instead of a warning box that names no version; a version or a VER symbol named is enough.
TEST_F(ProjectScanTest, NoDelphiInstallationIsSaidInTheLogWithoutABox) {
    Write("P.dpr", "program P;\nuses Windows;\nbegin end.\n");
    struct Case {
        const char* Delphi;
        const char* Defines;
        bool Note;
    };
    for (const Case& c : {Case{"", "", true}, Case{"7", "", false}, Case{"", "VER150", false}}) {
        SCOPED_TRACE(std::string(c.Delphi) + "/" + c.Defines);
        scan.Inputs.Delphi = c.Delphi;
        scan.Inputs.Defines = c.Defines;
        ASSERT_TRUE(Scan("P.dpr"));
        std::vector<std::string> expected = {"Scanning project " + Under("P.dpr"), "P: parsed...",
                                             "Done"};
        if (c.Note)
            expected.insert(
                expected.begin() + 1,
                "No Delphi installation was found and no version was named: the sources are "
                "read with WIN32 alone. Name a version with --delphi (7, 2007, XE7, "
                "11.3, 12.3, ...) or in the \"Delphi version\" box, and an "
                "installation with a registry export (--registry FILE, "
                "UNITRACE_REGISTRY) or a Wine prefix (WINEPREFIX)");
        EXPECT_EQ(Texts(), expected);
        EXPECT_TRUE(fe.warnings.empty());
    }
}

// A .dproj project scans the source it names; what its file lacks is logged at the start
// of every scan, and its DCCReference units are found like `in` clauses.
TEST_F(ProjectScanTest, ADprojProjectScansItsMainSourceWithItsReferences) {
    Write("Shop.dproj", "<Project>\n<PropertyGroup>\n<MainSource>src\\Shop.dpr</MainSource>\n"
                        "</PropertyGroup>\n<PropertyGroup Condition=\"'$(Config)'=\">\n"
                        "</PropertyGroup>\n<ItemGroup><DCCReference Include=\"units\\Cart.pas\"/>"
                        "</ItemGroup></Project>\n");
    Write("src/Shop.dpr", "program Shop;\nuses Cart;\nbegin end.\n");
    Write("units/Cart.pas", Unit("Cart", ""));
    scan.Inputs.Project = root + "/Shop.dproj";
    scan.LoadProjectOptions();
    ASSERT_TRUE(Scan("Shop.dproj"));
    const std::vector<std::string> expected = {
        "Scanning project " + Under("Shop.dproj"),
        "Shop.dproj, line 5: cannot read the condition \"'$(Config)'=\" (\"=\" where \"==\" "
        "was expected at column 12); <PropertyGroup> is left out",
        "Shop: parsed...",
        "  Cart: parsed...",
        "Done",
    };
    EXPECT_EQ(Texts(), expected);
    EXPECT_EQ(fe.log[1].style, lsItalic);
    EXPECT_EQ(scan.FProjectDir, Under("src/"));

    // A main source that is missing is named in the error.
    Write("Shop.dproj", "<Project><PropertyGroup><MainSource>Gone.dpr</MainSource>"
                        "</PropertyGroup></Project>");
    scan.LoadProjectOptions();
    EXPECT_FALSE(Scan("Shop.dproj"));
    EXPECT_EQ(fe.errors.back(), "File \"" + Under("Gone.dpr") + "\" not found!");
}

// A uses chain as long as a project has units: the walk, its log and the graph work on it
// must not use the call stack per level (AddressSanitizer reports an overflow).
TEST_F(ProjectScanTest, AHundredThousandUnitChainScansToDoneWithOneLevelPerUnit) {
    const int units = 100000, perDirectory = 1000;
    // P uses U1, U1 uses U2, ...; each unit's interface entry is used again by its
    // implementation, a second meeting that must write nothing. The units lie in directories
    // of a thousand, as a project this large keeps them (and Wine, which looks through a
    // directory for each name it creates, makes them in seconds rather than an hour).
    std::ofstream(root + "/P.dpr") << "program P;\nuses U1;\nbegin end.\n";
    std::string searchPath;
    for (int i = 1; i <= units; ++i) {
        const std::string dir = "d" + std::to_string(i / perDirectory);
        if (i == 1 || i % perDirectory == 0) {
            stdfs::create_directory(root + "/" + dir);
            searchPath += dir + ";";
        }
        const std::string next = i < units ? "uses U" + std::to_string(i + 1) + ";\n" : "";
        std::ofstream(root + "/" + dir + "/U" + std::to_string(i) + ".pas")
            << "unit U" << i << ";\ninterface\n"
            << next << "implementation\n"
            << next << "end.\n";
    }
    struct : ScanFrontEnd {
        void AppendLog(const LogLine& line) override { Lines.push_back(line); }
        void ClearLog() override { Lines.clear(); }
        std::vector<LogLine> Lines;
    } fe;
    ProjectScan scan(fe);
    scan.Inputs.Project = root + "/P.dpr";
    scan.Inputs.SearchPath = searchPath;
    scan.Inputs.Delphi = "7";
    ASSERT_TRUE(scan.ScanProject(scan.Inputs.Project));

    ASSERT_EQ(fe.Lines.size(), static_cast<size_t>(units) + 3);
    EXPECT_EQ(fe.Lines[1], (LogLine{0, "P: parsed...", lsPlain}));
    int misplaced = 0;
    for (int i = 1; i <= units; ++i)
        if (fe.Lines[static_cast<size_t>(i) + 1] !=
            LogLine{i, "U" + std::to_string(i) + ": parsed...", lsPlain})
            ++misplaced;
    EXPECT_EQ(misplaced, 0);
    EXPECT_EQ(fe.Lines.back(), (LogLine{0, "Done", lsBold}));

    // The graph work on the same chain: no cycle, and the one path to the last unit.
    const DependencyAnalysis analysis(scan);
    EXPECT_TRUE(analysis.Cycles().Cycles.empty());
    const WhyPaths why = analysis.Why(scan.FindUnit("U" + std::to_string(units)));
    ASSERT_EQ(why.Paths.size(), 1u);
    EXPECT_EQ(why.Paths[0].size(), static_cast<size_t>(units));
}

// A read-ahead worker that could not start (a process limit) ended the program in
// std::terminate, or, the first one, failed the scan. Those that started read ahead; with
// none the walk parses each file itself (nothing is offered).
TEST_F(ProjectScanTest, ReadAheadWorkersThatCannotStartLeaveTheOthersToWork) {
    Write("A.pas", Unit("A", ""));
    Write("B.pas", Unit("B", ""));
    const std::vector<std::string> files = {Under("A.pas"), Under("B.pas")};
    const auto limit = std::make_error_code(std::errc::resource_unavailable_try_again);
    for (const int started : {0, 1, 2}) {
        int calls = 0;
        auto contexts = std::make_shared<TParseContexts>();
        contexts->Project.Symbols = std::make_shared<TCompilerSymbols>();
        UnitPrefetch prefetch(3, contexts, [&](auto work) {
            if (calls++ == started)
                throw std::system_error(limit);
            return std::thread(std::move(work));
        });
        EXPECT_EQ(prefetch.Workers(), started);
        EXPECT_EQ(prefetch.StartFailure(), limit.message());
        prefetch.Request(files);
        std::string names;
        for (const std::string& file : files)
            if (const auto parsed = prefetch.Take(file))
                names += parsed->Unit->UnitName;
        EXPECT_EQ(names, started ? "AB" : "") << started;
    }
}

TEST_F(ProjectScanTest, PackagesAroundTheScanAndWhatTheyContain) {
    Write("P.dpr", "program P;\nuses A;\nbegin end.\n");
    Write("P.dof", "[Directories]\r\nSearchPath=lib\r\n");
    Write("A.pas", Unit("A", ""));
    // Read with the scan's symbols: the branch of an undefined symbol is left out.
    Write("Pk.dpk", "package Pk;\ncontains A in 'A.pas', {$IFDEF NOSUCH} C, {$ENDIF} B;\nend.\n");
    Write("NotOne.dpk", "unit NotOne;\ninterface\nimplementation\nend.\n");
    Write("lib/Lz.lpk", R"(<CONFIG><Package Version="5"><Name Value="LzPkg"/><Files Count="2">
<Item1><Filename Value="alpha.pas"/><UnitName Value="Alpha"/></Item1>
<Item2><Filename Value="sub/helper.pp"/></Item2></Files></Package></CONFIG>)");
    ASSERT_TRUE(Scan("P.dpr"));
    std::string packages;
    for (const PackageContents& p : FindPackages(scan)) {
        packages += p.Name + ":";
        for (const std::string& unit : p.Units)
            packages += " " + unit;
        packages += "; ";
    }
    EXPECT_EQ(packages, "Pk: A B; LzPkg: Alpha helper; ");
}

} // namespace
