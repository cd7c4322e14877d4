#pragma once
// The record of one Pascal source: its kind, name and the units its uses (or contains)
// lists name, read through the conditional directives and include files.
#include "scanner/ConditionStack.h"
#include "scanner/Tokenizer.h"
#include "scanner/UnitDefines.h"
#include "support/DualStringList.h"
#include "support/StringList.h"

#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace ut {

/// Source kinds, in the order the header keywords are tried.
enum : int { ukNone = 0, ukUnit = 1, ukProgram = 2, ukPackage = 3, ukLibrary = 4 };

/// Where a uses (or contains) entry stands in the sources.
struct TUseSite {
    int Line = 0;     ///< line of the entry's name, first line 1
    std::string File; ///< the include file that holds it; empty for the unit's own file
    /// The innermost taken conditional branch around the entry; null outside any.
    std::shared_ptr<const TCondition> Condition;

    /// The directive texts of the taken branches around the entry, innermost last.
    std::vector<std::string> Conditions() const { return ConditionTexts(Condition.get()); }
};

class TUnit {
  public:
    /// Expands `fileName` to a full path, opens the file and reads its first token.
    /// Throws EFOpenError when it cannot be opened, EParserError when that token is malformed.
    explicit TUnit(const std::string& fileName);
    virtual ~TUnit();
    TUnit(const TUnit&) = delete;
    TUnit& operator=(const TUnit&) = delete;

    /// Replaces the conditional symbols with `list` (no constants, 32-bit pointers).
    void SetDefines(const std::vector<std::string>& list);
    /// Starts from the scan's shared symbols and constants, in their syntax mode.
    void SetSymbols(SharedCompilerSymbols symbols);
    /// Directories searched for an include file that is not beside the including file.
    void SetIncludeDirs(std::shared_ptr<const std::vector<std::string>> dirs) {
        IncludeDirs = std::move(dirs);
    }
    /// Reads the header and the uses lists. Makes the source's directory current; failures
    /// of the grammar end the parse through UnitErrorHook and are not raised.
    void Parse();
    /// Parse without making the source's directory current: what a thread that must not
    /// touch the process's state does (the source's path is a full one).
    void ParseSource();
    /// Receives the failures of the parse steps instead of UnitErrorHook when set.
    std::function<void(TUnit& sender, const std::exception& failure)> ErrorHook;
    /// Called for every `Name in 'path'` item of a program, library or package list.
    virtual void AddInFile(const std::string& unitName, const std::string& fileName);

    /// 0 created; 1 expecting "interface"; 2 interface uses may follow; 3 looking for
    /// "implementation"; 4 implementation uses may follow; 5 read as far as needed;
    /// 7 program or library list read; 8 finished otherwise.
    int ParseState = 0;
    std::string UnitName;
    int Kind = ukNone;
    /// The conditional symbols in force: the scan's, and what the source defines itself.
    TDefines Defines;
    /// Names in source order; payload 1 for the interface list (or the only list), 0 for the
    /// implementation list.
    TStringList Uses{false, TDuplicates::dupAccept};
    /// One site per entry of Uses, in the same order.
    std::vector<TUseSite> UseSites;
    /// A package's requires list: the packages it needs, in source order.
    std::vector<std::string> Requires;
    /// Full path of the source; while an include file is read, the include file's path.
    std::string FileName;
    /// A .dfm file lay beside the source when the record was created.
    bool HasForm = false;
    /// {$APPTYPE CONSOLE} was read: the compiler defines CONSOLE from there on.
    bool ConsoleApp = false;
    /// The message of the failure that ended the parse before it read what it needed;
    /// empty when it did.
    std::string ParseError;

    // The directive layer: the token stream with comments dropped, conditional branches
    // applied and include files read in place.

