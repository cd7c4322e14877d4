#pragma once
// The Pascal tokenizer: turns the bytes of one source file into tokens, comments included.
// It knows identifiers, strings, numbers, comments and single characters, nothing more.
#include <cstddef>
#include <memory>
#include <string>

namespace ut {

class TFileReader;

/// Token kinds. Any other value is a character token whose value is the character's code.
enum : int {
    toEOF = 0,         ///< end of the text
    toSymbol = 1,      ///< identifier
    toString = 2,      ///< string whose characters all fit in 8 bits
    toInteger = 3,     ///< decimal or '$' hexadecimal integer
    toFloat = 4,       ///< number with a fraction, an exponent or a type suffix
    toWString = 5,     ///< string holding a '#nnn' code above 255
    toComment = 8,     ///< block comment: { ... } or (* ... *)
    toLineComment = 9, ///< line comment: // ...
};

/// A line of the source may hold at most this many characters less one.
inline constexpr std::size_t MaxLineLength = 65536;

/// Bytes of a file read before its first token; the rest is read when a token reaches it.
inline constexpr std::size_t FirstReadSize = 4096;

/// How a block comment ends. Free Pascal's modes fpc and objfpc nest comments (a `{` in a
/// `{ }` comment, a `(*` in a `(* *)` one, opens another); with macros on, the body of a
/// `{$define X := ...}` holds braces in pairs in every mode.
struct TCommentRules {
    bool Nested = false;
    bool MacroBodies = false;
    bool operator==(const TCommentRules&) const = default;
};

/// Tokenizer over the text of one file. The first token is read by the constructor.
class TTokenizer {
  public:
    /// `text` is the file's content; `fileName` appears only in error messages.
    /// Throws EParserError when the first token is malformed.
    TTokenizer(std::string text, std::string fileName);
    ~TTokenizer();
    TTokenizer(const TTokenizer&) = delete;
    TTokenizer& operator=(const TTokenizer&) = delete;

    /// Opens the file and creates the tokenizer on its start, reading more only as the
    /// tokens need it: a parse that stops early leaves the rest unread. EFOpenError when it
    /// cannot be opened.
    static std::unique_ptr<TTokenizer> Open(const std::string& fileName);

    /// Scans the next token and returns its kind.
    int NextToken();
    /// The rules for the comments scanned from now on; a block comment that is the current
    /// token is scanned again under them.
    void SetCommentRules(TCommentRules rules);
    TCommentRules CommentRules() const { return FRules; }

    int Token() const { return FToken; }
    int SourceLine() const { return FSourceLine; }
    const std::string& FileName() const { return FFileName; }
    /// Type suffix of the current toFloat token ('c', 'D', ...), 0 if none.
    char FloatType() const { return FFloatType; }
    /// Decoded 16-bit codes of the current toWString token.
    const std::u16string& WideStr() const { return FWideStr; }

    /// Text of the current token after skipping comment tokens: the decoded string for
    /// toString, the characters as written in the source for every other kind.
    std::string TokenString();
    /// Skips comment tokens, then: is the token the identifier `s` (ASCII letters folded)?
    bool TokenSymbolIs(const std::string& s);
    /// Skips comment tokens when the token is not `t`; raises the matching message if it
    /// still is not.
    void CheckToken(int t);
    /// Raises "<s> expected" unless TokenSymbolIs(s).
    void CheckTokenSymbol(const std::string& s);
    /// The characters between the delimiters of the current toComment token.
    std::string CommentText() const;

    /// Raises EParserError: Error: "<message>" on line <SourceLine> of file <FileName>.
    [[noreturn]] void Error(const std::string& message) const;
    [[noreturn]] void ErrorFmt(const char* fmt, ...) const __attribute__((format(printf, 2, 3)));

  private:
    TTokenizer(std::unique_ptr<TFileReader> reader, std::string fileName);
    /// Steps over a byte order mark and reads the first token.
    void Start();
    /// Cuts the text at its first NUL from `from` on, holds back an unfinished last line,
    /// finds a long line and adds the sentinel.
    void Prepare(std::size_t from);
    /// Reads as much again as has been read; false when the file held no more.
    bool ReadMore();
    /// Scans the next token in the text read so far.
    int ScanToken();
    void SkipBlanks();
    /// Steps over one character of the text; the only place where lines are counted.
    void Advance() {
        if (FText[FSourcePtr] == '\n')
            ++FSourceLine;
        ++FSourcePtr;
    }
    void ScanIdentifier();
    void ScanString();
    void ScanHexNumber();
    void ScanNumber();
    void ScanBlockComment(std::size_t start, bool parenStar);
    /// The comment starting at `start` (after its brace) is a macro definition's body.
    bool IsMacroDefinition(std::size_t start) const;
    void SkipCommentTokens();

    std::string FText; ///< the file's bytes up to the first NUL, then a NUL sentinel
    /// The bytes read after the last whole line while the rest of the file is unread.
    std::string FHeld;
    /// The file while part of it is unread; null once the text is whole.
    std::unique_ptr<TFileReader> FReader;
    std::string FFileName;
    std::size_t FSourcePtr = 0;
    std::size_t FTokenPtr = 0;
    int FTokenLine = 1; ///< the line FTokenPtr is on
    /// Start of the first line too long to be held; the scan fails when it gets there.
    std::size_t FLongLine = std::string::npos;
    int FSourceLine = 1;
    int FToken = toEOF;
    char FFloatType = 0;
    std::string FStringValue;
    std::u16string FWideStr;
    std::size_t FCommentStart = 0;
    std::size_t FCommentLen = 0;
    TCommentRules FRules;
};

} // namespace ut
