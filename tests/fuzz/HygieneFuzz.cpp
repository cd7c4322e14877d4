// libFuzzer target: the symbol reader, the form file reader and the uses edits. Reading any
// source ends with its symbols (or its failure), never an exception; the edits of every
// entry stay inside the text, never overlap, and leave a text that still reads as tokens.
//
// Input layout: the bytes up to the first NUL are the source P.pas, the bytes after it its
// form P.dfm, which {$R *.dfm} in the source reads.
#include "FuzzSupport.h"

#include "support/Exceptions.h"
#include "symbols/FormFile.h"
#include "symbols/UnitSymbols.h"
#include "symbols/UsesEdit.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using ut::fuzz::Check;
    const auto [sourceText, formText] =
        ut::fuzz::SplitAtNul({reinterpret_cast<const char*>(data), size});
    const std::string source = ut::fuzz::WriteTempFile("P.pas", sourceText);
    (void)ut::ReadFormFile(ut::fuzz::WriteTempFile("P.dfm", formText));
    const ut::TUnitSymbols s = ut::ReadUnitSymbols(source);
    Check(!s.Files.empty() && s.Files[0] == source, "the source is not the first file");
    for (const ut::TReference& r : s.References)
        Check(!r.Name.empty() && r.Count[0] + r.Count[1] > 0, "an empty reference");
    std::vector<ut::TUsesChange> changes;
    for (const ut::TUsesItem& item : s.UsesItems) {
        Check(!item.Name.empty(), "an empty uses item");
        if (item.Site.File == 0)
            changes.push_back({item.Name, item.Site.Line, item.Interface});
    }
    const std::string text(sourceText);
    try {
        const ut::TUsesEdits plan = ut::PlanUsesEdits(text, source, changes);
        size_t end = 0;
        for (const ut::TByteEdit& e : plan.Edits) {
            Check(e.Offset >= end && e.Offset + e.Length <= text.size(), "edits overlap");
            end = e.Offset + e.Length;
        }
        (void)ut::PlanUsesEdits(ut::ApplyEdits(text, plan.Edits), source, changes);
    } catch (const ut::EParserError&) {
        // The text is no token stream; an edited one that is not would fail again above.
    }
    return 0;
}
