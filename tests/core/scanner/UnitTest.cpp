// Parsing a source's header and uses lists: kind, name, entries, the step it ended in and
// the failures reported through the hook.
#include "SourceDir.h"

#include "scanner/Unit.h"
#include "support/Exceptions.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using namespace ut;

class UnitParse : public uttest::SourceDirTest {
  protected:
    /// "kind Name state [uses]", an entry written "A+" in the interface (or a project's
    /// list) and "A-" in the implementation, then "! message" per failure and "aborts N".
    std::string Outcome(const TUnit& u) const {
        static const char* const kinds[] = {"none", "unit", "program", "package", "library"};
        std::string out = std::string(kinds[u.Kind]) + " " + u.UnitName + " " +
                          std::to_string(u.ParseState) + " [";
        for (int i = 0; i < u.Uses.Count(); ++i)
            out += (i ? " " : "") + u.Uses[i] + (u.Uses.Objects(i) ? "+" : "-");
        out += "]";
        for (const std::string& f : failures)
            out += " ! " + f;
        return aborts ? out + " aborts " + std::to_string(aborts) : out;
    }
};

TEST_F(UnitParse, KindNameUsesAndFailures) {
    const struct {
        const char* file;
        std::string source;
        std::string expected; ///< "@" is the temporary directory
        TSyntaxMode mode = TSyntaxMode::None;
    } cases[] = {
        // clang-format off
        {"U.pas", "unit U;\ninterface\nuses A, B;\ntype T = integer;\nimplementation\nuses C;\nend.", "unit U 8 [A+ B+ C-] aborts 1"},
        // The same name in both sections, or twice in a list, is kept each time.
        {"U.pas", "unit U; interface uses A, A; implementation uses a;", "unit U 8 [A+ A+ a-] aborts 1"},
        {"U.pas", "unit U; interface uses A, B; type T = integer;", "unit U 8 [A+ B+] ! Error: \"Unexpected EOF\" on line 1 of file @/src/U.pas"},
        // Mac Pascal's units may end after the interface.
        {"U.pas", "{$mode macpas}\nunit U; interface uses A; type R = record end; end.", "unit U 8 [A+] aborts 1", TSyntaxMode::Fpc},
        {"U.pas", "unit U; interface uses A; end.", "unit U 8 [A+] ! Error: \"Unexpected EOF\" on line 1 of file @/src/U.pas", TSyntaxMode::ObjFpc},
        // A ')' that closes nothing ends a Free Pascal {$IF}; Delphi rejects it.
        {"U.pas", "unit U; interface uses {$IF not Defined(X)) and Defined(X)} A, {$ENDIF} B; implementation", "unit U 8 [A+ B+] aborts 1", TSyntaxMode::ObjFpc},
        {"U.pas", "unit U; interface uses {$IF not Defined(X))} A, {$ENDIF} B;", "unit U 8 [] ! Error: \"Invalid $if expression: unexpected ')'\" on line 1 of file @/src/U.pas"},
        // The implementation part after its uses list is never read.
        {"U.pas", "unit U; interface uses A; implementation uses B; { never closed", "unit U 8 [A+ B-] aborts 1"},
        {"U.pas", "unit U; interface uses A;\nimplementation { open", "unit U 8 [A+] ! Error: \"Unclosed comment!\" on line 2 of file @/src/U.pas"},
        {"U.pas", "unit U; interface uses Forms, Main in 'Main.pas'; implementation end.", "unit U 8 [Forms+ Main+] ! Error: \"'';'' expected\" on line 1 of file @/src/U.pas"},
        {"U.pas", "unit U;\nimplementation", "unit U 8 [] ! Error: \"interface expected\" on line 2 of file @/src/U.pas"},
        {"U.pas", "{ header comment }\n// more\nUNIT Foo;\nINTERFACE\nIMPLEMENTATION\nend.", "unit Foo 8 [] aborts 1"},
        {"U.pas", "unit U interface", "unit U 8 [] ! Error: \"end expected\" on line 1 of file @/src/U.pas"},
        {"U.pas", "interface uses A;", "none  8 []"},
        {"U.pas", "", "none  8 [] ! Error: \"Identifier expected\" on line 1 of file @/src/U.pas"},
        {"U.pas", "unit U; interface uses {$IFDEF WIN32} Windows, {$ENDIF} SysUtils; implementation", "unit U 8 [Windows+ SysUtils+] aborts 1"},
        {"U.pas", "{$IFDEF X} unit U;", "none  8 [] ! Error: \"Unclosed ifdef!\" on line 1 of file @/src/U.pas"},
        // A list item must start with an identifier; anything else ends the list, never loops.
        {"U.pas", "unit U; interface uses A,, B; implementation", "unit U 8 [A+] ! Error: \"Identifier expected\" on line 1 of file @/src/U.pas"},
        // Dotted names are read as one name, in the header and in the lists.
        {"U.pas", "unit Vcl.Forms; interface uses System.SysUtils, Winapi . Windows; implementation uses Vcl.Graphics;",
         "unit Vcl.Forms 8 [System.SysUtils+ Winapi.Windows+ Vcl.Graphics-] aborts 1"},
        {"U.pas", "unit U; interface uses A.;", "unit U 8 [] ! Error: \"Identifier expected\" on line 1 of file @/src/U.pas"},
        // A failure inside an include file ends the step; the record is on its source again.
        {"U.pas", "unit U; interface uses A, {$I loop.inc} B;", "unit U 8 [A+] ! Error: \"Recursive include of file @/src/loop.inc\" on line 1 of file @/src/loop.inc"},
        // Headings Free Pascal accepts: parameters, no uses, no heading at all.
        {"P.dpr", "program P(Input, Output);\nuses A;", "program P 7 [A+]"},
        {"P.dpr", "program P;\nbegin end.", "program P 7 []"},
        {"P.dpr", "{$mode objfpc}\nuses A, B;\nbegin end.", "program P 7 [A+ B+]"},
        {"P.dpr", "var X: Integer;\nbegin end.", "program P 7 []"},
        {"P.dpr", "program P(Input; uses A;", "program P 8 [] ! Error: \"'')'' expected\" on line 1 of file @/src/P.dpr"},
        {"P.dpr", "library L; uses A, B; exports X; begin end.", "library L 7 [A+ B+]"},
        {"P.dpr", "program P; uses A,\n", "program P 8 [A+] ! Error: \"Identifier expected\" on line 2 of file @/src/P.dpr"},
        {"P.dpr", "program P; uses ;", "program P 7 []"},
        {"P.dpr", "program P; uses A in B;", "program P 8 [A+] ! Error: \"String expected\" on line 1 of file @/src/P.dpr"},
        {"P.dpk", "package P; requires rtl;\nend.", "package P 8 [] ! Error: \"contains expected\" on line 2 of file @/src/P.dpk"},
        {"P.dpk", "package P;\nrequires vcl50, rtl;\ncontains U1 in 'U1.pas', U2;\nend.", "package P 8 [U1+ U2+]"},
        // clang-format on
    };
    Write("src/loop.inc", "{$I loop.inc}");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.source);
        failures.clear();
        aborts = 0;
        const std::string path = Write(std::string("src/") + c.file, c.source);
        const bool project = c.file[0] == 'P';
        std::unique_ptr<TUnit> u =
            project ? std::make_unique<TProject>(path) : std::make_unique<TUnit>(path);
        auto symbols = std::make_shared<TCompilerSymbols>();
        symbols->Define("WIN32");
        symbols->Mode = c.mode;
        u->SetSymbols(symbols);
        u->Parse();
        EXPECT_EQ(Outcome(*u), uttest::NativeRooted(c.expected));
        EXPECT_EQ(u->CurrentScanner(), nullptr);
        EXPECT_EQ(u->FileName, path);
        EXPECT_EQ(fs::GetCurrentDir(), Under("src"));
        fs::SetCurrentDir(root);
    }
}

