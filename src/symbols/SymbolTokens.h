#pragma once
// The token stream of a whole source for the symbol reader: comments dropped, include files
// read where they stand, and every conditional branch read, taken or not. Names in {$IF}
// expressions and macro values, and `unitrace: keep` comments, come as tokens of their own.
#include "scanner/Tokenizer.h"
#include "symbols/UnitSymbols.h"

#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace ut {

/// Token kinds beside the tokenizer's: a name of a directive's expression, and a keep mark.
enum : int { tkDirectiveName = -1, tkKeepMark = -2 };

struct TSymbolToken {
    int Kind = toEOF;        ///< the tokenizer's kind, tkDirectiveName or tkKeepMark
    std::string_view Text;   ///< valid until the next token
    TSymbolSite Site;        ///< where it stands
    std::uint32_t Order = 0; ///< running number of the token
    int Depth = 0;           ///< conditional branches open around it
};

class TSymbolTokens {
  public:
    /// Reads the file of `scanner` (named `fileName`), recording files, form files and
    /// missing includes in `out`.
    TSymbolTokens(std::unique_ptr<TTokenizer> scanner, const std::string& fileName,
                  std::shared_ptr<TIncludeFinder> includes, TUnitSymbols& out);
    ~TSymbolTokens();

    /// The next token; EParserError for a malformed one.
    const TSymbolToken& Next();
    /// {$SCOPEDENUMS ON} is in force outside any conditional branch.
    bool ScopedEnums() const { return FScopedEnums; }
    /// The names a macro defined so far stands for ({$DEFINE X := TFoo}), in any branch;
    /// null when `name` is no macro.
    const std::vector<std::string>* MacroNames(std::string_view name) const {
        if (FMacros.empty())
            return nullptr;
        const auto it = FMacros.find(name);
        return it == FMacros.end() ? nullptr : &it->second;
    }

  private:
    struct Open {
        std::unique_ptr<TTokenizer> Scanner;
        std::uint32_t File;
        bool Advance = false; ///< its current token was handed out (or opened an include)
    };
    /// Acts on a `{$...}` directive; true when it opened an include file.
    bool Directive(const std::string& text, const TSymbolSite& site);
    bool Include(std::string name);
    /// Queues the names of a directive's expression as tokens.
    /// Queues the names of a directive's expression as tokens; adds them to `names` too.
    void QueueNames(std::string_view expression, const TSymbolSite& site,
                    std::vector<std::string>* names = nullptr);
    void NoteForm(std::string_view argument);
    std::uint32_t FileIndex(const std::string& path);

    TUnitSymbols& FOut;
    std::shared_ptr<TIncludeFinder> FIncludes;
    std::vector<Open> FOpen;
    TSymbolToken FToken;
    std::deque<std::pair<std::string, TSymbolSite>> FQueued;
    std::string FQueuedText; ///< the text of the queued token handed out last
    std::uint32_t FOrder = 0;
    int FDepth = 0;
    bool FScopedEnums = false;
    TNameMap<std::vector<std::string>> FMacros;
};

} // namespace ut
