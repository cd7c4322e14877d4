// {$IF} chains with {$ELSEIF}/{$ELSE}, closed by {$IFEND} or {$ENDIF}, nested with {$IFDEF}:
// which branch is read, what is never evaluated, and the conditions each uses entry
// records.
#include "SourceDir.h"

#include "scanner/Unit.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace ut;
using uttest::Significant;
using uttest::SourceDirTest;

class ConditionalChain : public SourceDirTest {
  protected:
    // The significant tokens of `source` read with `defines` and Delphi 7's constants;
    // "F" in an expected message stands for the file.
    std::string Run(const std::string& source, const std::vector<std::string>& defines = {}) {
        auto symbols = std::make_shared<TCompilerSymbols>();
        for (const std::string& d : defines)
            symbols->Define(d);
        symbols->SetConstant("CompilerVersion", 15.0);
        const std::string path = Write("main.pas", source);
        TUnit u(path);
        u.SetSymbols(symbols);
        std::string out = Significant(u);
        if (const size_t f = out.find(" of file " + path); f != std::string::npos)
            out.replace(f + 9, path.size(), "F");
        return out;
    }
};

TEST_F(ConditionalChain, BranchSelection) {
    const std::string chain = "{$IF Defined(A)} a {$ELSEIF Defined(B)} b {$ELSE} c {$IFEND} d";
    const std::string deep = "{$IF True}\n";
    std::string nest;
    for (int i = 0; i < 10000; ++i)
        nest += deep;
    const struct {
        const char* name;
        std::string source;
        std::vector<std::string> defines;
        std::string expected;
    } cases[] = {
        // clang-format off
        {"FirstBranch", chain, {"A", "B"}, "a d"},
        {"ElseIfBranch", chain, {"B"}, "b d"},
        {"ElseBranch", chain, {}, "c d"},
        {"OnlyFirstTrueBranchRead", "{$IF 1 = 1} a {$ELSEIF 2 = 2} b {$ELSE} c {$ENDIF}", {}, "a"},
        {"EndifClosesIf", "{$IF CompilerVersion >= 15} new {$ELSE} old {$ENDIF} x", {}, "new x"},
        {"IfendClosesIfdef", "{$IFDEF A} a {$IFEND} x", {}, "x"},
        {"ElseIfAfterIfdef", "{$IFDEF A} a {$ELSEIF CompilerVersion > 14} b {$ENDIF}", {}, "b"},
        {"ElseIfAfterIfopt", "{$IFOPT R+} a {$ELSEIF True} b {$ELSE} c {$ENDIF}", {}, "b"},
        {"IfInsideFalseIfdef", "{$IFDEF A}{$IF True} x {$ELSE} y {$IFEND}{$ELSE} z {$ENDIF}", {}, "z"},
        {"IfdefInsideTakenElse", "{$IF False} x {$ELSE}{$IFDEF B} y {$ENDIF} z {$IFEND}", {"B"}, "y z"},
        {"UnknownNameIsFalse", "{$IF MyConst > 3} a {$ELSE} b {$IFEND}", {}, "b"},
        {"DefineInSourceSeen", "{$DEFINE X}{$IF Defined(X) and not Defined(Y)} a {$IFEND}", {}, "a"},
        {"UndefInSourceSeen", "{$UNDEF A}{$IF Defined(A)} a {$ELSE} b {$IFEND}", {"A"}, "b"},
        {"MacroValue", "{$DEFINE N := 3}{$IF N * 2 = 6} a {$ENDIF}", {}, "a"},
        {"MacPascalChain", "{$SETC X := 2}{$IFC defined X and (X = 2)} a {$ELIFC True} b {$ELSEC} c {$ENDC}", {}, "a"},
        {"ModeDirectivesAccepted", "{$mode objfpc}{$modeswitch advancedrecords}{$H+}{$macro on} a", {}, "a"},
        {"IncludeSwitchIsNoInclude", "{$I+}{$IFDEF A} a {$ENDIF} b", {}, "b"},
        // Skipped branches are scanned for nesting only, never evaluated.
        {"MalformedInSkippedBranch", "{$IFDEF A}{$IF 1 +} x {$ELSEIF (} y {$IFEND}{$ENDIF} z", {}, "z"},
        {"MalformedAfterTakenBranch", "{$IF True} a {$ELSEIF 1 div 0} b {$IFEND}", {}, "a"},
        {"SetcInSkippedBranch", "{$IFDEF A}{$SETC X := (}{$ENDIF} a", {}, "a"},
        // Failures name the directive and the line.
        {"Malformed", "a\n{$IF Defined(A) Defined(B)} b {$IFEND}", {},
         "Error: \"Invalid $if expression: unexpected 'Defined'\" on line 2 of file F"},
        {"MalformedElseIf", "{$IF False}\n{$ELSEIF (1}\n{$IFEND}", {},
         "Error: \"Invalid $elseif expression: missing ')'\" on line 2 of file F"},
        {"DivisionByZero", "{$IF 1 div 0 = 0} a {$IFEND}", {},
         "Error: \"Invalid $if expression: division by zero\" on line 1 of file F"},
        {"ElseIfAfterElse", "{$IF False} a {$ELSE} b {$ELSEIF True} c {$IFEND}", {},
         "Error: \"$elseif after $else\" on line 1 of file F"},
        {"ElseAfterElse", "{$IFDEF A}\n{$ELSE}\n{$ELSE}\n{$ENDIF}", {},
         "Error: \"$else after $else\" on line 3 of file F"},
        {"OrphanIfend", "a {$IFEND}", {}, "Error: \"Unknown $ifend directive\" on line 1 of file F"},
        {"OrphanElseIf", "{$ELSEIF True}", {}, "Error: \"Unknown $elseif directive\" on line 1 of file F"},
        {"OrphanEndc", "{$ENDC}", {}, "Error: \"Unknown $endc directive\" on line 1 of file F"},
        {"UnclosedFalseIf", "{$IF False}\na\n", {}, "Error: \"Unclosed ifdef!\" on line 3 of file F"},
        {"DeepNest", nest, {}, "Error: \"Conditional directives nested deeper than 1000 levels\" on line 1001 of file F"},
        // clang-format on
    };
    for (const auto& c : cases)
        EXPECT_EQ(Run(c.source, c.defines), c.expected) << c.name;
}

