// Conditional directives ({$IFDEF}, {$IF} chains, MacPascal's {$IFC}), symbols defined in
// the source, include files, and the conditions each uses entry records.
#include "SourceDir.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

using namespace ut;

class Directives : public uttest::SourceDirTest {};

// Each row filters main.pas with its symbols; "@" in a message is the temporary directory.
TEST_F(Directives, BranchesAndMessages) {
    const std::string chain = "{$IF Defined(A)} a {$ELSEIF Defined(B)} b {$ELSE} c {$IFEND} d";
    const std::string nested = "{$IFDEF A}{$IFDEF B} X {$ENDIF} Y {$ENDIF} Z";
    std::string deep;
    for (int i = 0; i < 10000; ++i)
        deep += "{$IF True}\n";
    const struct {
        const char* name;
        std::string source;
        std::vector<std::string> defines;
        std::string expected;
    } cases[] = {
        // clang-format off
        {"IfdefUndefinedTakesElse", "{$IFDEF DEBUG} a {$ELSE} b {$ENDIF}", {}, "b"},
        {"IfdefIgnoresSymbolCase", "{$IFDEF DEBUG} a {$ELSE} b {$ENDIF}", {"debug"}, "a"},
        {"IfndefDefined", "{$IFNDEF A} x {$ENDIF} y", {"A"}, "y"},
        {"IfndefUndefinedLowerCase", "{$ifndef A} x {$endif} y", {}, "x y"},
        {"IfoptAlwaysElse", "{$IFOPT D+} X {$ELSE} Y {$ENDIF}", {"D"}, "Y"},
        {"NestedOuterFalse", nested, {"B"}, "Z"},
        {"NestedInnerFalse", nested, {"A"}, "Y Z"},
        // An $else inside a false branch must not open anything.
        {"ElseInsideFalseBranch", "{$IFDEF A}{$IFDEF B} X {$ELSE} Y {$ENDIF}{$ENDIF} Z", {}, "Z"},
        {"DefineThenIfdef", "{$DEFINE X}{$IFDEF x} a {$ENDIF}", {}, "a"},
        {"DefineInFalseBranchIgnored", "{$IFDEF N}{$DEFINE X}{$ENDIF}{$IFDEF X} a {$ENDIF} b", {}, "b"},
        {"UndefRemovesAndAcceptsUnknown", "{$UNDEF Q}{$UNDEF A}{$IF Defined(A)} a {$ENDIF} b", {"A"}, "b"},
        {"UndefInFalseBranchIgnored", "{$IFDEF N}{$UNDEF A}{$ENDIF}{$IFDEF A} a {$ENDIF}", {"A"}, "a"},
        {"ArgumentIsFirstWord", "{$IFDEF   VER130  trailing words} a {$ENDIF}", {"VER130"}, "a"},
        {"ParenStarDirective", "(*$IFDEF X*) a (*$ENDIF*) b", {}, "b"},
        {"CommentsAndBlankBeforeDollar", "{ $IFDEF X} a (* d *) // $IFDEF X\n b", {}, "a b"},
        {"SwitchesIgnored", "{$I+} {$IMAGEBASE $400000} {$R *.res} {$mode objfpc}{$H+} a", {}, "a"},
        {"FirstBranch", chain, {"A", "B"}, "a d"},
        {"ElseIfBranch", chain, {"B"}, "b d"},
        {"ElseBranch", chain, {}, "c d"},
        {"OnlyFirstTrueBranchRead", "{$IF 1 = 1} a {$ELSEIF 2 = 2} b {$ELSE} c {$ENDIF}", {}, "a"},
        {"IfendClosesIfdef", "{$IFDEF A} a {$IFEND} x", {}, "x"},
        {"ElseIfAfterIfdef", "{$IFDEF A} a {$ELSEIF CompilerVersion > 14} b {$ENDIF}", {}, "b"},
        {"IfInsideFalseIfdef", "{$IFDEF A}{$IF True} x {$ELSE} y {$IFEND}{$ELSE} z {$ENDIF}", {}, "z"},
        {"IfdefInsideTakenElse", "{$IF False} x {$ELSE}{$IFDEF B} y {$ENDIF} z {$IFEND}", {"B"}, "y z"},
        {"TruthOfValues", "{$IF 2} a {$IFEND}{$IF 0} b {$IFEND}{$IF 0.5} c {$IFEND}{$IF ''} d {$IFEND}{$IF 'x'} e {$IFEND}", {}, "a c e"},
        {"MacroValue", "{$DEFINE N := 3}{$IF N * 2 = 6} a {$ENDIF}", {}, "a"},
        {"MacPascalChain", "{$SETC X := 2}{$IFC defined X and (X = 2)} a {$ELIFC True} b {$ELSEC} c {$ENDC}", {}, "a"},
        // Skipped branches are scanned for nesting only, never evaluated.
        {"MalformedInSkippedBranch", "{$IFDEF A}{$IF 1 +} x {$ELSEIF (} y {$IFEND}{$SETC X := (}{$ENDIF} z", {}, "z"},
        {"MalformedAfterTakenBranch", "{$IF True} a {$ELSEIF 1 div 0} b {$IFEND}", {}, "a"},
        // An open true branch at the end of the file is not an error.
        {"EndsInTrueBranch", "{$IFDEF X} a", {"X"}, "a"},
        {"EndsInFalseBranch", "{$IFDEF X}\na\n", {}, "Error: \"Unclosed ifdef!\" on line 3 of file @/main.pas"},
        {"OrphanEndif", "a\n{$ENDIF}", {}, "Error: \"Unknown $endif directive\" on line 2 of file @/main.pas"},
        {"OrphanElse", "{$else}", {}, "Error: \"Unknown $else directive\" on line 1 of file @/main.pas"},
        {"ExtraEndif", "{$IFDEF A}{$ENDIF}{$ENDIF}", {}, "Error: \"Unknown $endif directive\" on line 1 of file @/main.pas"},
        {"OrphanIfend", "a {$IFEND}", {}, "Error: \"Unknown $ifend directive\" on line 1 of file @/main.pas"},
        {"OrphanElseIf", "{$ELSEIF True}", {}, "Error: \"Unknown $elseif directive\" on line 1 of file @/main.pas"},
        {"OrphanEndc", "{$ENDC}", {}, "Error: \"Unknown $endc directive\" on line 1 of file @/main.pas"},
        {"Malformed", "a\n{$IF Defined(A) Defined(B)} b {$IFEND}", {}, "Error: \"Invalid $if expression: unexpected 'Defined'\" on line 2 of file @/main.pas"},
        {"MalformedElseIf", "{$IF False}\n{$ELSEIF (1}\n{$IFEND}", {}, "Error: \"Invalid $elseif expression: missing ')'\" on line 2 of file @/main.pas"},
        {"ElseIfAfterElse", "{$IF False} a {$ELSE} b {$ELSEIF True} c {$IFEND}", {}, "Error: \"$elseif after $else\" on line 1 of file @/main.pas"},
        {"ElseAfterElse", "{$IFDEF A}\n{$ELSE}\n{$ELSE}\n{$ENDIF}", {}, "Error: \"$else after $else\" on line 3 of file @/main.pas"},
        {"DeepNest", deep, {}, "Error: \"Conditional directives nested deeper than 1000 levels\" on line 1001 of file @/main.pas"},
        // clang-format on
    };
    for (const auto& c : cases)
        EXPECT_EQ(Filter(c.source, c.defines), uttest::NativeRooted(c.expected)) << c.name;
}

