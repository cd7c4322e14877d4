// The directive layer of TUnit: conditional chains, symbol definitions and include files.
#include "scanner/Unit.h"

#include "platform/FileSystem.h"
#include "scanner/DirectiveKind.h"
#include "support/Exceptions.h"
#include "support/Textutil.h"

#include <algorithm>
#include <optional>

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
    {"ifdef", Directive::IfDef},
    {"ifndef", Directive::IfNDef},
    {"ifopt", Directive::IfOpt},
    {"if", Directive::If},
    {"ifc", Directive::If},
    {"elseif", Directive::ElseIf},
    {"elifc", Directive::ElseIf},
    {"else", Directive::Else},
    {"elsec", Directive::Else},
    {"endif", Directive::EndIf},
    {"ifend", Directive::EndIf},
    {"endc", Directive::EndIf},
    {"define", Directive::Define},
    {"undef", Directive::Undef},
    {"setc", Directive::SetC},
    {"include", Directive::Include},
    {"i", Directive::Include},
    {"mode", Directive::Mode},
    {"modeswitch", Directive::ModeSwitch},
    {"macro", Directive::Macro},
    {"error", Directive::UserError},
    {"errorc", Directive::UserError},
    {"fatal", Directive::UserError},
    {"stop", Directive::UserError},
    {"message", Directive::Message},
    {"apptype", Directive::AppType},
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

// The text of {$MESSAGE ERROR 'text'} or {$ERROR text}: quotes around it removed.
std::string MessageText(std::string_view rest) {
    std::string text = Trim(rest);
    if (text.size() >= 2 && text.front() == '\'' && text.back() == '\'') {
        std::string unquoted;
        for (size_t i = 1; i + 1 < text.size(); ++i) {
            unquoted += text[i];
            if (text[i] == '\'' && text[i + 1] == '\'')
                ++i;
        }
        text = unquoted;
    }
    return text;
}

// The name of {$I name} or {$I 'a name'}.
std::string IncludeName(std::string_view rest) {
    const std::string text = Trim(rest);
    if (!text.empty() && text[0] == '\'') {
        const size_t close = text.find('\'', 1);
        return text.substr(1, close == std::string::npos ? std::string::npos : close - 1);
    }
    return std::string(text.begin(), std::find_if(text.begin(), text.end(), IsBlank));
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
        // Free Pascal ends the expression at a ')' that closes nothing; Delphi rejects it.
        return EvaluateExpression(expression, Defines, FMode != TSyntaxMode::None);
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
            return IncludeFile(IncludeName(rest));
        break;
    case Directive::Mode:
        if (!skipping)
            SetMode(DirectiveArg(text));
        break;
    case Directive::ModeSwitch:
    case Directive::Macro:
        if (!skipping)
            SetSwitch(d->name, rest);
        break;
    case Directive::Message: {
        const std::string level = DirectiveArg(text);
        if (!skipping && (SameText(level, "error") || SameText(level, "fatal")))
            Scanner->ErrorFmt("User defined: %s",
                              MessageText(Trim(rest).substr(level.size())).c_str());
        break;
    }
    case Directive::UserError:
        if (!skipping)
            Scanner->ErrorFmt("User defined: %s", MessageText(rest).c_str());
        break;
    case Directive::AppType:
        if (!skipping && SameText(DirectiveArg(text), "CONSOLE")) {
            ConsoleApp = true;
            Defines.Define("CONSOLE");
        }
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

void TUnit::SetMode(std::string_view name) {
    const std::optional<TSyntaxMode> mode = SyntaxModeOfName(name);
    if (FMode == TSyntaxMode::None || !mode)
        return; // read as Delphi reads it, or no mode the compiler knows
    Defines.Undefine(SyntaxModeSymbol(FMode));
    FMode = *mode;
    Defines.Define(SyntaxModeSymbol(FMode));
    FNestedComments = NestsComments(FMode);
    ApplyCommentRules();
}

void TUnit::SetSwitch(std::string_view directive, std::string_view rest) {
    if (FMode == TSyntaxMode::None)
        return;
    std::string arg = Trim(rest);
    bool on = true;
    if (!arg.empty() && (arg.back() == '+' || arg.back() == '-')) {
        on = arg.back() == '+';
        arg = Trim(std::string_view(arg).substr(0, arg.size() - 1));
    }
    if (directive == "macro") {
        FMacros = arg.empty() ? on : SameText(arg, "on");
    } else {
        const size_t blank = arg.find_first_of(" \t");
        const std::string value =
            blank == std::string::npos ? "" : Trim(std::string_view(arg).substr(blank));
        if (!SameText(std::string_view(arg).substr(0, blank), "nestedcomments"))
            return;
        FNestedComments = value.empty() ? on : SameText(value, "on");
    }
    ApplyCommentRules();
}

void TUnit::ApplyCommentRules() {
    if (Scanner)
        Scanner->SetCommentRules({FNestedComments, FMacros && FMode != TSyntaxMode::None});
}

std::string TUnit::FindIncludeFile(const std::string& name) const {
    // As the compiler looks: the including file's directory, then the include path.
    auto find = [this](const std::string& file) -> std::string {
        if (fs::IsAbsolutePath(file))
            return fs::FileExists(file) ? fs::ExpandFileName(file) : std::string();
        std::string path = fs::ExpandFileName(fs::ExtractFilePath(FileName) + file);
        if (fs::FileExists(path))
            return path;
        if (IncludeDirs)
            for (const std::string& dir : *IncludeDirs)
                if (path = fs::ExpandFileName(fs::IncludeTrailingPathDelimiter(dir) + file);
                    fs::FileExists(path))
                    return path;
        return {};
    };
    std::string path = find(name);
    const std::string fileName = fs::ExtractFileName(name);
    if (path.empty() && fileName.find('.') == std::string::npos)
        for (const char* ext : {".inc", ".pp", ".pas"})
            if (!(path = find(name + ext)).empty())
                break;
    if (path.empty() && fileName.size() >= 2 && name.back() == '.')
        path = find(name.substr(0, name.size() - 1));
    return path;
}

bool TUnit::IncludeFile(const std::string& arg) {
    // {$I %DATE%}, {$I %FPCVERSION%} and the like insert a text, not a file.
    if (arg.empty() || arg[0] == '%')
        return false;
    std::string name = arg;
    // {$I *.inc}: the name of the source being read with that extension
    if (fs::ExtractFileName(name)[0] == '*') {
        const std::string file = fs::ExtractFileName(name);
        const size_t dot = file.rfind('.');
        name = name.substr(0, name.size() - file.size()) + fs::FileKey(SourceFileName()) +
               (dot == std::string::npos ? std::string() : file.substr(dot));
    }
    const std::string path = FindIncludeFile(name);
    if (path.empty())
        Scanner->ErrorFmt("Cannot open include file \"%s\"", arg.c_str());
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
    ApplyCommentRules();
}

bool TUnit::PopInclude() {
    if (IncludeStack.empty())
        return false;
    Scanner.reset();
    FileName = std::move(IncludeStack.back().fileName);
    Scanner = std::move(IncludeStack.back().scanner);
    IncludeStack.pop_back();
    ApplyCommentRules(); // the included file may have changed the mode
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
