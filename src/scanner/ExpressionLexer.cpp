#include "scanner/ExpressionLexer.h"

#include <charconv>
#include <cstdint>
#include <cstdlib>

namespace ut {

namespace {

[[noreturn]] void Fail(const std::string& what) {
    throw EExpressionError(what);
}

bool IsNameStart(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsNameChar(char c) {
    return IsNameStart(c) || IsDigit(c);
}

} // namespace

TExprToken TExprLexer::Next() {
    while (FPos < FText.size() && static_cast<unsigned char>(FText[FPos]) <= 32)
        ++FPos;
    TExprToken t;
    if (FPos >= FText.size())
        return t;
    const size_t start = FPos;
    const char c = FText[FPos];
    if (IsNameStart(c)) {
        t.kind = TExprTokenKind::Name;
        t.text = ReadName();
        return t;
    }
    if (IsDigit(c) || c == '$' || c == '%' || c == '&' || c == '\'' || c == '#') {
        t.kind = TExprTokenKind::Value;
        if (IsDigit(c))
            t.value = ReadDecimal();
        else if (c == '\'' || c == '#')
            t.value = TExprValue::Str(ReadString());
        else
            t.value = ReadRadix(c == '$' ? 16 : c == '%' ? 2 : 8);
        t.text = std::string(FText.substr(start, FPos - start));
        return t;
    }
    t.kind = TExprTokenKind::Op;
    for (std::string_view pair : {"<>", "<=", ">="})
        if (FText.substr(FPos, 2) == pair)
            t.text = std::string(pair);
    if (t.text.empty()) {
        if (std::string_view("()=<>+-*/,").find(c) == std::string_view::npos)
            Fail("unexpected '" + std::string(1, c) + "'");
        t.text = std::string(1, c);
    }
    FPos += t.text.size();
    return t;
}

TExprToken TExprLexer::Peek() {
    const size_t saved = FPos;
    TExprToken t = Next();
    FPos = saved;
    return t;
}

// A name, dotted names included (Defined(System.Foo)).
std::string TExprLexer::ReadName() {
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

TExprValue TExprLexer::ReadDecimal() {
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
    // Too large for an integer, or a real.
    return TExprValue::Real(std::strtod(digits.c_str(), nullptr));
}

TExprValue TExprLexer::ReadRadix(int base) {
    const char prefix = FText[FPos++];
    std::uint64_t v = 0;
    size_t digits = 0;
    for (; FPos < FText.size(); ++FPos, ++digits) {
        const char c = FText[FPos];
        const char lower = static_cast<char>(c | 0x20);
        const int d = IsDigit(c) ? c - '0' : lower >= 'a' && lower <= 'f' ? lower - 'a' + 10 : 99;
        if (d >= base)
            break;
        v = v * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(d); // wraps
    }
    if (digits == 0)
        Fail("number expected after '" + std::string(1, prefix) + "'");
    return TExprValue::Int(static_cast<std::int64_t>(v));
}

// Quoted parts ('It''s') and character codes (#13) with nothing between them.
std::string TExprLexer::ReadString() {
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

} // namespace ut
