#pragma once
// The expressions of the {$IF} family of directives, evaluated as the compilers read them:
// Defined(X), Declared(X), SizeOf(T), not/and/or/xor, = <> < > <= >=, + - * / div mod
// shl shr, integer, real and string literals, parentheses and named constants. A name the
// evaluator cannot know is false (0 in arithmetic), so a unit's parse goes on.
//
// The parser keeps its operators and operands on explicit stacks: no input nests it
// deeper into the machine's stack, however many parentheses it holds.
#include "scanner/ExpressionValue.h"

#include <optional>
#include <string>
#include <string_view>

namespace ut {

/// What an expression may ask about the names it holds. Names compare without regard to
/// letter case.
class TExpressionNames {
  public:
    virtual ~TExpressionNames() = default;
    /// Defined(X): a conditional symbol (or macro) is in force.
    virtual bool IsDefined(std::string_view name) const = 0;
    /// The value of a constant or macro; nullopt when the name has none.
    virtual std::optional<TExprValue> ValueOf(std::string_view name) const = 0;
    /// SizeOf(T) in bytes; 0 for a type the evaluator cannot know.
    virtual int SizeOf(std::string_view typeName) const = 0;
};

/// Evaluates `text`. Throws EExpressionError for a malformed expression, a division by zero
/// or operands of types that do not go together. With `endAtUnmatchedParen`, a ')' that
/// closes nothing ends the expression and the rest is not read, as Free Pascal reads
/// `{$if defined(a) and not defined(b))}`.
TExprValue EvaluateExpression(std::string_view text, const TExpressionNames& names,
                              bool endAtUnmatchedParen = false);

/// IsTrue of EvaluateExpression.
bool EvaluateCondition(std::string_view text, const TExpressionNames& names);

} // namespace ut
