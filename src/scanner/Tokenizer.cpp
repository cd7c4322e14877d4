#include "scanner/Tokenizer.h"

#include "platform/FileReader.h"
#include "support/Exceptions.h"
#include "support/Textutil.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <vector>

namespace ut {

namespace {

const char* const LineTooLong = "Řádka je příliš dlouhá!";

bool IsIdentStart(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}
bool IsDigit(unsigned char c) {
    return c >= '0' && c <= '9';
}
bool IsIdentChar(unsigned char c) {
    return IsIdentStart(c) || IsDigit(c);
}
bool IsNumberTail(unsigned char c) {
    return IsDigit(c) || c == '.' || c == 'e' || c == 'E' || c == '+' || c == '-';
}
bool IsFloatSuffix(unsigned char c) {
    return c == 'c' || c == 'C' || c == 'd' || c == 'D' || c == 's' || c == 'S';
}
bool IsHexDigit(unsigned char c) {
    return IsDigit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

bool SameAsciiText(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
        if (x >= 'a' && x <= 'z')
            x = static_cast<unsigned char>(x - 32);
        if (y >= 'a' && y <= 'z')
            y = static_cast<unsigned char>(y - 32);
        if (x != y)
            return false;
    }
    return true;
}

// Start of the first line, from `from` on, whose characters (line feed excluded) number
// MaxLineLength or more; npos when every line is short enough.
size_t FindLongLine(const std::string& text, size_t from) {
    size_t start = from;
    while (start < text.size()) {
        const void* lf = std::memchr(text.data() + start, '\n', text.size() - start);
        const size_t end =
            lf ? static_cast<size_t>(static_cast<const char*>(lf) - text.data()) : text.size();
        if (end - start >= MaxLineLength)
            return start;
        if (!lf)
            break;
        start = end + 1;
    }
    return std::string::npos;
}

} // namespace

TTokenizer::TTokenizer(std::string text, std::string fileName)
    : FText(std::move(text)), FFileName(std::move(fileName)) {
    Start();
}

TTokenizer::TTokenizer(std::unique_ptr<TFileReader> reader, std::string fileName)
    : FFileName(std::move(fileName)) {
    reader->Read(FText, FirstReadSize);
    if (!reader->AtEnd())
        FReader = std::move(reader);
    Start();
}

void TTokenizer::Start() {
    if (FText.compare(0, 3, "\xEF\xBB\xBF") == 0)
        FSourcePtr = 3;
    Prepare(0);
    NextToken();
}

TTokenizer::~TTokenizer() = default;

std::unique_ptr<TTokenizer> TTokenizer::Open(const std::string& fileName) {
    return std::unique_ptr<TTokenizer>(
        new TTokenizer(std::make_unique<TFileReader>(fileName), fileName));
}

void TTokenizer::Prepare(size_t from) {
    // A NUL byte ends the text, as the terminating sentinel does.
    const size_t nul = FText.find('\0', from);
    if (nul != std::string::npos) {
        FText.resize(nul);
        FReader.reset();
    }
    const size_t bom = FText.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    if (FReader) {
        // The scanner sees whole lines only: the length of a line is known before the scan
        // enters it, so a long line fails wherever the pieces of the file end. A last line
        // long enough to fail already is shown.
        const size_t lf = FText.rfind('\n');
        const size_t last = lf == std::string::npos ? bom : lf + 1;
        if (FText.size() - last < MaxLineLength) {
            FHeld.assign(FText, last);
            FText.resize(last);
        }
    }
    if (FLongLine == std::string::npos) {
        // From the first line, or from the line that was last when `from` was the end.
        const size_t lf = from ? FText.rfind('\n', from - 1) : std::string::npos;
        FLongLine = FindLongLine(FText, lf == std::string::npos ? bom : lf + 1);
    }
    FText.push_back('\0');
}

bool TTokenizer::ReadMore() {
    if (!FReader)
        return false;
    FText.pop_back(); // the sentinel
    const size_t end = FText.size();
    FText += FHeld;
    FHeld.clear();
    FReader->Read(FText, std::max(FText.size(), FirstReadSize));
    if (FReader->AtEnd())
        FReader.reset();
    Prepare(end);
    // A line still unfinished is held back: more is read on the next call.
    return FReader || FText.size() - 1 > end;
}

int TTokenizer::NextToken() {
    // A token (or the blanks before it) that runs into the end of what has been read may go
    // on in the part not read yet: it is scanned again once more has been read. So is one
    // that fails there, since the rest may complete it.
    for (;;) {
        const size_t from = FSourcePtr;
        const int line = FSourceLine;
        if (!FReader)
            return ScanToken();
        try {
            ScanToken();
            if (FSourcePtr < FText.size() - 1)
                return FToken;
        } catch (const EParserError&) {
        }
        FSourcePtr = from;
        FSourceLine = line;
        if (!ReadMore())
            return ScanToken();
    }
}

void TTokenizer::SkipBlanks() {
    for (;;) {
        if (FSourcePtr == FLongLine)
            Error(LineTooLong);
        const unsigned char c = static_cast<unsigned char>(FText[FSourcePtr]);
        if (c == 0 || c > 32)
            return;
        Advance();
    }
}

void TTokenizer::SetCommentRules(TCommentRules rules) {
    if (rules == FRules)
        return;
    FRules = rules;
    if (FToken == toComment) {
        FSourcePtr = FTokenPtr;
        FSourceLine = FTokenLine;
        NextToken();
    }
}

int TTokenizer::ScanToken() {
    SkipBlanks();
    FTokenPtr = FSourcePtr;
    FTokenLine = FSourceLine;
    FFloatType = 0;
    const unsigned char c = static_cast<unsigned char>(FText[FSourcePtr]);
    const unsigned char next = c ? static_cast<unsigned char>(FText[FSourcePtr + 1]) : 0;
    if (IsIdentStart(c)) {
        ScanIdentifier();
    } else if (c == '\'' || c == '#') {
        ScanString();
    } else if (c == '$') {
        ScanHexNumber();
    } else if (IsDigit(c) || ((c == '+' || c == '-') && IsDigit(next))) {
        ScanNumber();
    } else if (c == '/' && next == '/') {
        FSourcePtr += 2;
        while (FText[FSourcePtr] != '\n' && FText[FSourcePtr] != '\0')
            ++FSourcePtr;
        FToken = toLineComment;
    } else if (c == '{') {
        ScanBlockComment(FSourcePtr + 1, false);
    } else if (c == '(' && next == '*') {
        ScanBlockComment(FSourcePtr + 2, true);
    } else if (c == 0) {
        FToken = toEOF;
    } else {
        ++FSourcePtr;
        FToken = c;
    }
    return FToken;
}

void TTokenizer::ScanIdentifier() {
    while (IsIdentChar(static_cast<unsigned char>(FText[FSourcePtr])))
        ++FSourcePtr;
    FToken = toSymbol;
}

void TTokenizer::ScanString() {
    FStringValue.clear();
    FWideStr.clear();
    bool wide = false;
    for (;;) {
        const char c = FText[FSourcePtr];
        if (c == '\'') {
            ++FSourcePtr;
            for (;;) {
                const char q = FText[FSourcePtr];
                if (q == '\0' || q == '\n' || q == '\r')
                    Error("Invalid string constant");
                if (q == '\'') {
                    if (FText[FSourcePtr + 1] != '\'') {
                        ++FSourcePtr;
                        break;
                    }
                    ++FSourcePtr; // a doubled quote stands for one
                }
                FStringValue.push_back(q);
                FWideStr.push_back(static_cast<unsigned char>(q));
                ++FSourcePtr;
            }
        } else if (c == '#') {
            ++FSourcePtr;
            unsigned low = 0; // the code modulo 65536
            bool above255 = false;
            unsigned value = 0;
            while (IsDigit(static_cast<unsigned char>(FText[FSourcePtr]))) {
                const unsigned d = static_cast<unsigned>(FText[FSourcePtr] - '0');
                low = (low * 10 + d) & 0xFFFFu;
                if (!above255) {
                    value = value * 10 + d;
                    above255 = value > 255;
                }
                ++FSourcePtr;
            }
            wide = wide || above255;
            FStringValue.push_back(static_cast<char>(low & 0xFF));
            FWideStr.push_back(static_cast<char16_t>(low));
        } else {
            break;
        }
    }
    FToken = wide ? toWString : toString;
}

void TTokenizer::ScanHexNumber() {
    ++FSourcePtr;
    while (IsHexDigit(static_cast<unsigned char>(FText[FSourcePtr])))
        ++FSourcePtr;
    FToken = toInteger;
}

void TTokenizer::ScanNumber() {
    if (FText[FSourcePtr] == '+' || FText[FSourcePtr] == '-')
        ++FSourcePtr;
    while (IsDigit(static_cast<unsigned char>(FText[FSourcePtr])))
        ++FSourcePtr;
    FToken = toInteger;
    while (IsNumberTail(static_cast<unsigned char>(FText[FSourcePtr]))) {
        ++FSourcePtr;
        FToken = toFloat;
    }
    if (IsFloatSuffix(static_cast<unsigned char>(FText[FSourcePtr]))) {
        FFloatType = FText[FSourcePtr];
        ++FSourcePtr;
        FToken = toFloat;
    }
}

void TTokenizer::ScanBlockComment(size_t start, bool parenStar) {
    FSourcePtr = start;
    FCommentStart = start;
    const bool nested =
        FRules.Nested || (!parenStar && FRules.MacroBodies && IsMacroDefinition(start));
    int depth = 1;
    for (;;) {
        if (FSourcePtr == FLongLine)
            Error(LineTooLong);
        const char c = FText[FSourcePtr];
        if (c == '\0')
            Error("Unclosed comment!");
        const char next = FText[FSourcePtr + 1];
        const bool opens = nested && (parenStar ? c == '(' && next == '*' : c == '{');
        const bool closes = parenStar ? c == '*' && next == ')' : c == '}';
        if (closes && --depth == 0) {
            FCommentLen = FSourcePtr - start;
            FSourcePtr += parenStar ? 2 : 1;
            break;
        }
        if (opens)
            ++depth;
        if ((opens || closes) && parenStar)
            ++FSourcePtr; // the first of two characters that are no line end
        Advance();
    }
    FToken = toComment;
}

bool TTokenizer::IsMacroDefinition(size_t start) const {
    // "$define NAME :=" or Mac Pascal's "$definec NAME value"
    size_t i = start;
    if (FText[i] != '$')
        return false;
    const size_t word = ++i;
    while (IsIdentChar(static_cast<unsigned char>(FText[i])))
        ++i;
    const std::string_view name(FText.data() + word, i - word);
    const bool definec = SameAsciiText(name, "definec");
    if (!definec && !SameAsciiText(name, "define"))
        return false;
    auto blanks = [&] {
        while (FText[i] != '\0' && static_cast<unsigned char>(FText[i]) <= 32)
            ++i;
    };
    blanks();
    if (!IsIdentStart(static_cast<unsigned char>(FText[i])))
        return false;
    while (IsIdentChar(static_cast<unsigned char>(FText[i])))
        ++i;
    blanks();
    return definec || (FText[i] == ':' && FText[i + 1] == '=');
}

void TTokenizer::SkipCommentTokens() {
    while (FToken == toComment || FToken == toLineComment)
        NextToken();
}

std::string TTokenizer::TokenString() {
    SkipCommentTokens();
    if (FToken == toString)
        return FStringValue;
    return FText.substr(FTokenPtr, FSourcePtr - FTokenPtr);
}

bool TTokenizer::TokenSymbolIs(const std::string& s) {
    SkipCommentTokens();
    return FToken == toSymbol &&
           SameAsciiText(std::string_view(FText).substr(FTokenPtr, FSourcePtr - FTokenPtr), s);
}

void TTokenizer::CheckToken(int t) {
    if (FToken == t)
        return;
    SkipCommentTokens();
    if (FToken == t)
        return;
    switch (t) {
    case toSymbol:
        Error("Identifier expected");
    case toString:
    case toWString:
        Error("String expected");
    case toInteger:
    case toFloat:
        Error("Number expected");
    default:
        ErrorFmt("''%c'' expected", static_cast<char>(t));
    }
}

void TTokenizer::CheckTokenSymbol(const std::string& s) {
    if (!TokenSymbolIs(s))
        ErrorFmt("%s expected", s.c_str());
}

std::string TTokenizer::CommentText() const {
    if (FToken != toComment)
        Error("No comment!");
    return FText.substr(FCommentStart, FCommentLen);
}

void TTokenizer::Error(const std::string& message) const {
    throw EParserError(Format("Error: \"%s\" on line %d of file %s", message.c_str(), FSourceLine,
                              FFileName.c_str()));
}

void TTokenizer::ErrorFmt(const char* fmt, ...) const {
    va_list args;
    va_start(args, fmt);
    const std::string message = FormatV(fmt, args);
    va_end(args);
    Error(message);
}

} // namespace ut