// Free Pascal's modes decide the symbol they define and whether comments nest; a source
// read as Delphi reads it keeps neither.
TEST_F(Directives, FreePascalModesAndComments) {
    using M = TSyntaxMode;
    const std::string modeSymbols = "{$ifdef FPC_OBJFPC} o {$endif}{$ifdef FPC_DELPHI} d {$endif}";
    const struct {
        const char* name;
        M mode;
        std::vector<std::pair<std::string, std::string>> files;
        std::string source;
        std::string expected;
    } cases[] = {
        // clang-format off
        {"GuidInNestedComment", M::ObjFpc, {}, "a { ['{757A-0C}'] } b", "a b"},
        {"ParenStarNests", M::Fpc, {}, "a (* x (* y *) z *) b", "a b"},
        {"BraceInParenStarIsText", M::ObjFpc, {}, "a (* { *) b { (* } c", "a b c"},
        {"DelphiModeEndsAtFirstBrace", M::Delphi, {}, "a { { } b", "a b"},
        {"FirstTokenReadAgainInTheMode", M::Fpc, {}, "{ a { b } c } d", "d"},
        {"ModeDirectiveEndsNesting", M::ObjFpc, {}, "{$mode tp} a { { } b", "a b"},
        {"ModeDirectiveSetsItsSymbol", M::Fpc, {}, "{$mode objfpc}" + modeSymbols + "{$MODE Delphi}" + modeSymbols, "o d"},
        {"ModeOfIncludeFileHoldsAfterIt", M::Delphi, {{"m.inc", "{$mode objfpc}"}}, "{$I m.inc} a { { } } b", "a b"},
        {"ModeSwitchNestedComments", M::Delphi, {}, "{$modeswitch nestedcomments} a { { } } b", "a b"},
        {"ModeSwitchNestedCommentsOff", M::ObjFpc, {}, "{$modeswitch nestedcomments off} a { { } b", "a b"},
        {"MacroBodyHoldsDirectives", M::Delphi, {}, "{$macro on}{$define M := {$ifopt r+} 1 {$else} 2 {$endif}} a", "a"},
        {"DelphiCompilerIgnoresModes", M::None, {}, "{$mode objfpc}" + modeSymbols + " a { { } b", "a b"},
        // clang-format on
    };
    for (const auto& c : cases) {
        for (const auto& [rel, text] : c.files)
            Write(rel, text);
        EXPECT_EQ(Filter(c.source, {}, c.mode), c.expected) << c.name;
    }
}