TEST_F(ConditionalChain, UseSitesRecordTheConditionsInForce) {
    TUnit u(Write("U.pas", "unit U;\ninterface\nuses First,\n"
                           "{$IFDEF D} A, {$IF CompilerVersion >= 15} B, {$ELSE} C, {$IFEND}\n"
                           "  E {$ENDIF},\n"
                           "{$IFNDEF D} F, {$ENDIF} G;\nimplementation\nend.\n"));
    auto symbols = std::make_shared<TCompilerSymbols>();
    symbols->Define("D");
    symbols->SetConstant("CompilerVersion", 15.0);
    u.SetSymbols(symbols);
    u.Parse();
    ASSERT_EQ(u.Uses.Count(), 5);
    using Texts = std::vector<std::string>;
    const struct {
        const char* name;
        Texts conditions;
    } expected[] = {
        {"First", {}},      {"A", {"IFDEF D"}}, {"B", {"IFDEF D", "IF CompilerVersion >= 15"}},
        {"E", {"IFDEF D"}}, // the {$ENDIF} after the name does not take it out of its branch
        {"G", {}},
    };
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(u.Uses[i], expected[i].name);
        EXPECT_EQ(u.UseSites[i].Conditions(), expected[i].conditions) << expected[i].name;
    }
    // Entries under the same branch share one record of it.
    EXPECT_EQ(u.UseSites[1].Condition, u.UseSites[3].Condition);
    EXPECT_EQ(u.UseSites[2].Condition->Outer, u.UseSites[1].Condition);
}

TEST_F(ConditionalChain, ElseBranchNamesItsChain) {
    TUnit u(Write("P.dpr", "program P;\nuses {$IFDEF D} A {$ELSE} B {$ENDIF};\nbegin end.\n"));
    u.Parse();
    ASSERT_EQ(u.Uses.Count(), 1);
    EXPECT_EQ(u.UseSites[0].Conditions(), std::vector<std::string>{"ELSE of IFDEF D"});
}

} // namespace
