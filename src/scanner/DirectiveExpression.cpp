#include "scanner/DirectiveExpression.h"

#include "scanner/ExpressionLexer.h"
#include "support/Textutil.h"

#include <vector>

namespace ut {

namespace {

using Tok = TExprTokenKind;

[[noreturn]] void Fail(const std::string& what) {
    throw EExpressionError(what);
}

// An operator waiting for its right operand, or an open bracket.
struct Pending {
    enum class Kind { Operator, Paren, Call } kind;
    TExprOp op;
    int prec;                ///< 4 unary, 3 multiplying, 2 adding, 1 relational, 0 brackets
    size_t operandsAtOpen{}; ///< a Call (of a function the evaluator does not know): the
                             ///< operand count when it opened
};

struct BinaryOp {
    std::string_view word;
    TExprOp op;
    int prec;
};

const BinaryOp BinaryOps[] = {
    {"*", TExprOp::Mul, 3},   {"/", TExprOp::Divide, 3}, {"div", TExprOp::IntDiv, 3},
    {"mod", TExprOp::Mod, 3}, {"and", TExprOp::And, 3},  {"shl", TExprOp::Shl, 3},
    {"shr", TExprOp::Shr, 3}, {"+", TExprOp::Add, 2},    {"-", TExprOp::Sub, 2},
    {"or", TExprOp::Or, 2},   {"xor", TExprOp::Xor, 2},  {"=", TExprOp::Eq, 1},
    {"<>", TExprOp::Ne, 1},   {"<", TExprOp::Lt, 1},     {">", TExprOp::Gt, 1},
    {"<=", TExprOp::Le, 1},   {">=", TExprOp::Ge, 1},
};

const BinaryOp* FindBinary(const TExprToken& t) {
    if (t.kind != Tok::Op && t.kind != Tok::Name)
        return nullptr;
    for (const BinaryOp& b : BinaryOps)
        if (t.kind == Tok::Op ? t.text == b.word : SameText(t.text, b.word))
            return &b;
    return nullptr;
}

bool IsIntrinsic(const std::string& name) {
    return SameText(name, "defined") || SameText(name, "undefined") || SameText(name, "declared") ||
           SameText(name, "sizeof");
}

[[noreturn]] void Unexpected(const TExprToken& t) {
    std::string text = t.text;
    if (text.size() > 32)
        text = text.substr(0, 32) + "...";
    Fail("unexpected '" + text + "'");
}

// Operator precedence over explicit stacks: operands and pending operators.
class Evaluator {
  public:
    Evaluator(std::string_view text, const TExpressionNames& names, bool endAtUnmatchedParen)
        : FLexer(text), FNames(names), FEndAtUnmatchedParen(endAtUnmatchedParen) {}

    TExprValue Run() {
        bool expectOperand = true;
        bool any = false;
        for (;;) {
            TExprToken t = FLexer.Next();
            if (t.kind == Tok::End && !any)
                Fail("empty expression");
            any = true;
            if (expectOperand)
                expectOperand = Operand(t);
            else if (t.kind == Tok::End)
                break;
            else
                expectOperand = Operator(t);
            if (FEnded)
                break;
        }
        ReduceUntilBracket();
        if (!FOps.empty())
            Fail("missing ')'");
        return FValues.back();
    }

  private:
    // Handles a token where an operand must stand; true while an operand is still due.
    bool Operand(TExprToken& t) {
        if (t.kind == Tok::Value) {
            FValues.push_back(std::move(t.value));
            return false;
        }
        if (t.kind == Tok::Name) {
            if (SameText(t.text, "not")) {
                FOps.push_back({Pending::Kind::Operator, TExprOp::Not, 4});
                return true;
            }
            if (FLexer.Peek().text == "(" && !IsIntrinsic(t.text)) {
                FLexer.Next();
                FOps.push_back({Pending::Kind::Call, TExprOp::Not, 0, FValues.size()});
                return true;
            }
            FValues.push_back(NameValue(t.text));
            return false;
        }
        if (t.kind == Tok::Op && t.text == "(") {
            FOps.push_back({Pending::Kind::Paren, TExprOp::Not, 0});
            return true;
        }
        if (t.kind == Tok::Op && (t.text == "-" || t.text == "+")) {
            FOps.push_back(
                {Pending::Kind::Operator, t.text == "-" ? TExprOp::Neg : TExprOp::Pos, 4});
            return true;
        }
        if (t.kind == Tok::Op && t.text == ")" && !FOps.empty() &&
            FOps.back().kind == Pending::Kind::Call &&
            FOps.back().operandsAtOpen == FValues.size()) {
            FOps.pop_back(); // F(): a call without arguments
            FValues.push_back(TExprValue::Bool(false));
            return false;
        }
        if (t.kind == Tok::End)
            Fail("missing operand");
        Unexpected(t);
    }

