#include "scanner/ExpressionValue.h"

#include <cmath>

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

TExprValue Arithmetic(TExprOp op, const TExprValue& a, const TExprValue& b) {
    if (op == TExprOp::Add && a.kind == Kind::Str && b.kind == Kind::Str)
        return TExprValue::Str(a.s + b.s);
    if (!IsNumeric(a) || !IsNumeric(b))
        Incompatible();
    const bool real = a.kind == Kind::Real || b.kind == Kind::Real;
    if (op == TExprOp::Divide) {
        if (AsReal(b) == 0)
            Fail("division by zero");
        return TExprValue::Real(AsReal(a) / AsReal(b));
    }
    if (real) {
        if (op == TExprOp::Add)
            return TExprValue::Real(AsReal(a) + AsReal(b));
        if (op == TExprOp::Sub)
            return TExprValue::Real(AsReal(a) - AsReal(b));
        if (op == TExprOp::Mul)
            return TExprValue::Real(AsReal(a) * AsReal(b));
        Incompatible(); // div, mod and the shifts take integers only
    }
    const std::int64_t x = AsInt(a), y = AsInt(b);
    const auto ux = static_cast<std::uint64_t>(x), uy = static_cast<std::uint64_t>(y);
    switch (op) {
    case TExprOp::Add:
        return TExprValue::Int(Wrap(ux + uy));
    case TExprOp::Sub:
        return TExprValue::Int(Wrap(ux - uy));
    case TExprOp::Mul:
        return TExprValue::Int(Wrap(ux * uy));
    case TExprOp::IntDiv:
    case TExprOp::Mod:
        if (y == 0)
            Fail("division by zero");
        if (y == -1) // the one quotient that does not fit
            return TExprValue::Int(op == TExprOp::Mod ? 0 : Wrap(0 - ux));
        return TExprValue::Int(op == TExprOp::Mod ? x % y : x / y);
    case TExprOp::Shl:
        return TExprValue::Int(Wrap(ux << (uy & 63)));
    case TExprOp::Shr:
        return TExprValue::Int(Wrap(ux >> (uy & 63)));
    default:
        Incompatible();
    }
}

TExprValue Logical(TExprOp op, const TExprValue& a, const TExprValue& b) {
    if (a.kind == Kind::Bool && b.kind == Kind::Bool) {
        const bool r = op == TExprOp::And  ? a.b && b.b
                       : op == TExprOp::Or ? a.b || b.b
                                           : a.b != b.b;
        return TExprValue::Bool(r);
    }
    if (a.kind == Kind::Str || b.kind == Kind::Str || a.kind == Kind::Real || b.kind == Kind::Real)
        Incompatible();
    const std::int64_t x = AsInt(a), y = AsInt(b);
    return TExprValue::Int(op == TExprOp::And ? x & y : op == TExprOp::Or ? x | y : x ^ y);
}

// A string and a number are never equal; order between them is never true.
TExprValue Compare(TExprOp op, const TExprValue& a, const TExprValue& b) {
    int order = 0;
    if (a.kind == Kind::Str && b.kind == Kind::Str) {
        order = a.s.compare(b.s);
    } else if (a.kind == Kind::Str || b.kind == Kind::Str) {
        return TExprValue::Bool(op == TExprOp::Ne);
    } else if (a.kind == Kind::Real || b.kind == Kind::Real) {
        const double x = AsReal(a), y = AsReal(b);
        order = x < y ? -1 : x > y ? 1 : 0;
    } else {
        const std::int64_t x = AsInt(a), y = AsInt(b);
        order = x < y ? -1 : x > y ? 1 : 0;
    }
    switch (op) {
    case TExprOp::Eq:
        return TExprValue::Bool(order == 0);
    case TExprOp::Ne:
        return TExprValue::Bool(order != 0);
    case TExprOp::Lt:
        return TExprValue::Bool(order < 0);
    case TExprOp::Gt:
        return TExprValue::Bool(order > 0);
    case TExprOp::Le:
        return TExprValue::Bool(order <= 0);
    default:
        return TExprValue::Bool(order >= 0);
    }
}

} // namespace

TExprValue ApplyUnary(TExprOp op, const TExprValue& a) {
    if (op == TExprOp::Not) {
        if (a.kind == Kind::Bool)
            return TExprValue::Bool(!a.b);
        if (a.kind == Kind::Int)
            return TExprValue::Int(~a.i);
        Incompatible();
    }
    if (!IsNumeric(a))
        Incompatible();
    if (op == TExprOp::Pos)
        return a.kind == Kind::Real ? a : TExprValue::Int(AsInt(a));
    if (a.kind == Kind::Real)
        return TExprValue::Real(-a.r);
    return TExprValue::Int(Wrap(0 - static_cast<std::uint64_t>(AsInt(a))));
}

TExprValue ApplyBinary(TExprOp op, const TExprValue& a, const TExprValue& b) {
    if (op >= TExprOp::Eq)
        return Compare(op, a, b);
    if (op == TExprOp::And || op == TExprOp::Or || op == TExprOp::Xor)
        return Logical(op, a, b);
    return Arithmetic(op, a, b);
}

} // namespace ut
