// libFuzzer target: the {$IF} expression evaluator must return a value or throw
// EExpressionError for any text, never crash, overflow the stack or hang, and give the
// same answer twice.
#include "scanner/DirectiveExpression.h"
#include "scanner/UnitDefines.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace {

const ut::TDefines& Names() {
    static const ut::TDefines names = [] {
        auto base = std::make_shared<ut::TCompilerSymbols>();
        for (const char* s : {"FPC", "MSWINDOWS", "DEBUG", "CPU64"})
            base->Define(s);
        base->SetConstant("CompilerVersion", 15.0);
        base->SetConstant("FPC_FULLVERSION", 30202);
        base->PointerSize = 8;
        ut::TDefines d;
        d.SetBase(base);
        d.DefineValue("Text", ut::TExprValue::Str("abc"));
        return d;
    }();
    return names;
}

// The outcome as comparable text: the value, or the failure's message.
std::string Outcome(std::string_view text) {
    try {
        const ut::TExprValue v = ut::EvaluateExpression(text, Names());
        return std::to_string(static_cast<int>(v.kind)) + (ut::IsTrue(v) ? "t" : "f") +
               std::to_string(v.i) + v.s;
    } catch (const ut::EExpressionError& e) {
        return e.what();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (Outcome(text) != Outcome(text)) {
        std::fprintf(stderr, "invariant broken: two evaluations differ\n");
        std::abort();
    }
    return 0;
}
