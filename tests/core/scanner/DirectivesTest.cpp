#include "SourceDir.h"

#include "scanner/Unit.h"
#include "support/Exceptions.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace {

using namespace ut;
using uttest::SourceDirTest;

// The significant tokens of a unit's file, joined by blanks, or the failure's message.
std::string Significant(TUnit& u) {
    std::string out;
    try {
        for (int t = u.FilterDirectives(u.CurrentScanner()->Token()); t != toEOF;
             t = u.NextSignificant()) {
            if (!out.empty())
                out += ' ';
            out += u.CurrentScanner()->TokenString();
        }
    } catch (const EParserError& e) {
        return e.what();
    }
    return out;
}

struct DirectiveCase {
    const char* name;
    std::string source;
    std::vector<std::string> defines;
    std::string expected; ///< tokens, or the message with F for the file's path
};
void PrintTo(const DirectiveCase& c, std::ostream* os) {
    *os << c.name;
}

class DirectiveTable : public SourceDirTest, public ::testing::WithParamInterface<DirectiveCase> {};

TEST_P(DirectiveTable, FiltersTokenStream) {
    const DirectiveCase& c = GetParam();
    const std::string path = Write("main.pas", c.source);
    TUnit u(path);
    u.SetDefines(c.defines);
    std::string expected = c.expected;
    if (const size_t f = expected.find(" of file F"); f != std::string::npos)
        expected.replace(f + 9, 1, path);
    EXPECT_EQ(Significant(u), expected);
}

const DirectiveCase directiveCases[] = {
    {"IfdefUndefinedTakesElse", "{$IFDEF DEBUG} uses A; {$ELSE} uses B; {$ENDIF}", {}, "uses B ;"},
    {"IfdefIgnoresSymbolCase",
     "{$IFDEF DEBUG} uses A; {$ELSE} uses B; {$ENDIF}",
     {"debug"},
     "uses A ;"},
    {"IfndefDefined", "{$IFNDEF A} x {$ENDIF} y", {"A"}, "y"},
    {"IfndefUndefined", "{$ifndef A} x {$endif} y", {}, "x y"},
    {"IfoptAlwaysElse", "{$IFOPT D+} X {$ELSE} Y {$ENDIF}", {"D"}, "Y"},
    {"NestedOuterFalse", "{$IFDEF A}{$IFDEF B} X {$ENDIF} Y {$ENDIF} Z", {"B"}, "Z"},
    {"NestedBothTrue", "{$IFDEF A}{$IFDEF B} X {$ENDIF} Y {$ENDIF} Z", {"A", "B"}, "X Y Z"},
    {"NestedInnerFalse", "{$IFDEF A}{$IFDEF B} X {$ENDIF} Y {$ENDIF} Z", {"A"}, "Y Z"},
    // An $else inside a false branch must not open anything.
    {"ElseInsideFalseBranch", "{$IFDEF A}{$IFDEF B} X {$ELSE} Y {$ENDIF}{$ENDIF} Z", {}, "Z"},
    {"DefineThenIfdef", "{$DEFINE X}{$IFDEF x} a {$ENDIF}", {}, "a"},
    {"DefineInFalseBranchIgnored", "{$IFDEF N}{$DEFINE X}{$ENDIF}{$IFDEF X} a {$ENDIF} b", {}, "b"},
    {"UndefRemoves", "{$UNDEF A}{$IFDEF A} a {$ENDIF} b", {"A"}, "b"},
    {"UndefUnknownAccepted", "{$UNDEF Q} a", {}, "a"},
    {"UndefInFalseBranchIgnored", "{$IFDEF N}{$UNDEF A}{$ENDIF}{$IFDEF A} a {$ENDIF}", {"A"}, "a"},
    {"ArgumentTrimmed", "{$IFDEF   VER130  } a {$ENDIF}", {"VER130"}, "a"},
    {"ArgumentFirstWordOnly", "{$IFDEF VER130 trailing words} a {$ENDIF}", {"VER130"}, "a"},
    {"ParenStarDirective", "(*$IFDEF X*) a (*$ENDIF*) b", {}, "b"},
    {"BlankBeforeDollarIsComment", "{ $IFDEF X} a // $IFDEF X\n b", {}, "a b"},
    {"SwitchesIgnored", "{$I+} {$IMAGEBASE $400000} {$R *.res} {$WARNINGS OFF} a", {}, "a"},
    {"CommentsDropped", "a { c } (* d *) // e\n b", {}, "a b"},
    {"OrphanEndif", "a\n{$ENDIF}", {}, "Error: \"Unknown $endif directive\" on line 2 of file F"},
    {"OrphanElse", "{$else}", {}, "Error: \"Unknown $else directive\" on line 1 of file F"},
    {"ExtraEndif",
     "{$IFDEF A}{$ENDIF}{$ENDIF}",
     {},
     "Error: \"Unknown $endif directive\" on line 1 of file F"},
    {"EndsInFalseBranch", "{$IFDEF X}\na\n", {}, "Error: \"Unclosed ifdef!\" on line 3 of file F"},
    // An open true branch at the end of the file is not an error.
    {"EndsInTrueBranch", "{$IFDEF X} a", {"X"}, "a"},
};

INSTANTIATE_TEST_SUITE_P(Directives, DirectiveTable, ::testing::ValuesIn(directiveCases),
                         [](const auto& info) { return std::string(info.param.name); });

class Includes : public SourceDirTest {
  protected:
    std::string Run(const std::string& source, const std::vector<std::string>& defines = {}) {
        TUnit u(Write("main.pas", source));
        u.SetDefines(defines);
        return Significant(u);
    }
};

