// Expressions of {$IF}: values, precedence, the names the scan knows and does not know,
// and the messages of malformed expressions.
#include "scanner/DirectiveExpression.h"
#include "scanner/UnitDefines.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace ut;

// The symbols and constants of a Delphi 7 scan on a 64-bit target.
TDefines Names() {
    auto base = std::make_shared<TCompilerSymbols>();
    base->Define("MSWINDOWS");
    base->Define("VER150");
    base->SetConstant("CompilerVersion", 15.0);
    base->SetConstant("RTLVersion", 15.5);
    base->PointerSize = 8;
    TDefines d;
    d.SetBase(base);
    d.DefineValue("Half", TExprValue::Real(0.5));
    d.DefineValue("Name", TExprValue::Str("abc"));
    return d;
}

// The value as text: "true", "false", an integer, a real ("2.5r") or a string ('abc').
std::string Show(const TExprValue& v) {
    switch (v.kind) {
    case TExprValue::Kind::Bool:
        return v.b ? "true" : "false";
    case TExprValue::Kind::Int:
        return std::to_string(v.i);
    case TExprValue::Kind::Real: {
        std::string s = std::to_string(v.r);
        s.erase(s.find_last_not_of('0') + 1);
        return s + "r";
    }
    case TExprValue::Kind::Str:
        return "'" + v.s + "'";
    }
    return "?";
}

// "fpc: " before the text reads it as Free Pascal does.
std::string Eval(std::string text) {
    const bool fpc = text.rfind("fpc: ", 0) == 0;
    if (fpc)
        text.erase(0, 5);
    try {
        return Show(EvaluateExpression(text, Names(), fpc));
    } catch (const EExpressionError& e) {
        return std::string("error: ") + e.what();
    }
}

TEST(DirectiveExpression, Table) {
    const struct {
        const char* text;
        const char* expected;
    } cases[] = {
        // clang-format off
        {"Defined(MSWINDOWS)", "true"}, {"defined(mswindows)", "true"}, {"Defined(LINUX)", "false"},
        {"defined MSWINDOWS", "true"}, {"undefined LINUX", "true"}, {"Undefined(VER150)", "false"},
        {"Declared(CompilerVersion)", "true"}, {"Declared(Integer)", "true"}, {"Declared(TMyType)", "false"},
        {"SizeOf(Pointer)", "8"}, {"SizeOf(NativeInt) = 8", "true"}, {"SizeOf(Integer)", "4"}, {"sizeof ( int64 )", "8"}, {"SizeOf(TMyRecord)", "0"},
        {"CompilerVersion = 15.0", "true"}, {"compilerversion", "15"}, {"RTLVersion", "15.5r"},
        // Equal operands are inside both bounds: {$IF CompilerVersion <= 36.0} under Delphi 12.
        {"CompilerVersion <= 15.0", "true"}, {"RTLVersion >= 15.5", "true"}, {"'b' <= 'b'", "true"},
        {"CompilerVersion <= 14", "false"}, {"CompilerVersion >= 16", "false"},
        // A name the scan cannot know is false, and 0 in arithmetic.
        {"MyConst", "false"}, {"MyConst + 1", "1"}, {"not MyConst", "true"},
        {"MyFunc(1, 2)", "false"}, {"MyFunc()", "false"}, {"MyFunc(Defined(X)) = 0", "true"},
        // Precedence and associativity as Pascal has them.
        {"1 + 2 * 3", "7"}, {"(1 + 2) * 3", "9"}, {"2 - 3 - 4", "-5"}, {"-2 * 3", "-6"}, {"- -2", "2"},
        {"not Defined(LINUX) and Defined(MSWINDOWS)", "true"}, {"not (1 = 1) or True", "true"},
        {"Defined(LINUX) or Defined(VER150) and False", "false"},
        {"1 < 2 = True", "true"}, {"True xor True", "false"}, {"4 + 1 xor 5", "0"}, {"True and not False", "true"},
        {"10 div 3", "3"}, {"-7 mod 3", "-1"}, {"7 / 2", "3.5r"}, {"1 shl 4", "16"}, {"256 shr 4", "16"},
        {"6 and 3", "2"}, {"6 or 3", "7"}, {"6 xor 3", "5"}, {"not 0", "-1"}, {"+5", "5"},
        {"$FF", "255"}, {"$ff + %101 + &17", "275"}, {"2.5e1", "25.r"}, {"1E3 = 1000", "true"},
        {"9223372036854775807 + 1 < 0", "true"}, {"99999999999999999999 > 1", "true"},
        {"Half * 4", "2.r"}, {"Half < 1", "true"},
        {"'abc' = Name", "true"}, {"'It''s' + #33", "'It's!'"}, {"'a' < 'b'", "true"},
        {"'1' = 1", "false"}, {"'1' <> 1", "true"}, {"'1' < 1", "false"},
        {"Defined(System.Classes)", "false"},
        // Malformed expressions and values that do not go together.
        {"", "error: empty expression"}, {"  ", "error: empty expression"},
        {"1 +", "error: missing operand"}, {"(1", "error: missing ')'"}, {"1)", "error: unexpected ')'"},
        {"1 2", "error: unexpected '2'"}, {"Defined(A) Defined(B)", "error: unexpected 'Defined'"},
        {"1, 2", "error: unexpected ','"}, {"()", "error: unexpected ')'"}, {"1 @ 2", "error: unexpected '@'"},
        {"1 div 0", "error: division by zero"}, {"1 mod 0", "error: division by zero"},
        {"1 / 0", "error: division by zero"}, {"1.5 div 1", "error: incompatible types"},
        {"'a' + 1", "error: incompatible types"}, {"not 'a'", "error: incompatible types"},
        {"-'a'", "error: incompatible types"}, {"1.5 and 1", "error: incompatible types"},
        {"Defined()", "error: identifier expected after Defined"},
        {"Defined(X", "error: ')' expected after Defined(X"}, {"SizeOf Pointer", "error: '(' expected after SizeOf"},
        {"'abc", "error: unclosed string"}, {"$", "error: number expected after '$'"},
        // Free Pascal ends the expression at a ')' that closes nothing and reads no further.
        {"fpc: Defined(MSWINDOWS)) and Defined(LINUX)", "true"}, {"fpc: not Defined(LINUX))", "true"},
        {"fpc: (1 + 2)) * 3", "3"}, {"fpc: 1) @", "1"}, {"fpc: (1", "error: missing ')'"},
        {"fpc: )", "error: unexpected ')'"}, {"fpc: 1 + )", "error: unexpected ')'"},
        // clang-format on
    };
    for (const auto& c : cases)
        EXPECT_EQ(Eval(c.text), c.expected) << c.text;
}

// Guards the explicit stacks: no nesting depth may reach the machine's stack.
TEST(DirectiveExpression, DeepNestingNeedsNoRecursion) {
    const size_t depth = 100000;
    EXPECT_EQ(Eval(std::string(depth, '(') + "1" + std::string(depth, ')')), "1");
    std::string nots;
    for (size_t i = 0; i < depth; ++i)
        nots += "not ";
    EXPECT_EQ(Eval(nots + "True"), "true");
    EXPECT_EQ(Eval(std::string(depth, '(')), "error: missing operand");
}

} // namespace
