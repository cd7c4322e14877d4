#include "scanner/DirectiveExpression.h"

#include "support/Textutil.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace ut {

TExprValue TExprValue::Bool(bool v) {
    TExprValue x;
    x.b = v;
    return x;
}

TExprValue TExprValue::Int(std::int64_t v) {
    TExprValue x;
    x.kind = Kind::Int;
    x.i = v;
    return x;
}

TExprValue TExprValue::Real(double v) {
    TExprValue x;
    x.kind = Kind::Real;
    x.r = v;
    return x;
}

TExprValue TExprValue::Str(std::string v) {
    TExprValue x;
    x.kind = Kind::Str;
    x.s = std::move(v);
    return x;
}

TExprValue TExprValue::Number(double v) {
    // Only values well inside the range of int64 convert without undefined behaviour.
    if (std::trunc(v) == v && std::fabs(v) < 9.0e18)
        return Int(static_cast<std::int64_t>(v));
    return Real(v);
}

bool IsTrue(const TExprValue& v) {
    switch (v.kind) {
    case TExprValue::Kind::Bool:
        return v.b;
    case TExprValue::Kind::Int:
        return v.i != 0;
    case TExprValue::Kind::Real:
        return v.r != 0;
    case TExprValue::Kind::Str:
        return !v.s.empty();
    }
    return false;
}

