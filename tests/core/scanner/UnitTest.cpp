#include "SourceDir.h"

#include "platform/FileSystem.h"
#include "scanner/Unit.h"
#include "support/Exceptions.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace ut;
using uttest::SourceDirTest;

using UsesList = std::vector<std::pair<std::string, int>>;

UsesList UsesOf(const TUnit& u) {
    UsesList out;
    for (int i = 0; i < u.Uses.Count(); ++i)
        out.emplace_back(u.Uses[i], static_cast<int>(u.Uses.Objects(i)));
    return out;
}

// What a parse leaves behind, in one comparable value.
struct Outcome {
    int kind;
    std::string name;
    int state;
    UsesList uses;
    std::vector<std::string> failures; ///< hook messages; F stands for the source's path
    int aborts;
    bool operator==(const Outcome&) const = default;
};

void PrintTo(const Outcome& o, std::ostream* os) {
    *os << "kind " << o.kind << ", name '" << o.name << "', state " << o.state << ", uses [";
    for (const auto& [n, f] : o.uses)
        *os << n << "(" << f << ") ";
    *os << "], failures [";
    for (const auto& m : o.failures)
        *os << m << "; ";
    *os << "], aborts " << o.aborts;
}

struct ParseCase {
    const char* name;
    std::string source;
    std::vector<std::string> defines;
    Outcome expected;
};
void PrintTo(const ParseCase& c, std::ostream* os) {
    *os << c.name;
}

std::string Err(const std::string& inner, int line) {
    return "Error: \"" + inner + "\" on line " + std::to_string(line) + " of file F";
}

class ParseTable : public SourceDirTest, public ::testing::WithParamInterface<ParseCase> {};

TEST_P(ParseTable, KindNameUsesAndFailures) {
    const ParseCase& c = GetParam();
    const std::string path = Write("src/U.pas", c.source);
    TUnit u(path);
    u.SetDefines(c.defines);
    u.Parse();
    Outcome expected = c.expected;
    for (std::string& m : expected.failures)
        if (const size_t f = m.find(" of file F"); f != std::string::npos)
            m.replace(f + 9, 1, path);
    EXPECT_EQ((Outcome{u.Kind, u.UnitName, u.ParseState, UsesOf(u), failures, aborts}), expected);
    EXPECT_EQ(u.CurrentScanner(), nullptr);
    EXPECT_EQ(u.FileName, path);
    EXPECT_EQ(fs::GetCurrentDir(), root + "/src");
}

const ParseCase parseCases[] = {
    {"UnitBothSections",
     "unit U;\ninterface\nuses A, B;\ntype T = integer;\nimplementation\nuses C;\nend.",
     {},
     {ukUnit, "U", 8, {{"A", 1}, {"B", 1}, {"C", 0}}, {}, 1}},
    // The same name in both sections, or twice in a list, is kept each time.
    {"DuplicatesKept",
     "unit U; interface uses A, A; implementation uses a;",
     {},
     {ukUnit, "U", 8, {{"A", 1}, {"A", 1}, {"a", 0}}, {}, 1}},
    {"NoImplementationWord",
     "unit U; interface uses A, B; type T = integer;",
     {},
     {ukUnit, "U", 8, {{"A", 1}, {"B", 1}}, {"Unexpected EOF"}, 0}},
    // The implementation part after its uses list is never read.
    {"RestOfUnitNotRead",
     "unit U; interface uses A; implementation uses B; { never closed",
     {},
     {ukUnit, "U", 8, {{"A", 1}, {"B", 0}}, {}, 1}},
    {"UnclosedCommentKeepsInterfaceNames",
     "unit U; interface uses A;\nimplementation { open",
     {},
     {ukUnit, "U", 8, {{"A", 1}}, {Err("Unclosed comment!", 2)}, 0}},
    {"InClauseRefusedInUnit",
     "unit U; interface uses Forms, Main in 'Main.pas'; implementation end.",
     {},
     {ukUnit, "U", 8, {{"Forms", 1}, {"Main", 1}}, {Err("'';'' expected", 1)}, 0}},
    {"MissingInterface",
     "unit U;\nimplementation",
     {},
     {ukUnit, "U", 8, {}, {Err("interface expected", 2)}, 0}},
    {"CommentThenUpperCaseHeader",
     "{ header comment }\n// more\nUNIT Foo;\nINTERFACE\nIMPLEMENTATION\nend.",
     {},
     {ukUnit, "Foo", 8, {}, {}, 1}},
    {"HeaderWithoutSemicolon",
     "unit U interface",
     {},
     {ukUnit, "U", 8, {}, {Err("end expected", 1)}, 0}},
    {"BareInterface", "interface uses A;", {}, {ukNone, "", 8, {}, {}, 0}},
    {"EmptyFile", "", {}, {ukNone, "", 8, {}, {Err("Identifier expected", 1)}, 0}},
    {"ConditionalInListDefined",
     "unit U; interface uses {$IFDEF WIN32} Windows, {$ENDIF} SysUtils; implementation",
     {"WIN32"},
     {ukUnit, "U", 8, {{"Windows", 1}, {"SysUtils", 1}}, {}, 1}},
    {"ProgramWithParameters",
     "program P(Input, Output);\nuses A;",
     {},
     {ukProgram, "P", 8, {}, {Err("end expected", 1)}, 0}},
    {"ProgramWithoutUses",
     "program P;\nbegin end.",
     {},
     {ukProgram, "P", 8, {}, {Err("uses expected", 2)}, 0}},
    {"LibraryLikeProgram",
     "library L; uses A, B; exports X; begin end.",
     {},
     {ukLibrary, "L", 7, {{"A", 1}, {"B", 1}}, {}, 0}},
    {"PackageWithoutContains",
     "package P; requires rtl;\nend.",
     {},
     {ukPackage, "P", 8, {}, {Err("contains expected", 2)}, 0}},
    {"UnclosedIfdefInHeader",
     "{$IFDEF X} unit U;",
     {},
     {ukNone, "", 8, {}, {Err("Unclosed ifdef!", 1)}, 0}},
    // A list item must start with an identifier; anything else ends the list, never loops.
    {"StrayComma",
     "unit U; interface uses A,, B; implementation",
     {},
     {ukUnit, "U", 8, {{"A", 1}}, {Err("Identifier expected", 1)}, 0}},
    {"TrailingCommaAtEnd",
     "program P; uses A,\n",
     {},
     {ukProgram, "P", 8, {{"A", 1}}, {Err("Identifier expected", 2)}, 0}},
    {"EmptyList", "program P; uses ;", {}, {ukProgram, "P", 7, {}, {}, 0}},
    {"ByteOrderMark",
     "\xEF\xBB\xBFunit U; interface uses A; implementation",
     {},
     {ukUnit, "U", 8, {{"A", 1}}, {}, 1}},
    // Dotted names are read as one name, in the header and in the lists.
    {"DottedNames",
     "unit Vcl.Forms; interface uses System.SysUtils, Winapi . Windows; implementation uses "
     "Vcl.Graphics;",
     {},
     {ukUnit,
      "Vcl.Forms",
      8,
      {{"System.SysUtils", 1}, {"Winapi.Windows", 1}, {"Vcl.Graphics", 0}},
      {},
      1}},
    {"DottedNameCutShort",
     "unit U; interface uses A.;",
     {},
     {ukUnit, "U", 8, {}, {Err("Identifier expected", 1)}, 0}},
};

