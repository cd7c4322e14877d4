// The directive layer of TUnit: conditional chains, symbol definitions and include files.
#include "scanner/Unit.h"

#include "platform/FileSystem.h"
#include "scanner/DirectiveKind.h"
#include "support/Exceptions.h"
#include "support/Textutil.h"

#include <algorithm>

namespace ut {

namespace {

bool IsBlank(char c) {
    return static_cast<unsigned char>(c) <= 32;
}

bool IsWordChar(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

// The directive's argument: the first blank-separated word after the directive name.
std::string DirectiveArg(const std::string& text) {
    const auto blank = std::find_if(text.begin(), text.end(), IsBlank);
    if (blank == text.end())
        return {};
    const std::string rest = Trim(std::string_view(&*blank + 1, text.end() - blank - 1));
    return std::string(rest.begin(), std::find_if(rest.begin(), rest.end(), IsBlank));
}

using Directive = TDirectiveKind;

struct DirectiveName {
    std::string_view name; ///< as the message texts spell it
    Directive kind;
};

// Mac Pascal's {$IFC}/{$ELIFC}/{$ELSEC}/{$ENDC} are the {$IF} chain under other names.
const DirectiveName DirectiveNames[] = {
    {"ifdef", Directive::IfDef},     {"ifndef", Directive::IfNDef}, {"ifopt", Directive::IfOpt},
    {"if", Directive::If},           {"ifc", Directive::If},        {"elseif", Directive::ElseIf},
    {"elifc", Directive::ElseIf},    {"else", Directive::Else},     {"elsec", Directive::Else},
    {"endif", Directive::EndIf},     {"ifend", Directive::EndIf},   {"endc", Directive::EndIf},
    {"define", Directive::Define},   {"undef", Directive::Undef},   {"setc", Directive::SetC},
    {"include", Directive::Include}, {"i", Directive::Include},
};

// The directive's name (the word after '$') and what it is. {$I name} includes a file;
// {$I+} and {$I-} are a switch.
const DirectiveName* Classify(const std::string& text, size_t& wordEnd) {
    wordEnd = 1;
    while (wordEnd < text.size() && IsWordChar(text[wordEnd]))
        ++wordEnd;
    const std::string_view word = std::string_view(text).substr(1, wordEnd - 1);
    for (const DirectiveName& d : DirectiveNames) {
        if (d.name.size() != word.size() || !SameTextN(word, d.name, word.size()))
            continue;
        if (d.name == "i" && (wordEnd >= text.size() || !IsBlank(text[wordEnd])))
            return nullptr;
        return &d;
    }
    return nullptr;
}

// "{$IFDEF   DEBUG }" -> "IFDEF DEBUG": the name in capitals and the trimmed rest.
std::string BranchText(std::string_view name, std::string_view rest) {
    std::string text = AsciiUpper(name);
    const std::string trimmed = Trim(rest);
    if (!trimmed.empty())
        text += ' ' + trimmed;
    return text;
}

} // namespace

TDirectiveKind DirectiveKindOf(const std::string& text, size_t& wordEnd) {
    const DirectiveName* d = Classify(text, wordEnd);
    return d ? d->kind : TDirectiveKind::Other;
}

std::string DirectiveArgument(const std::string& text) {
    return DirectiveArg(text);
}

int TUnit::NextSignificant() {
    return FilterDirectives(Scanner->NextToken());
}

int TUnit::FilterDirectives(int t) {
    for (;;) {
        if (t == toEOF) {
            const bool resumed = PopInclude();
            if (CondStack.Skipping())
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
        } else if (t == toLineComment || CondStack.Skipping()) {
            t = Scanner->NextToken();
        } else {
            return t;
        }
    }
}

TExprValue TUnit::EvaluateValue(std::string_view name, std::string_view expression) {
    try {
        return EvaluateExpression(expression, Defines);
    } catch (const EExpressionError& e) {
        Scanner->ErrorFmt("Invalid $%.*s expression: %s", static_cast<int>(name.size()),
                          name.data(), e.what());
    }
}

bool TUnit::Evaluate(std::string_view name, std::string_view expression) {
    return IsTrue(EvaluateValue(name, expression));
}

bool TUnit::ApplyDirective(const std::string& text) {
    size_t wordEnd = 0;
    const DirectiveName* d = Classify(text, wordEnd);
    if (!d)
        return false;
    const std::string_view rest = std::string_view(text).substr(wordEnd);
    const bool skipping = CondStack.Skipping();
    switch (d->kind) {
    case Directive::IfDef:
    case Directive::IfNDef:
    case Directive::IfOpt:
    case Directive::If: {
        if (CondStack.Depth() >= MaxConditionDepth)
            Scanner->ErrorFmt("Conditional directives nested deeper than %zu levels",
                              MaxConditionDepth);
        const std::string arg = d->kind == Directive::If ? Trim(rest) : DirectiveArg(text);
        bool take = false;
        // Compiler switches are not evaluated: the $else branch of every $ifopt is taken.
        if (skipping || d->kind == Directive::IfOpt)
            take = false;
        else if (d->kind == Directive::If)
            take = Evaluate(d->name, rest);
        else
            take = Defines.Contains(arg) == (d->kind == Directive::IfDef);
        CondStack.Open(take, BranchText(d->name, arg));
        break;
    }
    case Directive::ElseIf:
    case Directive::Else: {
        if (CondStack.Empty())
            Scanner->ErrorFmt("Unknown $%s directive", std::string(d->name).c_str());
        if (CondStack.ElseSeen())
            Scanner->ErrorFmt("$%s after $else", std::string(d->name).c_str());
        const bool isElse = d->kind == Directive::Else;
        // Only the first true branch is read: later conditions are not evaluated.
        const bool take = isElse || (CondStack.Undecided() && Evaluate(d->name, rest));
        CondStack.Branch(take, isElse, BranchText(d->name, rest));
        break;
    }
    case Directive::EndIf:
        if (CondStack.Empty())
            Scanner->ErrorFmt("Unknown $%s directive", std::string(d->name).c_str());
        CondStack.Close();
        break;
    case Directive::Define:
    case Directive::SetC:
        if (!skipping)
            DefineSymbol(d->kind == Directive::SetC, rest);
        break;
    case Directive::Undef:
        if (!skipping)
            Defines.Undefine(DirectiveArg(text));
        break;
    case Directive::Include:
        if (!skipping)
            return IncludeFile(DirectiveArg(text));
        break;
    case Directive::Other:
        break;
    }
    return false;
}

// {$DEFINE X}, and the macros {$DEFINE X := value} (Free Pascal) and {$SETC X := value}
// (Mac Pascal, which also writes '='). A Free Pascal macro whose value is no expression
// keeps its text.
void TUnit::DefineSymbol(bool setc, std::string_view rest) {
    const std::string text = Trim(rest);
    size_t end = 0;
    while (end < text.size() && !IsBlank(text[end]) && text.compare(end, 2, ":=") != 0 &&
           !(setc && text[end] == '='))
        ++end;
    const std::string name = text.substr(0, end);
    std::string value = Trim(std::string_view(text).substr(end));
    const size_t assign = value.compare(0, 2, ":=") == 0          ? 2
                          : setc && value.compare(0, 1, "=") == 0 ? 1
                                                                  : 0;
    if (assign == 0) {
        Defines.Define(name);
        return;
    }
    value.erase(0, assign);
    if (setc) {
        Defines.DefineValue(name, EvaluateValue("setc", value));
        return;
    }
    try {
        Defines.DefineValue(name, EvaluateExpression(value, Defines));
    } catch (const EExpressionError&) {
        Defines.DefineValue(name, TExprValue::Str(Trim(value)));
    }
}

bool TUnit::IncludeFile(const std::string& name) {
    std::string path = fs::ExpandFileName(fs::ExtractFilePath(FileName) + name);
    bool found = fs::FileExists(path);
    if (!found && IncludeDirs) {
        // Then the include path, in order.
        for (const std::string& dir : *IncludeDirs) {
            path = fs::ExpandFileName(fs::IncludeTrailingPathDelimiter(dir) + name);
            if ((found = fs::FileExists(path)))
                break;
        }
    }
    if (!found)
        return false;
    // A file that is already being read, under any spelling, would include itself for ever.
    const bool open =
        fs::SamePath(path, FileName) ||
        std::any_of(IncludeStack.begin(), IncludeStack.end(),
                    [&](const IncludeEntry& e) { return fs::SamePath(e.fileName, path); });
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
    // The record outlives its parse for the whole scan: nothing kept that it no longer needs.
    std::vector<IncludeEntry>().swap(IncludeStack);
    UseSites.shrink_to_fit();
}

} // namespace ut
