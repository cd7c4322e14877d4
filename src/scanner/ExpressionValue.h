#pragma once
// The values of {$IF} expressions and what the operators make of them, as the compilers
// compute them: integers wrap, '/' divides as reals, Booleans count as 0 and 1 in
// arithmetic, a string never equals a number.
#include "support/Exceptions.h"

#include <cstdint>
#include <string>

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

/// The expression as a condition: a Boolean as it is, a number when it is not zero, a
/// string when it is not empty.
bool IsTrue(const TExprValue& value);

enum class TExprOp {
    Not, ///< unary: not, -, +
    Neg,
    Pos,
    Mul, ///< multiplying: * / div mod and shl shr
    Divide,
    IntDiv,
    Mod,
    And,
    Shl,
    Shr,
    Add, ///< adding: + - or xor
    Sub,
    Or,
    Xor,
    Eq, ///< relational: = <> < > <= >=
    Ne,
    Lt,
    Gt,
    Le,
    Ge,
};

/// `a op b` for a binary operator. Throws EExpressionError for a division by zero and for
/// operands of types that do not go together.
TExprValue ApplyBinary(TExprOp op, const TExprValue& a, const TExprValue& b);
/// `op a` for not, - and +.
TExprValue ApplyUnary(TExprOp op, const TExprValue& a);

} // namespace ut
