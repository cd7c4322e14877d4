#pragma once
// The tokens of {$IF} expressions: names (dotted ones too), numbers (decimal, real, $hex,
// %binary, &octal), strings ('It''s'#13), and the operator and bracket characters.
#include "scanner/ExpressionValue.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace ut {

enum class TExprTokenKind { End, Value, Name, Op };

struct TExprToken {
    TExprTokenKind kind = TExprTokenKind::End;
    std::string text; ///< the token as written
    TExprValue value; ///< a literal's value
};

class TExprLexer {
  public:
    explicit TExprLexer(std::string_view text) : FText(text) {}
    /// The next token; throws EExpressionError for a character no token starts with, an
    /// unclosed string or a radix prefix without digits.
    TExprToken Next();
    /// The next token without consuming it.
    TExprToken Peek();

  private:
    std::string ReadName();
    TExprValue ReadDecimal();
    TExprValue ReadRadix(int base);
    std::string ReadString();

    std::string_view FText;
    size_t FPos = 0;
};

} // namespace ut
