#include "symbols/SymbolTokens.h"

#include "platform/FileSystem.h"
#include "scanner/DirectiveKind.h"
#include "scanner/ExpressionLexer.h"
#include "support/Exceptions.h"
#include "support/Textutil.h"

#include <algorithm>

namespace ut {

namespace {

/// Include files nested deeper than this are not read (each level is a file of its own).
constexpr size_t MaxIncludeDepth = 64;

// The comment's text without its delimiters.
std::string_view CommentInside(int kind, std::string_view text) {
    if (kind == toLineComment)
        return text.substr(2);
    return text[0] == '{' ? text.substr(1, text.size() - 2) : text.substr(2, text.size() - 4);
}

std::string_view TrimView(std::string_view s) {
    while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ')
        s.remove_prefix(1);
    while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ')
        s.remove_suffix(1);
    return s;
}

// `unitrace: keep`, blanks around the words allowed. Every comment of a source comes here.
bool IsKeepMark(std::string_view comment) {
    const std::string_view text = TrimView(comment);
    if (text.size() < 13 || (text[0] | 0x20) != 'u')
        return false;
    const size_t colon = text.find(':');
    return colon != std::string::npos && IsWord(TrimView(text.substr(0, colon)), "unitrace") &&
           IsWord(TrimView(text.substr(colon + 1)), "keep");
}

// A directive's argument that may be quoted: {$I 'my file.inc'}.
std::string Unquoted(std::string_view rest) {
    std::string s = Trim(rest);
    if (s.size() >= 2 && s.front() == '\'') {
        const size_t close = s.find('\'', 1);
        return s.substr(1, (close == std::string::npos ? s.size() : close) - 1);
    }
    return s.substr(0, std::min(s.size(), s.find_first_of(" \t\r\n")));
}

} // namespace

std::uint64_t TextFingerprint(std::string_view text) {
    return std::hash<std::string_view>()(text);
}

TSymbolTokens::TSymbolTokens(std::unique_ptr<TTokenizer> scanner, const std::string& fileName,
                             std::shared_ptr<TIncludeFinder> includes, TUnitSymbols& out)
    : FOut(out), FIncludes(includes ? std::move(includes) : std::make_shared<TIncludeFinder>()) {
    const std::uint32_t file = FileIndex(fileName);
    FOpen.push_back({std::move(scanner), file});
}

TSymbolTokens::~TSymbolTokens() = default;

const TSymbolToken& TSymbolTokens::Next() {
    for (;;) {
        if (!FQueued.empty()) {
            FQueuedText = std::move(FQueued.front().first);
            FToken = {tkDirectiveName, FQueuedText, FQueued.front().second, ++FOrder, FDepth};
            FQueued.pop_front();
            return FToken;
        }
        Open& top = FOpen.back();
        if (top.Advance) {
            top.Advance = false;
            top.Scanner->NextToken();
        }
        TTokenizer& s = *top.Scanner;
        const int kind = s.Token();
        if (kind == toEOF && FOpen.size() > 1) {
            FOpen.pop_back(); // the includer goes on after the directive
            continue;
        }
        top.Advance = true;
        const TSymbolSite site{top.File, s.SourceLine()};
        if (kind == toComment || kind == toLineComment) {
            const std::string_view inside = CommentInside(kind, s.TokenText());
            if (kind == toComment && !inside.empty() && inside[0] == '$')
                Directive(std::string(inside), site); // may open an include file
            else if (IsKeepMark(inside))
                return FToken = {tkKeepMark, {}, site, ++FOrder, FDepth};
            continue;
        }
        return FToken = {kind, s.TokenText(), site, ++FOrder, FDepth};
    }
}

bool TSymbolTokens::Directive(const std::string& text, const TSymbolSite& site) {
    size_t wordEnd = 0;
    const TDirectiveKind kind = DirectiveKindOf(text, wordEnd);
    const std::string_view word = std::string_view(text).substr(1, wordEnd - 1);
    const std::string_view rest = std::string_view(text).substr(wordEnd);
    switch (kind) {
    case TDirectiveKind::IfDef:
    case TDirectiveKind::IfNDef:
    case TDirectiveKind::IfOpt:
        ++FDepth;
        break;
    case TDirectiveKind::If:
        ++FDepth;
        QueueNames(rest, site);
        break;
    case TDirectiveKind::ElseIf:
        QueueNames(rest, site);
        break;
    case TDirectiveKind::EndIf:
        FDepth = std::max(0, FDepth - 1);
        break;
    case TDirectiveKind::Define:
    case TDirectiveKind::SetC: {
        // A macro's value may name anything: {$DEFINE X := Foo}, {$SETC X := Y > 1}.
        size_t assign = rest.find(":=");
        if (assign != std::string_view::npos && kind == TDirectiveKind::Define)
            QueueNames(rest.substr(assign + 2), site, &FMacros[Trim(rest.substr(0, assign))]);
        else if (assign != std::string_view::npos)
            QueueNames(rest.substr(assign + 2), site);
        else if (kind == TDirectiveKind::SetC && (assign = rest.find('=')) != rest.npos)
            QueueNames(rest.substr(assign + 1), site);
        break;
    }
    case TDirectiveKind::Include:
        return Include(Unquoted(rest));
    case TDirectiveKind::Else:
    case TDirectiveKind::Undef:
    case TDirectiveKind::AppType:
    case TDirectiveKind::Mode:
    case TDirectiveKind::ModeSwitch:
    case TDirectiveKind::Macro:
    case TDirectiveKind::UserError:
    case TDirectiveKind::Message:
        break;
    case TDirectiveKind::Other:
        if (IsWord(word, "R") || IsWord(word, "RESOURCE")) {
            NoteForm(rest);
        } else if (IsWord(word, "SCOPEDENUMS")) {
            // Inside a branch only OFF counts: enumeration values then stay declared.
            const bool on = IsWord(Unquoted(rest), "ON");
            if (!on || FDepth == 0)
                FScopedEnums = on;
        }
        break;
    }
    return false;
}

void TSymbolTokens::QueueNames(std::string_view expression, const TSymbolSite& site,
                               std::vector<std::string>* names) {
    // Defined(X) names a conditional symbol, not a declaration; Declared(X) and every other
    // name of the expression may be one.
    static const TNameSet words = {"and",  "or",    "not",    "xor",      "div",      "mod",
                                   "shl",  "shr",   "in",     "defined",  "declared", "sizeof",
                                   "true", "false", "option", "undefined"};
    TExprLexer lexer(expression);
    bool symbolNext = false;
    try {
        for (TExprToken t = lexer.Next(); t.kind != TExprTokenKind::End; t = lexer.Next()) {
            if (t.kind != TExprTokenKind::Name) {
                if (t.text != "(")
                    symbolNext = false;
                continue;
            }
            if (symbolNext) {
                symbolNext = false;
                continue;
            }
            if (IsWord(t.text, "defined") || IsWord(t.text, "undefined")) {
                symbolNext = true;
                continue;
            }
            if (words.count(t.text))
                continue;
            const size_t dot = t.text.find('.');
            if (dot != std::string::npos)
                FQueued.emplace_back(t.text.substr(0, dot), site);
            if (names)
                names->push_back(t.text);
            FQueued.emplace_back(std::move(t.text), site);
        }
    } catch (const EExpressionError&) {
        // The names before the malformed part are queued; the compiler rejects the rest.
    }
}

void TSymbolTokens::NoteForm(std::string_view argument) {
    std::string name = Unquoted(argument);
    if (IndexOfExt(name, {".dfm", ".lfm", ".fmx", ".xfm"}) < 0)
        return;
    // `*` stands for the source's own name, wherever the directive stands.
    if (const size_t star = name.find('*'); star != std::string::npos)
        name.replace(star, 1, fs::FileKey(FOut.Files[0]));
    const std::string path = fs::ExpandFileName(fs::ExtractFilePath(FOut.Files[0]) + name);
    if (std::find(FOut.FormFiles.begin(), FOut.FormFiles.end(), path) == FOut.FormFiles.end())
        FOut.FormFiles.push_back(path);
}

bool TSymbolTokens::Include(std::string name) {
    // {$I %DATE%} inserts a text of the compiler's, not a file.
    if (name.empty() || name[0] == '%' || FOpen.size() >= MaxIncludeDepth)
        return false;
    const std::string path = FIncludes->Find(FOut.Files[FOpen.back().File], name);
    if (path.empty()) {
        if (std::find(FOut.MissingIncludes.begin(), FOut.MissingIncludes.end(), name) ==
            FOut.MissingIncludes.end())
            FOut.MissingIncludes.push_back(name);
        return false;
    }
    // A file already open is not read again inside itself (include guards hold in one
    // configuration only; every branch is read here).
    for (const Open& o : FOpen)
        if (fs::SamePath(FOut.Files[o.File], path))
            return false;
    auto scanner = std::make_unique<TTokenizer>(fs::SharedFileText(path), path);
    const std::uint32_t file = FileIndex(path);
    FOpen.push_back({std::move(scanner), file});
    return true;
}

std::uint32_t TSymbolTokens::FileIndex(const std::string& path) {
    for (size_t i = 0; i < FOut.Files.size(); ++i)
        if (FOut.Files[i] == path)
            return static_cast<std::uint32_t>(i);
    FOut.Files.push_back(path);
    return static_cast<std::uint32_t>(FOut.Files.size() - 1);
}

} // namespace ut