namespace {

using Kind = TExprValue::Kind;

[[noreturn]] void Fail(const std::string& what) {
    throw EExpressionError(what);
}

// ---- tokens -------------------------------------------------------------------------------

enum class Tok { End, Value, Name, Op };

struct Token {
    Tok kind = Tok::End;
    std::string text; ///< the token as written
    TExprValue value; ///< a literal
};

bool IsNameStart(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

bool IsNameChar(char c) {
    return IsNameStart(c) || (c >= '0' && c <= '9');
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

class Lexer {
  public:
    explicit Lexer(std::string_view text) : FText(text) {}

    Token Next() {
        while (FPos < FText.size() && static_cast<unsigned char>(FText[FPos]) <= 32)
            ++FPos;
        Token t;
        if (FPos >= FText.size())
            return t;
        const size_t start = FPos;
        const char c = FText[FPos];
        if (IsNameStart(c)) {
            t.kind = Tok::Name;
            t.text = ReadName();
        } else if (IsDigit(c)) {
            t.kind = Tok::Value;
            t.value = ReadDecimal();
        } else if (c == '$' || c == '%' || c == '&') {
            t.kind = Tok::Value;
            t.value = ReadRadix(c == '$' ? 16 : c == '%' ? 2 : 8);
        } else if (c == '\'' || c == '#') {
            t.kind = Tok::Value;
            t.value = TExprValue::Str(ReadString());
        } else {
            t.kind = Tok::Op;
            static const std::string_view pairs[] = {"<>", "<=", ">="};
            for (std::string_view p : pairs)
                if (FText.substr(FPos, 2) == p)
                    t.text = std::string(p);
            if (t.text.empty()) {
                if (std::string_view("()=<>+-*/,").find(c) == std::string_view::npos)
                    Fail("unexpected '" + std::string(1, c) + "'");
                t.text = std::string(1, c);
            }
            FPos += t.text.size();
        }
        if (t.kind == Tok::Value)
            t.text = std::string(FText.substr(start, FPos - start));
        return t;
    }

    /// The next token without consuming it.
    Token Peek() {
        const size_t saved = FPos;
        Token t = Next();
        FPos = saved;
        return t;
    }

  private:
    // A name, dotted names included (Defined(System.Foo)).
    std::string ReadName() {
        const size_t start = FPos;
        for (;;) {
            while (FPos < FText.size() && IsNameChar(FText[FPos]))
                ++FPos;
            if (FPos + 1 < FText.size() && FText[FPos] == '.' && IsNameStart(FText[FPos + 1]))
                ++FPos;
            else
                break;
        }
        return std::string(FText.substr(start, FPos - start));
    }

    TExprValue ReadDecimal() {
        const size_t start = FPos;
        bool real = false;
        while (FPos < FText.size() && IsDigit(FText[FPos]))
            ++FPos;
        if (FPos + 1 < FText.size() && FText[FPos] == '.' && IsDigit(FText[FPos + 1])) {
            real = true;
            ++FPos;
            while (FPos < FText.size() && IsDigit(FText[FPos]))
                ++FPos;
        }
        if (FPos < FText.size() && (FText[FPos] == 'e' || FText[FPos] == 'E')) {
            size_t at = FPos + 1;
            if (at < FText.size() && (FText[at] == '+' || FText[at] == '-'))
                ++at;
            if (at < FText.size() && IsDigit(FText[at])) {
                real = true;
                FPos = at;
                while (FPos < FText.size() && IsDigit(FText[FPos]))
                    ++FPos;
            }
        }
        const std::string digits(FText.substr(start, FPos - start));
        if (!real) {
            std::int64_t v = 0;
            const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), v);
            if (ec == std::errc() && end == digits.data() + digits.size())
                return TExprValue::Int(v);
        }
        return TExprValue::Real(std::strtod(digits.c_str(), nullptr));
    }

    TExprValue ReadRadix(int base) {
        const char prefix = FText[FPos++];
        std::uint64_t v = 0;
        size_t digits = 0;
        for (; FPos < FText.size(); ++FPos, ++digits) {
            const char c = FText[FPos];
            int d = IsDigit(c)                               ? c - '0'
                    : (c | 0x20) >= 'a' && (c | 0x20) <= 'f' ? (c | 0x20) - 'a' + 10
                                                             : 99;
            if (d >= base)
                break;
            v = v * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(d); // wraps
        }
        if (digits == 0)
            Fail("number expected after '" + std::string(1, prefix) + "'");
        return TExprValue::Int(static_cast<std::int64_t>(v));
    }

    // Quoted parts ('It''s') and character codes (#13) with nothing between them.
    std::string ReadString() {
        std::string s;
        while (FPos < FText.size() && (FText[FPos] == '\'' || FText[FPos] == '#')) {
            if (FText[FPos] == '#') {
                ++FPos;
                unsigned code = 0;
                while (FPos < FText.size() && IsDigit(FText[FPos]))
                    code = (code * 10 + static_cast<unsigned>(FText[FPos++] - '0')) & 0xFFFF;
                s += static_cast<char>(code & 0xFF);
                continue;
            }
            ++FPos;
            for (;;) {
                if (FPos >= FText.size())
                    Fail("unclosed string");
                if (FText[FPos] == '\'') {
                    if (FPos + 1 < FText.size() && FText[FPos + 1] == '\'') {
                        s += '\'';
                        FPos += 2;
                        continue;
                    }
                    ++FPos;
                    break;
                }
                s += FText[FPos++];
            }
        }
        return s;
    }

    std::string_view FText;
    size_t FPos = 0;
};

// ---- operators ----------------------------------------------------------------------------

enum class Op {
    Paren, // an open parenthesis
    Call,  // an open call of a function the evaluator does not know
    Not,
    Neg,
    Pos,
    Mul,
    Divide,
    IntDiv,
    Mod,
    And,
    Shl,
    Shr,
    Add,
    Sub,
    Or,
    Xor,
    Eq,
    Ne,
    Lt,
    Gt,
    Le,
    Ge,
};

struct Pending {
    Op op;
    int prec;                ///< 4 unary, 3 multiplying, 2 adding, 1 relational, 0 brackets
    size_t operandsAtOpen{}; ///< for Call: the operand count when it opened
};

struct BinaryOp {
    std::string_view word;
    Op op;
    int prec;
};

const BinaryOp BinaryOps[] = {
    {"*", Op::Mul, 3},   {"/", Op::Divide, 3}, {"div", Op::IntDiv, 3}, {"mod", Op::Mod, 3},
    {"and", Op::And, 3}, {"shl", Op::Shl, 3},  {"shr", Op::Shr, 3},    {"+", Op::Add, 2},
    {"-", Op::Sub, 2},   {"or", Op::Or, 2},    {"xor", Op::Xor, 2},    {"=", Op::Eq, 1},
    {"<>", Op::Ne, 1},   {"<", Op::Lt, 1},     {">", Op::Gt, 1},       {"<=", Op::Le, 1},
    {">=", Op::Ge, 1},
};

const BinaryOp* FindBinary(const Token& t) {
    if (t.kind != Tok::Op && t.kind != Tok::Name)
        return nullptr;
    for (const BinaryOp& b : BinaryOps)
        if (t.kind == Tok::Op ? t.text == b.word
                              : SameText(t.text, b.word) && IsNameStart(b.word[0]))
            return &b;
    return nullptr;
}

bool IsNumeric(const TExprValue& v) {
    return v.kind != Kind::Str;
}

// Booleans take part in arithmetic as 0 and 1: an unknown name is false, and 0 in a sum.
std::int64_t AsInt(const TExprValue& v) {
    return v.kind == Kind::Bool ? (v.b ? 1 : 0) : v.i;
}

double AsReal(const TExprValue& v) {
    return v.kind == Kind::Real ? v.r : static_cast<double>(AsInt(v));
}

std::int64_t Wrap(std::uint64_t v) {
    return static_cast<std::int64_t>(v);
}

[[noreturn]] void Incompatible() {
    Fail("incompatible types");
}

TExprValue Arithmetic(Op op, const TExprValue& a, const TExprValue& b) {
    if (op == Op::Add && a.kind == Kind::Str && b.kind == Kind::Str)
        return TExprValue::Str(a.s + b.s);
    if (!IsNumeric(a) || !IsNumeric(b))
        Incompatible();
    const bool real = a.kind == Kind::Real || b.kind == Kind::Real;
    if (op == Op::Divide) {
        if (AsReal(b) == 0)
            Fail("division by zero");
        return TExprValue::Real(AsReal(a) / AsReal(b));
    }
    if (real) {
        if (op == Op::Add)
            return TExprValue::Real(AsReal(a) + AsReal(b));
        if (op == Op::Sub)
            return TExprValue::Real(AsReal(a) - AsReal(b));
        if (op == Op::Mul)
            return TExprValue::Real(AsReal(a) * AsReal(b));
        Incompatible(); // div, mod and the shifts take integers only
    }
    const std::int64_t x = AsInt(a), y = AsInt(b);
    const auto ux = static_cast<std::uint64_t>(x), uy = static_cast<std::uint64_t>(y);
    switch (op) {
    case Op::Add:
        return TExprValue::Int(Wrap(ux + uy));
    case Op::Sub:
        return TExprValue::Int(Wrap(ux - uy));
    case Op::Mul:
        return TExprValue::Int(Wrap(ux * uy));
    case Op::IntDiv:
    case Op::Mod:
        if (y == 0)
            Fail("division by zero");
        if (y == -1) // the one quotient that does not fit
            return TExprValue::Int(op == Op::Mod ? 0 : Wrap(0 - ux));
        return TExprValue::Int(op == Op::Mod ? x % y : x / y);
    case Op::Shl:
        return TExprValue::Int(Wrap(ux << (uy & 63)));
    case Op::Shr:
        return TExprValue::Int(Wrap(ux >> (uy & 63)));
    default:
        Incompatible();
    }
}

TExprValue Logical(Op op, const TExprValue& a, const TExprValue& b) {
    if (a.kind == Kind::Bool && b.kind == Kind::Bool) {
        const bool r = op == Op::And ? a.b && b.b : op == Op::Or ? a.b || b.b : a.b != b.b;
        return TExprValue::Bool(r);
    }
    if (a.kind == Kind::Str || b.kind == Kind::Str || a.kind == Kind::Real || b.kind == Kind::Real)
        Incompatible();
    const std::int64_t x = AsInt(a), y = AsInt(b);
    return TExprValue::Int(op == Op::And ? x & y : op == Op::Or ? x | y : x ^ y);
}

// A string and a number are never equal; order between them is never true.
TExprValue Compare(Op op, const TExprValue& a, const TExprValue& b) {
    int order = 0;
    if (a.kind == Kind::Str && b.kind == Kind::Str) {
        order = a.s.compare(b.s);
    } else if (a.kind == Kind::Str || b.kind == Kind::Str) {
        return TExprValue::Bool(op == Op::Ne);
    } else if (a.kind == Kind::Real || b.kind == Kind::Real) {
        const double x = AsReal(a), y = AsReal(b);
        order = x < y ? -1 : x > y ? 1 : 0;
    } else {
        const std::int64_t x = AsInt(a), y = AsInt(b);
        order = x < y ? -1 : x > y ? 1 : 0;
    }
    switch (op) {
    case Op::Eq:
        return TExprValue::Bool(order == 0);
    case Op::Ne:
        return TExprValue::Bool(order != 0);
    case Op::Lt:
        return TExprValue::Bool(order < 0);
    case Op::Gt:
        return TExprValue::Bool(order > 0);
    case Op::Le:
        return TExprValue::Bool(order <= 0);
    default:
        return TExprValue::Bool(order >= 0);
    }
}

TExprValue Unary(Op op, const TExprValue& a) {
    if (op == Op::Not) {
        if (a.kind == Kind::Bool)
            return TExprValue::Bool(!a.b);
        if (a.kind == Kind::Int)
            return TExprValue::Int(~a.i);
        Incompatible();
    }
    if (!IsNumeric(a))
        Incompatible();
    if (op == Op::Pos)
        return a.kind == Kind::Real ? a : TExprValue::Int(AsInt(a));
    if (a.kind == Kind::Real)
        return TExprValue::Real(-a.r);
    return TExprValue::Int(Wrap(0 - static_cast<std::uint64_t>(AsInt(a))));
}

class Evaluator {
  public:
    Evaluator(std::string_view text, const TExpressionNames& names) : FLexer(text), FNames(names) {}

