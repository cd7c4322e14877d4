#include "SourceDir.h"

#include "scanner/Unit.h"
#include "support/Exceptions.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace ut;
using uttest::Significant;
using uttest::SourceDirTest;

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

// Each row writes its include files, then filters main.pas; "@" in a message is the root.
TEST_F(Includes, Table) {
    const std::string bom = "\xEF\xBB\xBF";
    const struct {
        const char* name;
        std::vector<std::pair<std::string, std::string>> files;
        std::string source;
        std::vector<std::string> defines;
        std::string expected;
    } cases[] = {
        // clang-format off
        {"TakesThePlaceOfTheDirective", {{"defs.inc", "b c"}}, "a {$INCLUDE defs.inc} {$i defs.inc} d", {}, "a b c b c d"},
        {"NameInAnyCaseWithBackslash", {{"Sub/Defs.Inc", "b"}}, "a {$I sub\\DEFS.INC} c", {}, "a b c"},
        {"NestedIsRelativeToIncludingFile", {{"sub/outer.inc", "b {$I inner.inc} d"}, {"sub/inner.inc", "c"}, {"inner.inc", "wrong"}},
         "a {$I sub/outer.inc} e", {}, "a b c d e"},
        {"MissingFileSkipped", {}, "a {$I nothere.inc} b", {}, "a b"},
        // Quotes are part of the name, so the file is not found.
        {"QuotedNameNotFound", {{"quoted.inc", "x"}}, "a {$I 'quoted.inc'} b", {}, "a b"},
        {"EmptyFile", {{"empty.inc", ""}}, "a {$I empty.inc} b", {}, "a b"},
        {"NotReadInFalseBranch", {{"bad.inc", "'unclosed"}}, "{$IFDEF Q}{$I bad.inc}{$ENDIF} a", {}, "a"},
        {"DefinesReachTheIncludingFile", {{"defs.inc", "{$DEFINE FEATURE}"}}, "{$I defs.inc}{$IFDEF FEATURE} on {$ELSE} off {$ENDIF}", {}, "on"},
        {"OpenTrueBranchClosedByIncludingFile", {{"open.inc", "{$IFDEF A} x"}}, "{$I open.inc} y {$ENDIF} z", {"A"}, "x y z"},
        {"FalseBranchOpenAtEndFailsInIncludingFile", {{"open.inc", "{$IFDEF A} x"}}, "a\n{$I open.inc} y {$ENDIF}", {},
         "Error: \"Unclosed ifdef!\" on line 2 of file @/main.pas"},
        {"ErrorNamesIncludedFileAndLine", {{"bad.inc", "b\n'unclosed"}}, "a {$I bad.inc} c", {},
         "Error: \"Invalid string constant\" on line 2 of file @/bad.inc"},
        {"ByteOrderMarkSkipped", {{"bom.inc", bom + "b"}}, bom + "a {$I bom.inc} c", {}, "a b c"},
        // Guards against endless recursion: a file that includes itself is refused by name.
        {"SelfIncludeRefused", {{"self.inc", "x\n{$I self.inc}"}}, "a {$I self.inc}", {},
         "Error: \"Recursive include of file @/self.inc\" on line 2 of file @/self.inc"},
        {"CycleRefused", {{"a.inc", "{$I b.inc}"}, {"b.inc", "{$I A.INC}"}}, "{$I a.inc}", {},
         "Error: \"Recursive include of file @/a.inc\" on line 1 of file @/b.inc"},
        {"MainFileIncludedRefused", {}, "x {$I main.pas}", {},
         "Error: \"Recursive include of file @/main.pas\" on line 1 of file @/main.pas"},
        // The same file may be included again once it has ended.
        {"RepeatedAfterEndAllowed", {{"x.inc", "x"}}, "{$I x.inc} {$I x.inc}", {}, "x x"},
        // clang-format on
    };
    for (const auto& c : cases) {
        for (const auto& [rel, text] : c.files)
            Write(rel, text);
        std::string expected = c.expected;
        for (size_t at = 0; (at = expected.find("@/", at)) != std::string::npos; at += root.size())
            expected.replace(at, 1, root);
        EXPECT_EQ(Run(c.source, c.defines), expected) << c.name;
    }
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
