#include "config/MsBuildCondition.h"

#include "support/Textutil.h"

#include <vector>

namespace ut {

namespace {

enum class Tok { Text, False, Open, Close, Not, Equal, NotEqual, And, Or };

struct Token {
    Tok Kind;
    std::string Text; ///< the expanded string of a Text token
    size_t Column;    ///< 1-based, for messages
};

struct Failure {
    std::string Message;
};

bool IsWordChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '.' || c == '-';
}

std::string Quoted(std::string_view s) {
    std::string quoted(1, '"');
    quoted.append(s);
    quoted += '"';
    return quoted;
}

class ConditionLexer {
  public:
    ConditionLexer(std::string_view text, const PropertyExpander& expand)
        : FText(text), FExpand(expand) {}

    std::vector<Token> Tokens() {
        std::vector<Token> tokens;
        while (SkipBlanks())
            tokens.push_back(Next());
        return tokens;
    }

  private:
    bool SkipBlanks() {
        while (FPos < FText.size() && static_cast<unsigned char>(FText[FPos]) <= ' ')
            ++FPos;
        return FPos < FText.size();
    }

    [[noreturn]] void Fail(const std::string& what, size_t pos) const {
        throw Failure{what + " at column " + std::to_string(pos + 1)};
    }

    Token Next() {
        const size_t start = FPos;
        const char c = FText[FPos];
        auto token = [&](Tok kind, size_t length) {
            FPos += length;
            return Token{kind, {}, start + 1};
        };
        auto next = [&] { return FPos + 1 < FText.size() ? FText[FPos + 1] : '\0'; };
        switch (c) {
        case '\'': {
            const size_t close = FText.find('\'', FPos + 1);
            if (close == std::string_view::npos)
                Fail("unterminated string", start);
            FPos = close + 1;
            return {Tok::Text, FExpand(FText.substr(start + 1, close - start - 1)), start + 1};
        }
        case '(':
            return token(Tok::Open, 1);
        case ')':
            return token(Tok::Close, 1);
        case '=':
            if (next() != '=')
                Fail("\"=\" where \"==\" was expected", start);
            return token(Tok::Equal, 2);
        case '!':
            return next() == '=' ? token(Tok::NotEqual, 2) : token(Tok::Not, 1);
        case '$':
            if (next() == '(') {
                const size_t close = FText.find(')', FPos);
                if (close == std::string_view::npos)
                    Fail("unterminated property reference", start);
                FPos = close + 1;
                return {Tok::Text, FExpand(FText.substr(start, FPos - start)), start + 1};
            }
            break;
        default:
            if (IsWordChar(c))
                return Word();
        }
        Fail("unexpected " + Quoted(FText.substr(start, 1)), start);
    }

    // A bare word: `and`, `or`, a function call, or an unquoted string.
    Token Word() {
        const size_t start = FPos;
        while (FPos < FText.size() && IsWordChar(FText[FPos]))
            ++FPos;
        const std::string_view word = FText.substr(start, FPos - start);
        if (SameText(word, "and"))
            return {Tok::And, {}, start + 1};
        if (SameText(word, "or"))
            return {Tok::Or, {}, start + 1};
        size_t open = FPos;
        while (open < FText.size() && FText[open] == ' ')
            ++open;
        if (open >= FText.size() || FText[open] != '(')
            return {Tok::Text, std::string(word), start + 1};
        if (!SameText(word, "Exists"))
            Fail("unknown function " + Quoted(word), start);
        // The argument is skipped whole: a file on this machine says nothing about the build.
        bool quoted = false;
        for (size_t i = open + 1; i < FText.size(); ++i) {
            if (FText[i] == '\'')
                quoted = !quoted;
            else if (FText[i] == ')' && !quoted) {
                FPos = i + 1;
                return {Tok::False, {}, start + 1};
            }
        }
        Fail("unclosed \"Exists(\"", start);
    }