INSTANTIATE_TEST_SUITE_P(Unit, ParseTable, ::testing::ValuesIn(parseCases),
                         [](const auto& info) { return std::string(info.param.name); });

class ProjectParse : public SourceDirTest {};

TEST_F(ProjectParse, ProgramRecordsInFiles) {
    const std::string path =
        Write("proj/P.dpr", "program P;\nuses Forms, Main in 'Main.pas' {Form1}, Util in "
                            "'..\\lib\\Util.pas';\nbegin end.");
    Write("lib/util.pas", "unit Util;");
    TProject p(path);
    p.Parse();
    EXPECT_EQ(p.Kind, ukProgram);
    EXPECT_EQ(p.UnitName, "P");
    EXPECT_EQ(p.ParseState, 7);
    EXPECT_EQ(UsesOf(p), (UsesList{{"Forms", 1}, {"Main", 1}, {"Util", 1}}));
    EXPECT_EQ(p.GetInFile("util"), root + "/lib/util.pas"); // spelt as on disk
    EXPECT_EQ(p.GetInFile("MAIN"), root + "/proj/Main.pas");
    EXPECT_EQ(p.GetInFile("Forms"), "");
    EXPECT_TRUE(failures.empty());
}

TEST_F(ProjectParse, LaterInClauseWinsAndDottedNamesTakeInFiles) {
    TProject p(Write("P.dpr", "program P; uses A in 'a1.pas', a in 'sub/a2.pas', Vcl.Forms in "
                              "'x.pas';"));
    p.Parse();
    EXPECT_EQ(UsesOf(p), (UsesList{{"A", 1}, {"a", 1}, {"Vcl.Forms", 1}}));
    EXPECT_EQ(p.GetInFile("A"), root + "/sub/a2.pas");
    EXPECT_EQ(p.GetInFile("vcl.forms"), root + "/x.pas");
}

TEST_F(ProjectParse, PackageRequiresAndContains) {
    TProject p(
        Write("P.dpk", "package P;\nrequires vcl50, rtl;\ncontains U1 in 'U1.pas', U2;\nend."));
    p.Parse();
    EXPECT_EQ(p.Kind, ukPackage);
    EXPECT_EQ(p.ParseState, 8);
    EXPECT_EQ(UsesOf(p), (UsesList{{"U1", 1}, {"U2", 1}}));
    EXPECT_EQ(p.GetInFile("u1"), root + "/U1.pas");
    EXPECT_TRUE(failures.empty());
}

TEST_F(ProjectParse, InClauseNeedsString) {
    const std::string path = Write("P.dpr", "program P; uses A in B;");
    TProject p(path);
    p.Parse();
    EXPECT_EQ(failures,
              std::vector<std::string>{"Error: \"String expected\" on line 1 of file " + path});
}

