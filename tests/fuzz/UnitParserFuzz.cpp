// libFuzzer target: the Pascal tokenizer and the unit parser. The tokenizer must turn any bytes
// into a token stream or an EParserError, every token but the last consuming at least one byte.
// The parser must end every source in a final state with no scanner left open.
//
// Input layout: the bytes up to the first NUL are the source P.pas, the bytes after it the
// include file inc.inc, so that {$I inc.inc} reads fuzzed text too.
#include "FuzzSupport.h"

#include "platform/FileSystem.h"
#include "scanner/Tokenizer.h"
#include "scanner/Unit.h"
#include "support/Exceptions.h"

#include <cstddef>
#include <cstdint>
#include <memory>

namespace {

using ut::fuzz::Fail;

void Tokenize(std::string_view bytes) {
    try {
        ut::TTokenizer scanner{std::string(bytes), "fuzz.pas"};
        std::size_t tokens = 0;
        for (int t = scanner.Token(); t != ut::toEOF; t = scanner.NextToken()) {
            if (++tokens > bytes.size())
                Fail("a token consumed no input");
            if (t == ut::toComment)
                (void)scanner.CommentText();
            else if (t == ut::toWString && scanner.WideStr().empty())
                Fail("wide string without characters");
            else if (t == ut::toSymbol && scanner.TokenString().empty())
                Fail("empty identifier");
        }
    } catch (const ut::EParserError&) {
    }
}

void Parse(std::string_view bytes) {
    const auto [sourceText, includeText] = ut::fuzz::SplitAtNul(bytes);
    const std::string source = ut::fuzz::WriteTempFile("P.pas", sourceText);
    ut::fuzz::WriteTempFile("inc.inc", includeText);

    ut::UnitErrorHook = [](ut::TUnit&, const std::exception& e) { (void)std::string(e.what()); };
    std::unique_ptr<ut::TProject> unit;
    try {
        unit = std::make_unique<ut::TProject>(source);
    } catch (const ut::EParserError&) {
        return; // a malformed first token refuses the record
    }
    static const ut::SharedCompilerSymbols symbols = [] {
        auto table = std::make_shared<ut::TCompilerSymbols>();
        for (const char* s : {"DEBUG", "MSWINDOWS", "FPC", "CPU64"})
            table->Define(s);
        table->SetConstant("CompilerVersion", 15.0);
        table->SetConstant("FPC_FULLVERSION", 30202);
        table->PointerSize = 8;
        return table;
    }();
    unit->SetSymbols(symbols); // {$IF} expressions find constants to compare
    // Parse makes the source's directory current; libFuzzer reads its corpus by relative paths.
    static const std::string cwd = ut::fs::GetCurrentDir();
    unit->Parse();
    ut::fs::SetCurrentDir(cwd);
    if (unit->ParseState != 7 && unit->ParseState != 8)
        Fail("parse ended in a state that is not final");
    if (unit->CurrentScanner() != nullptr)
        Fail("scanner left open");
    if (unit->FileName != source)
        Fail("file name not restored after the include files");
    for (int i = 0; i < unit->Uses.Count(); ++i)
        if (unit->Uses[i].empty())
            Fail("empty name in the uses list");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    Tokenize(bytes);
    Parse(bytes);
    return 0;
}