// In-clauses record files relative to the project, spelt as on disk; a later one wins.
TEST_F(UnitParse, ProjectInFiles) {
    Write("lib/util.pas", "unit Util;");
    TProject p(Write("proj/P.dpr", "program P;\nuses Forms, Main in 'Main.pas' {Form1}, Util in "
                                   "'..\\lib\\Util.pas', A in 'a1.pas', a in 'sub/a2.pas', "
                                   "Vcl.Forms in 'x.pas';\nbegin end."));
    p.Parse();
    EXPECT_EQ(Outcome(p), "program P 7 [Forms+ Main+ Util+ A+ a+ Vcl.Forms+]");
    EXPECT_EQ(p.GetInFile("util"), Under(uttest::CaseOf("lib/util.pas", "lib/Util.pas")));
    EXPECT_EQ(p.GetInFile("MAIN"), Under("proj/Main.pas"));
    EXPECT_EQ(p.GetInFile("A"), Under("proj/sub/a2.pas"));
    EXPECT_EQ(p.GetInFile("vcl.forms"), Under("proj/x.pas"));
    EXPECT_EQ(p.GetInFile("Forms"), "");
}

// Each entry records the line of its name, and the include file when it stands in one.
TEST_F(UnitParse, ListFromIncludeFile) {
    const std::string inc = Write("inc/units.inc", "\nB,\n  C");
    TProject p(Write("P.dpr", "program P;\nuses A, {$I inc\\units.inc},\r\n\n  D;"));
    p.Parse();
    EXPECT_EQ(Outcome(p), "program P 7 [A+ B+ C+ D+]");
    std::vector<std::pair<int, std::string>> sites;
    for (const TUseSite& s : p.UseSites)
        sites.emplace_back(s.Line, s.File);
    EXPECT_EQ(sites,
              (std::vector<std::pair<int, std::string>>{{2, ""}, {2, inc}, {3, inc}, {4, ""}}));
}