// Each entry records the line of its name, and the include file when it stands in one.
TEST_F(ProjectParse, ListFromIncludeFile) {
    const std::string inc = Write("inc/units.inc", "\nB,\n  C");
    TProject p(Write("P.dpr", "program P;\nuses A, {$I inc\\units.inc},\r\n\n  D;"));
    p.Parse();
    EXPECT_EQ(UsesOf(p), (UsesList{{"A", 1}, {"B", 1}, {"C", 1}, {"D", 1}}));
    std::vector<std::pair<int, std::string>> sites;
    for (const TUseSite& s : p.UseSites)
        sites.emplace_back(s.Line, s.File);
    EXPECT_EQ(sites,
              (std::vector<std::pair<int, std::string>>{{2, ""}, {2, inc}, {3, inc}, {4, ""}}));
}

// A failure inside an include file still leaves the record on its own source afterwards.
TEST_F(ProjectParse, RecursiveIncludeFailsTheStep) {
    Write("loop.inc", "{$I loop.inc}");
    const std::string path = Write("U.pas", "unit U; interface uses A, {$I loop.inc} B;");
    TUnit u(path);
    u.Parse();
    EXPECT_EQ(failures,
              std::vector<std::string>{"Error: \"Recursive include of file " + root +
                                       "/loop.inc\" on line 1 of file " + root + "/loop.inc"});
    EXPECT_EQ(UsesOf(u), (UsesList{{"A", 1}}));
    EXPECT_EQ(u.ParseState, 8);
    EXPECT_EQ(u.FileName, path);
}

TEST_F(ProjectParse, HookSeesTheUnitAndWithoutHookFailuresStayInside) {
    TUnit hooked(Write("H.pas", "unit H;"));
    TUnit* seen = nullptr;
    UnitErrorHook = [&](TUnit& sender, const std::exception&) { seen = &sender; };
    hooked.Parse();
    EXPECT_EQ(seen, &hooked);
    UnitErrorHook = nullptr;
    TUnit u(Write("U.pas", "unit U; interface uses 1;"));
    EXPECT_NO_THROW(u.Parse());
    EXPECT_EQ(u.ParseState, 8);
}

TEST_F(ProjectParse, SecondParseChangesNothing) {
    TUnit u(Write("U.pas", "unit U; interface uses A; implementation"));
    u.Parse();
    u.Parse();
    EXPECT_EQ(UsesOf(u), (UsesList{{"A", 1}}));
    EXPECT_EQ(aborts, 1);
}

TEST_F(ProjectParse, SetDefinesReplacesAndCollapses) {
    TUnit u(Write("U.pas", "unit U;"));
    u.SetDefines({"B", "a", "A"});
    u.SetDefines({"WIN32", "win32", "MSWINDOWS"});
    EXPECT_EQ(u.Defines.Names(), (std::vector<std::string>{"WIN32", "MSWINDOWS"}));
}

TEST_F(ProjectParse, HasFormInAnyLetterCase) {
    const std::string main = Write("Main.pas", "unit Main;");
    Write("MAIN.DFM", "object Form1: TForm1 end");
    const std::string plain = Write("Plain.pas", "unit Plain;");
    Write("Plain.txt", "");
    EXPECT_TRUE(TUnit(main).HasForm);
    EXPECT_FALSE(TUnit(plain).HasForm);
}

TEST_F(ProjectParse, FileNameIsExpanded) {
    Write("src/Main.pas", "unit Main;");
    fs::SetCurrentDir(root);
    TUnit u("src\\..\\src\\main.PAS");
    EXPECT_EQ(u.FileName, root + "/src/Main.pas");
}

TEST_F(ProjectParse, OpenFailuresReachTheCaller) {
    EXPECT_THROW(TUnit(root + "/missing.pas"), EFOpenError);
    const std::string path = Write("Bad.pas", "\n'unclosed");
    try {
        TUnit u(path);
        ADD_FAILURE() << "no error";
    } catch (const EParserError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Error: \"Invalid string constant\" on line 2 of file " + path);
    }
}

} // namespace

namespace {

using namespace ut;

class FixtureParse : public uttest::SourceDirTest {};

// A unit as Delphi writes it: CR LF line ends, Windows-1252 text, an include file and a
// form file whose names differ from the source's in letter case.
TEST_F(FixtureParse, DelphiStyleUnit) {
    TUnit u(UNITRACE_FIXTURES "/scanner/Invoice.pas");
    u.SetDefines({"WIN32"});
    u.Parse();
    EXPECT_EQ(u.Kind, ukUnit);
    EXPECT_EQ(u.UnitName, "Invoice");
    EXPECT_TRUE(u.HasForm);
    EXPECT_EQ(UsesOf(u), (UsesList{{"Windows", 1},
                                   {"Messages", 1},
                                   {"SysUtils", 1},
                                   {"Controls", 1},
                                   {"Dialogs", 1},
                                   {"Forms", 1},
                                   {"Storage", 0},
                                   {"Logger", 0}}));
    EXPECT_TRUE(failures.empty());
    EXPECT_EQ(aborts, 1);
}

} // namespace
