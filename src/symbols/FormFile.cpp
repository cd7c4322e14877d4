#include "symbols/FormFile.h"

#include "platform/FileReader.h"
#include "platform/FileSystem.h"
#include "scanner/Tokenizer.h"
#include "support/Textutil.h"

#include <exception>

namespace ut {

TFormNames ReadFormFile(const std::string& fileName) {
    TFormNames form;
    if (!fs::FileExists(fileName)) {
        form.Problem = "the form file " + fileName + " was not found";
        return form;
    }
    try {
        std::string text = LoadFileText(fileName);
        // A binary form is a resource (FF 0A 00 ...) or its stream ("TPF0").
        if (text.compare(0, 2, "\xFF\x0A") == 0 || text.compare(0, 4, "TPF0") == 0) {
            form.Problem = "the form file " + fileName + " is binary";
            return form;
        }
        TTokenizer t(std::move(text), fileName);
        const bool textForm =
            t.Token() == toSymbol && (t.TokenSymbolIs("object") || t.TokenSymbolIs("inherited") ||
                                      t.TokenSymbolIs("inline"));
        if (!textForm) {
            form.Problem = "the form file " + fileName + " is no text form";
            return form;
        }
        // `object Button1: TButton`, `Align = alClient`, `Style = [fsBold, fsItalic]`.
        int prev = toEOF, brackets = 0;
        for (int k = t.Token(); k != toEOF; k = t.NextToken()) {
            if (k == toComment || k == toLineComment)
                continue;
            if (k == '[' || k == '(')
                ++brackets;
            else if ((k == ']' || k == ')') && brackets > 0)
                --brackets;
            const bool value = prev == ':' || prev == '=' ||
                               (brackets > 0 && (prev == '[' || prev == '(' || prev == ','));
            if (k == toSymbol && value)
                form.Names.emplace_back(std::string(t.TokenText()), t.SourceLine());
            prev = k;
        }
    } catch (const std::exception& e) {
        form.Names.clear();
        form.Problem = "the form file " + fileName + " cannot be read: " + e.what();
    }
    return form;
}

} // namespace ut