// The compiler stops at an error or fatal message in a branch it reads.
TEST_F(Directives, UserErrorsEndTheSource) {
    const struct {
        const char* name;
        std::string source;
        std::string expected;
    } cases[] = {
        // clang-format off
        {"Error", "a\n{$ERROR no target}", "Error: \"User defined: no target\" on line 2 of file @/main.pas"},
        {"Fatal", "{$Fatal 'stop'}", "Error: \"User defined: stop\" on line 1 of file @/main.pas"},
        {"MessageError", "{$MESSAGE ERROR 'It''s wrong'}", "Error: \"User defined: It's wrong\" on line 1 of file @/main.pas"},
        {"MessageFatal", "{$message fatal 'x'}", "Error: \"User defined: x\" on line 1 of file @/main.pas"},
        {"MessageWarningGoesOn", "a {$MESSAGE WARN 'w'} {$MESSAGE 'hint'} b", "a b"},
        {"NotInSkippedBranch", "{$IFDEF X}{$ERROR x}{$MESSAGE FATAL 'y'}{$ENDIF} a", "a"},
        // clang-format on
    };
    for (const auto& c : cases)
        EXPECT_EQ(Filter(c.source), uttest::NativeRooted(c.expected)) << c.name;
}

// Each row writes its include files, then filters main.pas.
TEST_F(Directives, IncludeFiles) {
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
        // The compiler stops at an include file it cannot find.
        {"MissingFileFails", {}, "a\n{$I nothere.inc} b", {}, "Error: \"Cannot open include file \"nothere.inc\"\" on line 2 of file @/main.pas"},
        {"QuotedNameWithBlank", {{"my defs.inc", "x"}}, "a {$I 'my defs.inc'} b", {}, "a x b"},
        {"NoExtensionTriesIncFirst", {{"defs.pp", "pp"}, {"defs.inc", "inc"}, {"only.pas", "pas"}}, "{$I defs} {$I only}", {}, "inc pas"},
        {"StarIsTheSourceName", {{"main.inc", "x"}}, "a {$I *.inc} b", {}, "a x b"},
        {"TextMacrosAreNoFiles", {}, "a {$I %FPCVERSION%} {$I %DATE%} b", {}, "a b"},
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
         "Error: \"Recursive include of file @/" + uttest::CaseOf("a.inc", "A.INC") + "\" on line 1 of file @/b.inc"},
        {"MainFileIncludedRefused", {}, "x {$I main.pas}", {},
         "Error: \"Recursive include of file @/main.pas\" on line 1 of file @/main.pas"},
        // The same file may be included again once it has ended.
        {"RepeatedAfterEndAllowed", {{"x.inc", "x"}}, "{$I x.inc} {$I x.inc}", {}, "x x"},
        // clang-format on
    };
    for (const auto& c : cases) {
        for (const auto& [rel, text] : c.files)
            Write(rel, text);
        EXPECT_EQ(Filter(c.source, c.defines), uttest::NativeRooted(c.expected)) << c.name;
    }
}

TEST_F(Directives, UseSitesRecordTheConditionsInForce) {
    TUnit u(Write("U.pas", "unit U;\ninterface\nuses First,\n"
                           "{$IFDEF D} A, {$IF CompilerVersion >= 15} B, {$ELSE} C, {$IFEND}\n"
                           "  E {$ENDIF},\n"
                           "{$IFNDEF D} F, {$ENDIF} G, {$IFDEF X} H {$ELSE} I {$ENDIF};\n"
                           "implementation\nend.\n"));
    auto symbols = std::make_shared<TCompilerSymbols>();
    symbols->Define("D");
    symbols->SetConstant("CompilerVersion", 15.0);
    u.SetSymbols(symbols);
    u.Parse();
    using Texts = std::vector<std::string>;
    const std::pair<const char*, Texts> expected[] = {
        {"First", {}},
        {"A", {"IFDEF D"}},
        {"B", {"IFDEF D", "IF CompilerVersion >= 15"}},
        {"E", {"IFDEF D"}}, // the {$ENDIF} after the name does not take it out of its branch
        {"G", {}},
        {"I", {"ELSE of IFDEF X"}},
    };
    ASSERT_EQ(u.Uses.Count(), 6);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(u.Uses[i], expected[i].first);
        EXPECT_EQ(u.UseSites[i].Conditions(), expected[i].second) << expected[i].first;
    }
    // Entries under the same branch share one record of it.
    EXPECT_EQ(u.UseSites[1].Condition, u.UseSites[3].Condition);
    EXPECT_EQ(u.UseSites[2].Condition->Outer, u.UseSites[1].Condition);
}

} // namespace