TEST_F(Includes, TextTakesThePlaceOfTheDirective) {
    Write("defs.inc", "b c");
    EXPECT_EQ(Run("a {$I defs.inc} d"), "a b c d");
    EXPECT_EQ(Run("a {$INCLUDE defs.inc} d"), "a b c d");
    EXPECT_EQ(Run("{$i defs.inc}"), "b c");
}

TEST_F(Includes, NameResolvesAnyCaseAndBackslash) {
    Write("Sub/Defs.Inc", "b");
    EXPECT_EQ(Run("a {$I sub\\DEFS.INC} c"), "a b c");
}

TEST_F(Includes, NestedIncludeIsRelativeToIncludingFile) {
    Write("sub/outer.inc", "b {$I inner.inc} d");
    Write("sub/inner.inc", "c");
    Write("inner.inc", "wrong");
    EXPECT_EQ(Run("a {$I sub/outer.inc} e"), "a b c d e");
}

TEST_F(Includes, MissingFileSkippedSilently) {
    EXPECT_EQ(Run("a {$I nothere.inc} b"), "a b");
    EXPECT_EQ(Run("a {$I 'quoted.inc'} b"), "a b");
    Write("quoted.inc", "x"); // quotes are part of the name, so the file is not found
    EXPECT_EQ(Run("a {$I 'quoted.inc'} b"), "a b");
}

TEST_F(Includes, EmptyIncludeFile) {
    Write("empty.inc", "");
    EXPECT_EQ(Run("a {$I empty.inc} b"), "a b");
}

TEST_F(Includes, NotReadInFalseBranch) {
    Write("bad.inc", "'unclosed");
    EXPECT_EQ(Run("{$IFDEF Q}{$I bad.inc}{$ENDIF} a"), "a");
}

TEST_F(Includes, DefinesReachTheIncludingFile) {
    Write("defs.inc", "{$DEFINE FEATURE}");
    EXPECT_EQ(Run("{$I defs.inc}{$IFDEF FEATURE} on {$ELSE} off {$ENDIF}"), "on");
}

TEST_F(Includes, OpenTrueBranchClosedByIncludingFile) {
    Write("open.inc", "{$IFDEF A} x");
    EXPECT_EQ(Run("{$I open.inc} y {$ENDIF} z", {"A"}), "x y z");
}

TEST_F(Includes, EndingInFalseBranchFailsInIncludingFile) {
    Write("open.inc", "{$IFDEF A} x");
    EXPECT_EQ(Run("a\n{$I open.inc} y {$ENDIF}"),
              "Error: \"Unclosed ifdef!\" on line 2 of file " + root + "/main.pas");
}

TEST_F(Includes, ErrorNamesIncludedFileAndLine) {
    Write("bad.inc", "b\n'unclosed");
    EXPECT_EQ(Run("a {$I bad.inc} c"),
              "Error: \"Invalid string constant\" on line 2 of file " + root + "/bad.inc");
}

TEST_F(Includes, ByteOrderMarkSkipped) {
    Write("bom.inc", "\xEF\xBB\xBF"
                     "b");
    EXPECT_EQ(Run("\xEF\xBB\xBF"
                  "a {$I bom.inc} c"),
              "a b c");
}

// Guards against endless recursion: a file that includes itself is refused by name.
TEST_F(Includes, SelfIncludeRefused) {
    Write("self.inc", "x\n{$I self.inc}");
    EXPECT_EQ(Run("a {$I self.inc}"), "Error: \"Recursive include of file " + root +
                                          "/self.inc\" on line 2 of file " + root + "/self.inc");
}

TEST_F(Includes, IncludeCycleRefused) {
    Write("a.inc", "{$I b.inc}");
    Write("b.inc", "{$I A.INC}");
    EXPECT_EQ(Run("{$I a.inc}"), "Error: \"Recursive include of file " + root +
                                     "/a.inc\" on line 1 of file " + root + "/b.inc");
    EXPECT_EQ(Run("x {$I main.pas}"), "Error: \"Recursive include of file " + root +
                                          "/main.pas\" on line 1 of file " + root + "/main.pas");
}

// The same file may be included again once it has ended.
TEST_F(Includes, RepeatedIncludeAfterEndAllowed) {
    Write("x.inc", "x");
    EXPECT_EQ(Run("{$I x.inc} {$I x.inc}"), "x x");
}

TEST_F(Includes, FileNameFollowsIncludeAndReturns) {
    Write("defs.inc", "b");
    const std::string path = Write("main.pas", "a {$I defs.inc} c");
    TUnit u(path);
    EXPECT_EQ(u.FilterDirectives(u.CurrentScanner()->Token()), toSymbol);
    EXPECT_EQ(u.NextSignificant(), toSymbol);
    EXPECT_EQ(u.FileName, root + "/defs.inc");
    EXPECT_EQ(u.NextSignificant(), toSymbol);
    EXPECT_EQ(u.FileName, path);
}

TEST_F(Includes, CloseScannerClosesSuspendedFiles) {
    Write("defs.inc", "b");
    const std::string path = Write("main.pas", "a {$I defs.inc} c");
    TUnit u(path);
    u.FilterDirectives(u.CurrentScanner()->Token());
    u.NextSignificant();
    ASSERT_EQ(u.FileName, root + "/defs.inc");
    u.CloseScanner();
    EXPECT_EQ(u.CurrentScanner(), nullptr);
    EXPECT_EQ(u.FileName, path);
}

} // namespace
