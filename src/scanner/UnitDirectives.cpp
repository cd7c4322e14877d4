// The directive layer of TUnit: conditional branches, symbol definitions and include files.
#include "scanner/Unit.h"

#include "platform/FileSystem.h"
#include "support/Exceptions.h"
#include "support/Textutil.h"

#include <algorithm>

namespace ut {

namespace {

bool IsBlank(char c) {
    return static_cast<unsigned char>(c) <= 32;
}

// Does `text` start with `prefix`, ASCII letters folded?
bool StartsWithText(const std::string& text, std::string_view prefix) {
    return text.size() >= prefix.size() && SameTextN(text, prefix, prefix.size());
}

// The directive's argument: the first blank-separated word after the directive name.
std::string DirectiveArg(const std::string& text) {
    const auto blank = std::find_if(text.begin(), text.end(), IsBlank);
    if (blank == text.end())
        return {};
    const std::string rest = Trim(std::string_view(&*blank + 1, text.end() - blank - 1));
    return std::string(rest.begin(), std::find_if(rest.begin(), rest.end(), IsBlank));
}

} // namespace

int TUnit::NextSignificant() {
    return FilterDirectives(Scanner->NextToken());
}

int TUnit::FilterDirectives(int t) {
    for (;;) {
        if (t == toEOF) {
            const bool resumed = PopInclude();
            if (Skipping)
                Scanner->Error("Unclosed ifdef!");
            if (!resumed)
                return toEOF;
            t = Scanner->NextToken(); // the token after the include directive
        } else if (t == toComment) {
            const std::string text = Scanner->CommentText();
            if (!text.empty() && text[0] == '$' && ApplyDirective(text))
                t = Scanner->Token(); // the included file's first token
            else
                t = Scanner->NextToken();
        } else if (t == toLineComment || Skipping) {
            t = Scanner->NextToken();
        } else {
            return t;
        }
    }
}

bool TUnit::ApplyDirective(const std::string& text) {
    const std::string arg = DirectiveArg(text);
    if (StartsWithText(text, "$ifdef")) {
        PushCondition(Defines.IndexOf(arg) >= 0);
    } else if (StartsWithText(text, "$ifndef")) {
        PushCondition(Defines.IndexOf(arg) < 0);
    } else if (StartsWithText(text, "$define")) {
        if (!Skipping)
            Defines.Add(arg);
    } else if (StartsWithText(text, "$else")) {
        if (CondStack.empty())
            Scanner->Error("Unknown $else directive");
        PushCondition(!PopCondition());
    } else if (StartsWithText(text, "$endif")) {
        if (CondStack.empty())
            Scanner->Error("Unknown $endif directive");
        PopCondition();
    } else if (StartsWithText(text, "$undef")) {
        const int index = Skipping ? -1 : Defines.IndexOf(arg);
        if (index >= 0)
            Defines.Delete(index);
    } else if (StartsWithText(text, "$ifopt")) {
        // Compiler switches are not evaluated: the $else branch of every $ifopt is taken.
        PushCondition(false);
    } else if (StartsWithText(text, "$include") || StartsWithText(text, "$i ")) {
        if (!Skipping)
            return IncludeFile(arg);
    }
    return false;
}

void TUnit::PushCondition(bool value) {
    CondStack.push_back(value);
    Skipping = !value || Skipping;
}

bool TUnit::PopCondition() {
    const bool value = CondStack.back();
    CondStack.pop_back();
    Skipping = std::find(CondStack.begin(), CondStack.end(), false) != CondStack.end();
    return value;
}

bool TUnit::IncludeFile(const std::string& name) {
    const std::string path = fs::ExpandFileName(fs::ExtractFilePath(FileName) + name);
    if (!fs::FileExists(path))
        return false;
    // A file that is already being read would include itself for ever.
    const bool open =
        path == FileName || std::any_of(IncludeStack.begin(), IncludeStack.end(),
                                        [&](const IncludeEntry& e) { return e.fileName == path; });
    if (open)
        Scanner->ErrorFmt("Recursive include of file %s", path.c_str());
    // Include files are shared by many sources: a scan reads each from the disk once.
    PushInclude(path, std::make_unique<TTokenizer>(fs::SharedFileText(path), path));
    return true;
}

void TUnit::PushInclude(const std::string& path, std::unique_ptr<TTokenizer> newScanner) {
    IncludeStack.push_back({FileName, std::move(Scanner)});
    FileName = path;
    Scanner = std::move(newScanner);
}

bool TUnit::PopInclude() {
    if (IncludeStack.empty())
        return false;
    Scanner.reset();
    FileName = std::move(IncludeStack.back().fileName);
    Scanner = std::move(IncludeStack.back().scanner);
    IncludeStack.pop_back();
    return true;
}

void TUnit::CloseScanner() {
    Scanner.reset();
    while (PopInclude())
        Scanner.reset();
}

} // namespace ut