    // Handles a token after a complete operand; true when an operand is due next.
    bool Operator(const TExprToken& t) {
        if (const BinaryOp* b = FindBinary(t)) {
            while (!FOps.empty() && FOps.back().prec >= b->prec)
                Reduce();
            FOps.push_back({Pending::Kind::Operator, b->op, b->prec});
            return true;
        }
        if (t.kind != Tok::Op || (t.text != ")" && t.text != ","))
            Unexpected(t);
        ReduceUntilBracket();
        if (FOps.empty() && t.text == ")" && FEndAtUnmatchedParen) {
            FEnded = true;
            return false;
        }
        if (FOps.empty() || (t.text == "," && FOps.back().kind != Pending::Kind::Call))
            Unexpected(t);
        if (t.text == ",") // arguments of an unknown function are read and dropped
            return true;
        const Pending open = FOps.back();
        FOps.pop_back();
        if (open.kind == Pending::Kind::Call) {
            FValues.resize(open.operandsAtOpen);
            FValues.push_back(TExprValue::Bool(false));
        }
        return false;
    }

    // Defined(X), Undefined(X), Declared(X) and SizeOf(T) take a name, not a value; the
    // first two also stand without parentheses (`defined X`, as Mac Pascal writes them).
    TExprValue NameValue(const std::string& name) {
        if (SameText(name, "true") || SameText(name, "false"))
            return TExprValue::Bool(SameText(name, "true"));
        if (!IsIntrinsic(name)) {
            std::optional<TExprValue> v = FNames.ValueOf(name);
            return v ? std::move(*v) : TExprValue::Bool(false);
        }
        TExprToken t = FLexer.Next();
        const bool paren = t.kind == Tok::Op && t.text == "(";
        const bool sizeOf = SameText(name, "sizeof"), declared = SameText(name, "declared");
        if (paren)
            t = FLexer.Next();
        if (!paren && (sizeOf || declared))
            Fail("'(' expected after " + name);
        if (t.kind != Tok::Name)
            Fail("identifier expected after " + name);
        if (paren) {
            const TExprToken close = FLexer.Next();
            if (close.kind != Tok::Op || close.text != ")")
                Fail("')' expected after " + name + "(" + t.text);
        }
        if (sizeOf)
            return TExprValue::Int(FNames.SizeOf(t.text));
        if (declared) // a type or constant the compiler itself declares
            return TExprValue::Bool(FNames.SizeOf(t.text) > 0 || FNames.ValueOf(t.text));
        return TExprValue::Bool(FNames.IsDefined(t.text) == SameText(name, "defined"));
    }

    void ReduceUntilBracket() {
        while (!FOps.empty() && FOps.back().kind == Pending::Kind::Operator)
            Reduce();
    }

    void Reduce() {
        const TExprOp op = FOps.back().op;
        FOps.pop_back();
        TExprValue b = std::move(FValues.back());
        FValues.pop_back();
        if (op == TExprOp::Not || op == TExprOp::Neg || op == TExprOp::Pos)
            FValues.push_back(ApplyUnary(op, b));
        else
            FValues.back() = ApplyBinary(op, FValues.back(), b);
    }

    TExprLexer FLexer;
    const TExpressionNames& FNames;
    const bool FEndAtUnmatchedParen;
    bool FEnded = false; ///< a ')' that closes nothing ended the expression
    std::vector<Pending> FOps;
    std::vector<TExprValue> FValues;
};

} // namespace

TExprValue EvaluateExpression(std::string_view text, const TExpressionNames& names,
                              bool endAtUnmatchedParen) {
    return Evaluator(text, names, endAtUnmatchedParen).Run();
}

bool EvaluateCondition(std::string_view text, const TExpressionNames& names) {
    return IsTrue(EvaluateExpression(text, names));
}

} // namespace ut
