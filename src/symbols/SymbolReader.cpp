// The symbol reader: one pass over the tokens of a whole source that tells its sections,
// the top-level declarations of its interface, the names it references and its uses lists.
// It is no parser: it keeps only what that needs (the blocks that `end` closes, bracket
// depth, the kind of declaration section) and errs towards declaring and referencing more,
// which can only keep a uses entry that could go.
#include "platform/FileReader.h"
#include "symbols/SymbolKeywords.h"
#include "symbols/SymbolTokens.h"

namespace ut {

namespace {

enum class Mode { None, Const, Type, Var, Routine };
/// A block that `end` closes: a `begin` block, another block of code, or the body of a
/// record, object, class or interface type (where `case` opens no block).
enum Block : unsigned char { bkBegin, bkCode, bkType };
/// What the token after `class` (or `interface`, `type` after '=') decides.
enum class Pending { None, Class, ClassParens, AfterParens, TypeHelper, RecordHelper };

class TSymbolReader {
  public:
    TSymbolReader(TSymbolTokens& tokens, TUnitSymbols& out, const TSymbolOptions& options)
        : FTokens(tokens), FOut(out), FOptions(options) {}

    void Run() {
        try {
            for (;;) {
                const TSymbolToken& t = FTokens.Next();
                if (t.Kind == toEOF || !Take(t))
                    break;
            }
        } catch (...) {
            Finish();
            throw;
        }
        Finish();
    }

  private:
    /// Acts on one token; false when the reading is complete.
    bool Take(const TSymbolToken& t);
    /// Acts on the token after `class`, `interface`, `record` or `type`.
    void Decide(const TSymbolToken& t, int kw);
    void TakeUses(const TSymbolToken& t, int kw);
    void TakeSymbol(const TSymbolToken& t, int kw);
    /// A name at a declaring place: an interface declaration, never a reference.
    void Declare(std::string_view name) {
        if (FSection != ssInterface)
            return;
        FOut.Declarations.emplace_back(name);
        // `{$DEFINE TName := TProcess}` ... `TName = class`: declares TProcess.
        if (const std::vector<std::string>* names = FTokens.MacroNames(name))
            FOut.Declarations.insert(FOut.Declarations.end(), names->begin(), names->end());
    }
    void Reference(std::string_view name, const TSymbolToken& t);
    void CloseItem();
    void Finish();

    bool Prev(char c) const { return FPrevKind == static_cast<unsigned char>(c); }
    bool AtTopLevel() const { return FBlocks.empty() && FParens == 0; }
    /// A routine keyword here starts a routine's header (not a procedural type).
    bool RoutineStarts() const {
        return FPrevKind == toEOF || Prev(';') || Prev(']') || FPrevKeyword == kwInterface ||
               FPrevKeyword == kwImplementation || FPrevKeyword == kwClass ||
               FPrevKeyword == kwGeneric;
    }

    TSymbolTokens& FTokens;
    TUnitSymbols& FOut;
    const TSymbolOptions& FOptions;

    int FKind = 0;     ///< 1 unit, 2 program or library, 3 package; 0 before the header
    int FSection = -1; ///< a TSymbolSection; -1 in the header
    std::vector<Block> FBlocks;
    int FParens = 0; ///< open '(' and '['
    Mode FMode = Mode::None;
    bool FAtStart = false;               ///< a declaration's name may come next
    bool FNameList = false;              ///< `A, B: T`: names after ',' are declared too
    bool FRoutineName = false;           ///< the next identifier names a routine
    int FEnumLevel = -1;                 ///< bracket depth of an open enumeration list
    std::vector<std::string> FEnumNames; ///< its values, declared when it closes
    Pending FPending = Pending::None;
    int FPendingLevel = 0;
    bool FBeginClosed = false; ///< the last `end` closed the outermost `begin`

    int FPrevKind = toEOF, FPrevKeyword = kwNone;
    bool FPrevRange = false; ///< the token before the previous one was '.' too: `..`

    bool FInUses = false, FUsesInterface = false, FItemOpen = false;
    /// The list's ';' stood in a branch: another branch may go on with the list.
    bool FUsesEnded = false;
    int FUsesDepth = 0; ///< conditional depth at `uses`
    TUsesItem FItem;
    std::vector<std::uint32_t> FItemOrder;
    std::vector<std::pair<TSymbolSite, std::uint32_t>> FMarks;