    /// The scanner's next token, filtered.
    int NextSignificant();
    /// From token `t` on, the first token that is neither a comment nor in a false branch.
    int FilterDirectives(int t);
    /// Frees the scanner and every suspended include scanner.
    void CloseScanner();
    /// Tokenizer of the file currently read; null after Parse.
    TTokenizer* CurrentScanner() const { return Scanner.get(); }
    bool IsSkipping() const { return CondStack.Skipping(); }
    /// The file name of the source itself, also while an include file is read.
    const std::string& SourceFileName() const {
        return IncludeStack.empty() ? FileName : IncludeStack.front().fileName;
    }
    /// The syntax mode the source is read in now (None when it is read as Delphi reads it).
    TSyntaxMode Mode() const { return FMode; }

  protected:
    /// A record of `kind` named `name` that has no source to read: it is complete as made.
    TUnit(const std::string& fileName, int kind, const std::string& name);
    /// Appends one entry to Uses and its site.
    void AddUse(const std::string& name, int interfaceFlag, TUseSite site);

  private:
    struct IncludeEntry {
        std::string fileName;
        std::unique_ptr<TTokenizer> scanner;
    };

    int Token() const { return Scanner->Token(); }
    /// Runs one parse step; a failure ends the parse (state 8) and goes to UnitErrorHook.
    void RunStep(void (TUnit::*step)());
    void HeaderStep();
    void UnitStep();
    void ProgramStep();
    void PackageStep();
    void ParseList(int interfaceFlag, bool allowIn);
    /// Reads an identifier, or a dotted name such as Vcl.Forms, into `name`.
    void ReadName(std::string& name);
    /// Passes the hint directives after a unit's name (deprecated, platform, ...).
    void SkipHints();
    /// Passes a program's parameter list: `program Copy(Input, Output);`.
    void SkipProgramParameters();

    /// Acts on one `{$...}` directive; true when it opened an include file.
    bool ApplyDirective(const std::string& text);
    /// The value of the expression of directive `name`; a malformed one fails the unit.
    TExprValue EvaluateValue(std::string_view name, std::string_view expression);
    bool Evaluate(std::string_view name, std::string_view expression);
    void DefineSymbol(bool setc, std::string_view rest);
    /// Switches to the mode of {$mode NAME}; an unknown name changes nothing.
    void SetMode(std::string_view name);
    /// {$modeswitch nestedcomments} and {$macro on}: what changes how comments end.
    void SetSwitch(std::string_view directive, std::string_view rest);
    /// Hands the rules of the mode and switches in force to the current scanner.
    void ApplyCommentRules();
    bool IncludeFile(const std::string& arg);
    /// The full path of include file `name` as the compiler finds it; empty for none.
    std::string FindIncludeFile(const std::string& name) const;
    void PushInclude(const std::string& path, std::unique_ptr<TTokenizer> newScanner);
    bool PopInclude();

    std::unique_ptr<TTokenizer> Scanner;
    TConditionStack CondStack;
    std::vector<IncludeEntry> IncludeStack;
    std::shared_ptr<const std::vector<std::string>> IncludeDirs;
    TSyntaxMode FMode = TSyntaxMode::None;
    bool FNestedComments = false; ///< as the mode says, unless a mode switch said otherwise
    bool FMacros = false;         ///< {$macro on}
};

/// The record of the project source; also remembers the files its list names with `in`.
class TProject : public TUnit {
  public:
    using TUnit::TUnit;
    /// A package record made from a list of units and their files instead of a source (a
    /// Lazarus package): the units are its contains list, each with its file.
    static std::unique_ptr<TProject>
    FromUnitList(const std::string& fileName, const std::string& name,
                 const std::vector<std::pair<std::string, std::string>>& units);
    void AddInFile(const std::string& unitName, const std::string& fileName) override;
    /// The full path recorded for `unitName` (any letter case), or an empty string.
    std::string GetInFile(const std::string& unitName) const;

  private:
    /// Unit name to full path; created on first use.
    std::unique_ptr<TDualStringList> InFiles;
};

/// Called with the unit whenever a parse step fails, while the failure is handled. The
/// silent abort that ends a unit after its implementation list arrives here too (EAbort);
/// receivers ignore it.
using UnitErrorHookFn = std::function<void(TUnit& sender, const std::exception& failure)>;
extern UnitErrorHookFn UnitErrorHook;

} // namespace ut