    TExprValue Run() {
        bool expectOperand = true;
        bool any = false;
        for (;;) {
            Token t = FLexer.Next();
            if (t.kind == Tok::End && !any)
                Fail("empty expression");
            any = true;
            if (expectOperand)
                expectOperand = Operand(t);
            else if (t.kind == Tok::End)
                break;
            else
                expectOperand = Operator(t);
        }
        ReduceUntilBracket();
        if (!FOps.empty())
            Fail("missing ')'");
        return FValues.back();
    }

  private:
    // Handles a token where an operand must stand; true while an operand is still due.
    bool Operand(Token& t) {
        if (t.kind == Tok::Value) {
            FValues.push_back(std::move(t.value));
            return false;
        }
        if (t.kind == Tok::Name) {
            if (SameText(t.text, "not")) {
                FOps.push_back({Op::Not, 4});
                return true;
            }
            if (FLexer.Peek().text == "(" && !IsIntrinsic(t.text)) {
                FLexer.Next();
                FOps.push_back({Op::Call, 0, FValues.size()});
                return true;
            }
            FValues.push_back(NameValue(t.text));
            return false;
        }
        if (t.kind == Tok::Op && t.text == "(") {
            FOps.push_back({Op::Paren, 0});
            return true;
        }
        if (t.kind == Tok::Op && (t.text == "-" || t.text == "+")) {
            FOps.push_back({t.text == "-" ? Op::Neg : Op::Pos, 4});
            return true;
        }
        if (t.kind == Tok::Op && t.text == ")" && !FOps.empty() && FOps.back().op == Op::Call &&
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
    bool Operator(const Token& t) {
        if (const BinaryOp* b = FindBinary(t)) {
            while (!FOps.empty() && FOps.back().prec >= b->prec)
                Reduce();
            FOps.push_back({b->op, b->prec});
            return true;
        }
        if (t.kind == Tok::Op && (t.text == ")" || t.text == ",")) {
            ReduceUntilBracket();
            if (FOps.empty() || (t.text == "," && FOps.back().op != Op::Call))
                Unexpected(t);
            const Pending open = FOps.back();
            FOps.pop_back();
            if (open.op == Op::Call) {
                if (t.text == ",") { // arguments of an unknown function are read and dropped
                    FOps.push_back(open);
                    return true;
                }
                FValues.resize(open.operandsAtOpen);
                FValues.push_back(TExprValue::Bool(false));
            }
            return false;
        }
        Unexpected(t);
    }

    [[noreturn]] static void Unexpected(const Token& t) {
        std::string text = t.text;
        if (text.size() > 32)
            text = text.substr(0, 32) + "...";
        Fail("unexpected '" + text + "'");
    }

    static bool IsIntrinsic(const std::string& name) {
        return SameText(name, "defined") || SameText(name, "undefined") ||
               SameText(name, "declared") || SameText(name, "sizeof");
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
        Token t = FLexer.Next();
        const bool paren = t.kind == Tok::Op && t.text == "(";
        const bool sizeOf = SameText(name, "sizeof"), declared = SameText(name, "declared");
        if (paren)
            t = FLexer.Next();
        if (!paren && (sizeOf || declared))
            Fail("'(' expected after " + name);
        if (t.kind != Tok::Name)
            Fail("identifier expected after " + name);
        if (paren) {
            const Token close = FLexer.Next();
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
        while (!FOps.empty() && FOps.back().op != Op::Paren && FOps.back().op != Op::Call)
            Reduce();
    }

    void Reduce() {
        const Op op = FOps.back().op;
        FOps.pop_back();
        if (FValues.empty())
            Fail("missing operand");
        TExprValue b = std::move(FValues.back());
        FValues.pop_back();
        if (op == Op::Not || op == Op::Neg || op == Op::Pos) {
            FValues.push_back(Unary(op, b));
            return;
        }
        if (FValues.empty())
            Fail("missing operand");
        TExprValue& a = FValues.back();
        if (op >= Op::Eq)
            a = Compare(op, a, b);
        else if (op == Op::And || op == Op::Or || op == Op::Xor)
            a = Logical(op, a, b);
        else
            a = Arithmetic(op, a, b);
    }

    Lexer FLexer;
    const TExpressionNames& FNames;
    std::vector<Pending> FOps;
    std::vector<TExprValue> FValues;
};

} // namespace

TExprValue EvaluateExpression(std::string_view text, const TExpressionNames& names) {
    return Evaluator(text, names).Run();
}

bool EvaluateCondition(std::string_view text, const TExpressionNames& names) {
    return IsTrue(EvaluateExpression(text, names));
}

} // namespace ut