    std::string FChain; ///< a qualification being read: "Vcl.Forms"
    int FChainParts = 0;
    /// References by name: open addressing over FOut.References (0 empty, else index + 1);
    /// a source has many identifiers and this is where each of them goes.
    std::vector<std::uint32_t> FReferenceSlots = std::vector<std::uint32_t>(256);
    std::vector<std::size_t> FReferenceHashes; ///< per reference, to compare names rarely
};

bool TSymbolReader::Take(const TSymbolToken& t) {
    if (t.Kind == tkDirectiveName) {
        Reference(t.Text, t);
        return true;
    }
    if (t.Kind == tkKeepMark) {
        FMarks.emplace_back(t.Site, t.Order);
        return true;
    }
    const int kw = t.Kind == toSymbol ? KeywordOf(t.Text) : kwNone;
    const bool mainBlockEnds = FBeginClosed && t.Kind == '.';
    FBeginClosed = false;
    if (mainBlockEnds && FKind == 1)
        FOut.Initialization = true;
    if (FPending != Pending::None && FPending != Pending::ClassParens)
        Decide(t, kw);
    if (t.Kind != '.' && !(t.Kind == toSymbol && Prev('.')))
        FChain.clear();

    if (FInUses && FUsesEnded && t.Depth <= FUsesDepth)
        FInUses = FUsesEnded = false;
    if (FInUses) {
        TakeUses(t, kw);
    } else if (t.Kind == toSymbol) {
        if (kw == kwImplementation) {
            FSection = ssImplementation;
            FBlocks.clear();
            FParens = 0;
            FMode = Mode::None;
            FAtStart = FNameList = false;
            if (FOptions.InterfaceOnly)
                return false;
        } else {
            TakeSymbol(t, kw);
        }
    } else if (t.Kind == '(' || t.Kind == '[') {
        const bool enumeration = (Prev('=') || Prev(':') || FPrevKeyword == kwOf) &&
                                 (FMode == Mode::Type || FMode == Mode::Var ||
                                  (!FBlocks.empty() && FBlocks.back() == bkType));
        ++FParens;
        if (enumeration && t.Kind == '(' && FEnumLevel < 0) {
            FEnumLevel = FParens;
            FEnumNames.clear();
        }
    } else if (t.Kind == ')' || t.Kind == ']') {
        if (FParens == FEnumLevel) {
            FEnumLevel = -1;
            for (const std::string& name : FEnumNames)
                Declare(name);
        }
        FParens = std::max(0, FParens - 1);
        if (FPending == Pending::ClassParens && FParens == FPendingLevel)
            FPending = Pending::AfterParens;
    } else if (t.Kind == ';' && FParens == 0) {
        if (FSection < 0 && FKind >= 2)
            FSection = ssImplementation; // a program's, library's or package's header ends
        if (FBlocks.empty()) {
            FAtStart = FMode == Mode::Const || FMode == Mode::Type || FMode == Mode::Var;
            FNameList = FRoutineName = false;
        }
    } else if (t.Kind == ':' || t.Kind == '=') {
        FNameList = false;
    }
    // A variant part's field list is no enumeration: `0: (A: Integer; B: Char)`.
    if ((t.Kind == ':' || t.Kind == ';') && FParens == FEnumLevel)
        FEnumLevel = -1;

    FPrevRange = FPrevKind == '.' && t.Kind == '.';
    FPrevKind = t.Kind;
    FPrevKeyword = kw;
    return true;
}

void TSymbolReader::Decide(const TSymbolToken& t, int kw) {
    const Pending pending = FPending;
    FPending = Pending::None;
    const bool helper = kw == kwHelper;
    if (helper && FSection == ssInterface)
        FOut.Helper = true;
    switch (pending) {
    case Pending::Class:
        if (t.Kind == '(') {
            FPending = Pending::ClassParens; // `class(TBase);` has no body
            FPendingLevel = FParens;
        } else if (kw == kwRoutine || kw == kwOperator) {
            // `class procedure`, `class constructor`: a modifier
            if (IsWord(t.Text, "constructor") || IsWord(t.Text, "destructor"))
                FOut.ClassConstructor = true;
        } else if (kw != kwOf && kw != kwVar && kw != kwNoDeclarations && kw != kwConst &&
                   kw != kwType && t.Kind != ';') {
            FBlocks.push_back(bkType);
        }
        break;
    case Pending::AfterParens:
        if (t.Kind != ';')
            FBlocks.push_back(bkType);
        break;
    case Pending::TypeHelper:
        if (helper)
            FBlocks.push_back(bkType);
        break;
    default:
        break;
    }
}

void TSymbolReader::TakeUses(const TSymbolToken& t, int kw) {
    if (t.Kind == toSymbol && kw != kwIn && !FItemOpen) {
        FItem = TUsesItem{std::string(t.Text), t.Site, FUsesInterface, false, false, t.Depth > 0};
        FItemOrder.push_back(t.Order);
        FItemOpen = true;
    } else if (t.Kind == toSymbol && FItemOpen && Prev('.')) {
        FItem.Name.append(".").append(t.Text);
    } else if (kw == kwIn && FItemOpen) {
        FItem.InClause = true;
    } else if (t.Kind == ',' || t.Kind == ';') {
        CloseItem();
        // `uses {$IFDEF W} Windows; {$ELSE} Types, Libc; {$ENDIF}`: one list in two branches.
        if (t.Kind == ';' && t.Depth > FUsesDepth)
            FUsesEnded = true;
        else
            FInUses = t.Kind == ',';
    }
}

void TSymbolReader::CloseItem() {
    if (FItemOpen)
        FOut.UsesItems.push_back(std::move(FItem));
    FItemOpen = false;
}

void TSymbolReader::TakeSymbol(const TSymbolToken& t, int kw) {
    if (FSection < 0) {
        // The header: `unit Name;`, `program Name(Input, Output);`.
        if (FKind == 0 && kw >= kwUnit && kw <= kwLibrary)
            FKind = kw == kwUnit ? 1 : 2;
        else if (FKind == 0 && kw == kwPackage)
            FKind = 3;
        else if (FKind == 1 && kw == kwInterface)
            FSection = ssInterface;
        return;
    }
    const bool topLevel = AtTopLevel();
    switch (kw) {
    case kwUses:
    case kwLists:
        if (kw == kwUses || FKind == 3) {
            FInUses = true;
            FUsesDepth = t.Depth;
            FUsesInterface = FSection == ssInterface || FKind != 1;
            FMode = Mode::None;
            return;
        }
        break;
    case kwInitialization:
        if (FSection == ssImplementation && FKind == 1) {
            FOut.Initialization = true;
            FBlocks.clear();
            FMode = Mode::None;
        }
        return;
    case kwBegin:
    case kwCode:
        FBlocks.push_back(kw == kwBegin ? bkBegin : bkCode);
        FMode = Mode::None;
        return;
    case kwCase:
        if (FBlocks.empty() || FBlocks.back() != bkType) // a record's variant part has no end
            FBlocks.push_back(bkCode);
        return;
    case kwEnd:
        if (!FBlocks.empty()) {
            const bool begin = FBlocks.back() == bkBegin;
            FBlocks.pop_back();
            FBeginClosed = begin && FBlocks.empty();
        }
        return;
    case kwRecord:
        FBlocks.push_back(bkType);
        FPending = Pending::RecordHelper;
        return;
    case kwObject:
        if (FPrevKeyword != kwOf) // `procedure of object` is no object type
            FBlocks.push_back(bkType);
        return;
    case kwClass:
        FPending = Pending::Class;
        return;
    case kwInterface:
    case kwClassLike:
        if (Prev('=')) {
            FPending = Pending::Class;
            return;
        }
        break;
    case kwType:
        if (Prev('=')) {
            FPending = Pending::TypeHelper; // `type helper for Integer`, `type Integer`
            return;
        }
        [[fallthrough]];
    case kwConst:
    case kwVar:
        if (topLevel) {
            FMode = kw == kwConst ? Mode::Const : kw == kwType ? Mode::Type : Mode::Var;
            FAtStart = true;
        }
        return;
    case kwRoutine:
    case kwOperator:
        // `var Operator: string` names a variable (Delphi has no global operators).
        if (topLevel && RoutineStarts() &&
            !(kw == kwOperator && FAtStart && (FMode == Mode::Var || FMode == Mode::Const))) {
            FMode = Mode::Routine;
            FAtStart = FNameList = false;
            FRoutineName = kw == kwRoutine;
            if (kw == kwOperator && FSection == ssInterface)
                FOut.Operator = true;
            return;
        }
        break;
    case kwNoDeclarations:
        if (topLevel)
            FMode = Mode::None;
        return;
    case kwGeneric:
        if (topLevel && (FAtStart || RoutineStarts()))
            return; // FPC's `generic TList<T> = ...`, `generic function`
        break;
    default:
        break;
    }
    if ((kw != kwNone && !IsContextual(kw)) ||
        (kw == kwHelper &&
         (FPrevKeyword == kwClass || FPrevKeyword == kwRecord || FPrevKeyword == kwType)))
        return; // a reserved word, or one in its place
    if (FRoutineName) {
        FRoutineName = false;
        Declare(t.Text);
        if (FSection == ssInterface && IsWord(t.Text, "Register"))
            FOut.Register = true;
        return;
    }
    if (topLevel && (FAtStart || (FNameList && Prev(',')))) {
        FAtStart = false;
        FNameList = FMode == Mode::Var;
        Declare(t.Text);
        return;
    }
    if (FEnumLevel == FParens && (Prev('(') || Prev(','))) {
        if (!FTokens.ScopedEnums())
            FEnumNames.emplace_back(t.Text);
        return;
    }
    if (Prev('.') && !FPrevRange) {
        // A member, unless it continues a qualification that may start with a unit name.
        // The first part is looked up only here: most identifiers have no member after them.
        if (!FChain.empty() && FChainParts == 1 && !FOptions.QualifierHeads->count(FChain))
            FChain.clear();
        if (!FChain.empty() && FChainParts < 4) {
            FChain.append(".").append(t.Text);
            ++FChainParts;
            Reference(FChain, t);
        }
        return;
    }
    Reference(t.Text, t);
    if (const std::vector<std::string>* names = FTokens.MacroNames(t.Text))
        for (const std::string& name : *names)
            Reference(name, t);
    FChainParts = 1;
    if (FOptions.QualifierHeads && FOptions.References)
        FChain.assign(t.Text);
}

void TSymbolReader::Reference(std::string_view name, const TSymbolToken& t) {
    if (!FOptions.References || FSection < 0)
        return;
    std::vector<TReference>& refs = FOut.References;
    const size_t mask = FReferenceSlots.size() - 1;
    const size_t hash = FoldedHash()(name);
    size_t slot = hash & mask;
    while (FReferenceSlots[slot] && (FReferenceHashes[FReferenceSlots[slot] - 1] != hash ||
                                     !FoldedEqual()(refs[FReferenceSlots[slot] - 1].Name, name)))
        slot = (slot + 1) & mask;
    if (!FReferenceSlots[slot]) {
        refs.emplace_back().Name = name;
        FReferenceHashes.push_back(hash);
        FReferenceSlots[slot] = static_cast<std::uint32_t>(refs.size());
        if (2 * refs.size() > FReferenceSlots.size()) { // keep it half empty
            std::vector<std::uint32_t> slots(2 * FReferenceSlots.size());
            for (std::uint32_t i = 1; i <= refs.size(); ++i) {
                size_t s = FReferenceHashes[i - 1] & (slots.size() - 1);
                while (slots[s])
                    s = (s + 1) & (slots.size() - 1);
                slots[s] = i;
            }
            FReferenceSlots.swap(slots);
        }
        slot = SIZE_MAX; // the new reference is the last one
    }
    TReference& r = slot == SIZE_MAX ? refs.back() : refs[FReferenceSlots[slot] - 1];
    if (r.Count[FSection]++ == 0) {
        r.First[FSection] = t.Site;
        r.Order[FSection] = t.Order;
    }
}

void TSymbolReader::Finish() {
    CloseItem();
    // A mark keeps the entries before it on its line.
    for (const auto& [site, order] : FMarks)
        for (size_t i = 0; i < FOut.UsesItems.size(); ++i) {
            TUsesItem& item = FOut.UsesItems[i];
            if (item.Site.File == site.File && item.Site.Line == site.Line && FItemOrder[i] < order)
                item.Marked = true;
        }
}

} // namespace

const TReference* TUnitSymbols::FindReference(std::string_view name) const {
    for (const TReference& r : References)
        if (FoldedEqual()(r.Name, name))
            return &r;
    return nullptr;
}

TUnitSymbols ReadUnitSymbols(const std::string& fileName, const TSymbolOptions& options) {
    TUnitSymbols out;
    try {
        // The interface alone is read as far as it goes; a whole source is fingerprinted.
        std::unique_ptr<TTokenizer> scanner;
        if (options.InterfaceOnly) {
            scanner = TTokenizer::Open(fileName);
        } else {
            std::string text = LoadFileText(fileName);
            out.Size = text.size();
            out.Fingerprint = TextFingerprint(text);
            scanner = std::make_unique<TTokenizer>(std::move(text), fileName);
        }
        TSymbolTokens tokens(std::move(scanner), fileName, options.Includes, out);
        TSymbolReader(tokens, out, options).Run();
    } catch (const std::exception& e) {
        out.Failure = e.what();
    }
    if (out.Files.empty())
        out.Files.push_back(fileName);
    return out;
}

} // namespace ut
