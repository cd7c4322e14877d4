#pragma once
// The expressions of the {$IF} family of directives, evaluated as the compilers read them:
// Defined(X), Declared(X), SizeOf(T), not/and/or/xor, = <> < > <= >=, + - * / div mod
// shl shr, integer, real and string literals, parentheses and named constants. A name the
// evaluator cannot know is false (0 in arithmetic), so a unit's parse goes on.
//
// The parser keeps its operators and operands on explicit stacks: no input nests it
// deeper into the machine's stack, however many parentheses it holds.
#include "support/Exceptions.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ut {

/// A value of a directive expression.
struct TExprValue {
    enum class Kind { Bool, Int, Real, Str };
    Kind kind = Kind::Bool;
    bool b = false;
    std::int64_t i = 0;
    double r = 0;
    std::string s;

    static TExprValue Bool(bool v);
    static TExprValue Int(std::int64_t v);
    static TExprValue Real(double v);
    static TExprValue Str(std::string v);
    /// A number with an integral value becomes an Int, any other a Real.
    static TExprValue Number(double v);
};

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

/// A malformed expression. The message says what is wrong ("missing ')'"); the directive
/// layer names the directive, the line and the file around it.
class EExpressionError : public Exception {
    using Exception::Exception;
};

/// Evaluates `text`. Throws EExpressionError for a malformed expression, a division by zero
/// or operands of types that do not go together.
TExprValue EvaluateExpression(std::string_view text, const TExpressionNames& names);

/// The expression as a condition: a Boolean as it is, a number when it is not zero, a
/// string when it is not empty.
bool IsTrue(const TExprValue& value);

/// IsTrue of EvaluateExpression.
bool EvaluateCondition(std::string_view text, const TExpressionNames& names);

} // namespace ut