    std::string_view FText;
    const PropertyExpander& FExpand;
    size_t FPos = 0;
};

int Precedence(Tok kind) {
    switch (kind) {
    case Tok::Or:
        return 1;
    case Tok::And:
        return 2;
    case Tok::Not:
        return 3;
    case Tok::Equal:
    case Tok::NotEqual:
        return 4;
    default:
        return 0;
    }
}

// Operator-precedence parse into postfix order with an explicit stack.
std::vector<Token> ToPostfix(std::vector<Token>& tokens) {
    std::vector<Token> out, ops;
    bool expectOperand = true;
    auto fail = [](const char* what, const Token& t) {
        throw Failure{std::string(what) + " at column " + std::to_string(t.Column)};
    };
    for (Token& t : tokens) {
        if (t.Kind == Tok::Text || t.Kind == Tok::False) {
            if (!expectOperand)
                fail("a value where an operator was expected", t);
            out.push_back(std::move(t));
            expectOperand = false;
        } else if (t.Kind == Tok::Not || t.Kind == Tok::Open) {
            if (!expectOperand)
                fail(t.Kind == Tok::Not ? "\"!\" after a value" : "\"(\" after a value", t);
            ops.push_back(std::move(t));
        } else if (t.Kind == Tok::Close) {
            if (expectOperand)
                fail("\")\" where a value was expected", t);
            while (!ops.empty() && ops.back().Kind != Tok::Open) {
                out.push_back(std::move(ops.back()));
                ops.pop_back();
            }
            if (ops.empty())
                fail("unbalanced \")\"", t);
            ops.pop_back();
        } else {
            if (expectOperand)
                fail("an operator where a value was expected", t);
            // Left-associative; a comparison's operands are plain values, so two in a row
            // ('a'=='b'=='c') are refused at evaluation.
            while (!ops.empty() && ops.back().Kind != Tok::Open &&
                   Precedence(ops.back().Kind) >= Precedence(t.Kind)) {
                out.push_back(std::move(ops.back()));
                ops.pop_back();
            }
            ops.push_back(std::move(t));
            expectOperand = true;
        }
    }
    if (expectOperand)
        throw Failure{"the condition ends where a value was expected"};
    while (!ops.empty()) {
        if (ops.back().Kind == Tok::Open)
            fail("unbalanced \"(\"", ops.back());
        out.push_back(std::move(ops.back()));
        ops.pop_back();
    }
    return out;
}

struct Value {
    bool IsBool;
    bool Bool;
    std::string Text;
};

bool AsBool(const Value& v) {
    if (v.IsBool)
        return v.Bool;
    if (SameText(v.Text, "true"))
        return true;
    if (SameText(v.Text, "false"))
        return false;
    throw Failure{Quoted(v.Text) + " is neither true nor false"};
}

bool Evaluate(const std::vector<Token>& postfix) {
    std::vector<Value> stack;
    for (const Token& t : postfix) {
        if (t.Kind == Tok::Text) {
            stack.push_back({false, false, t.Text});
            continue;
        }
        if (t.Kind == Tok::False) {
            stack.push_back({true, false, {}});
            continue;
        }
        if (t.Kind == Tok::Not) {
            stack.back() = {true, !AsBool(stack.back()), {}};
            continue;
        }
        // The parse leaves two operands for every binary operator.
        Value right = std::move(stack.back());
        stack.pop_back();
        Value& left = stack.back();
        if (t.Kind == Tok::Equal || t.Kind == Tok::NotEqual) {
            if (left.IsBool || right.IsBool)
                throw Failure{"a comparison of a truth value at column " +
                              std::to_string(t.Column)};
            const bool same = SameText(left.Text, right.Text);
            left = {true, t.Kind == Tok::Equal ? same : !same, {}};
        } else {
            const bool a = AsBool(left), b = AsBool(right);
            left = {true, t.Kind == Tok::And ? (a && b) : (a || b), {}};
        }
    }
    return AsBool(stack.back());
}

} // namespace

ConditionResult EvaluateCondition(std::string_view condition, const PropertyExpander& expand) {
    ConditionResult result;
    try {
        std::vector<Token> tokens = ConditionLexer(condition, expand).Tokens();
        if (tokens.empty()) {
            result.Value = true;
            return result;
        }
        result.Value = Evaluate(ToPostfix(tokens));
    } catch (const Failure& f) {
        result.Value = false;
        result.Error = f.Message;
    }
    return result;
}

} // namespace ut