TEST_F(UnitParse, HookSecondParseAndDefines) {
    TUnit u(Write("U.pas", "unit U; interface uses A; implementation"));
    TUnit* seen = nullptr;
    UnitErrorHook = [&](TUnit& sender, const std::exception&) { seen = &sender; };
    u.Parse();
    EXPECT_EQ(seen, &u);
    u.Parse(); // a record is parsed once
    EXPECT_EQ(seen, &u);
    EXPECT_EQ(u.Uses.Count(), 1);
    // Without a hook, failures stay inside.
    UnitErrorHook = nullptr;
    TUnit bad(Write("B.pas", "unit B; interface uses 1;"));
    EXPECT_NO_THROW(bad.Parse());
    EXPECT_EQ(bad.ParseState, 8);
    bad.SetDefines({"B", "a", "A"});
    bad.SetDefines({"WIN32", "win32", "MSWINDOWS"});
    EXPECT_EQ(bad.Defines.Names(), (std::vector<std::string>{"WIN32", "MSWINDOWS"}));
}

TEST_F(UnitParse, FileNameFormAndOpenFailures) {
    Write("src/Main.pas", "unit Main;");
    Write("src/MAIN.DFM", "object Form1: TForm1 end");
    Write("src/Plain.txt", "");
    fs::SetCurrentDir(root);
    TUnit u("src\\..\\src\\main.PAS");
    EXPECT_EQ(u.FileName, Under(uttest::CaseOf("src/Main.pas", "src/main.PAS")));
    EXPECT_TRUE(u.HasForm);
    EXPECT_FALSE(TUnit(Write("src/Plain.pas", "unit Plain;")).HasForm);
    EXPECT_THROW(TUnit(root + "/missing.pas"), EFOpenError);
    // The first token is read at once: a malformed one fails the construction.
    EXPECT_THROW(TUnit(Write("Bad.pas", "\n'unclosed")), EParserError);
}

// A unit as Delphi writes it: CR LF line ends, Windows-1252 text, an include file and a
// form file whose names differ from the source's in letter case.
TEST_F(UnitParse, DelphiStyleUnit) {
    TUnit u(UNITRACE_FIXTURES "/scanner/Invoice.pas");
    u.SetDefines({"WIN32"});
    u.Parse();
    EXPECT_TRUE(u.HasForm);
    EXPECT_EQ(Outcome(u), "unit Invoice 8 [Windows+ Messages+ SysUtils+ Controls+ Dialogs+ "
                          "Forms+ Storage- Logger-] aborts 1");
}

} // namespace
