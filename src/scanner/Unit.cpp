#include "scanner/Unit.h"

#include "platform/FileSystem.h"
#include "support/Exceptions.h"

#include <algorithm>
#include <iterator>

namespace ut {

UnitErrorHookFn UnitErrorHook;

TUnit::TUnit(const std::string& fileName) : FileName(fs::ExpandFileName(fileName)) {
    Scanner = TTokenizer::Open(FileName);
    HasForm = fs::FileExists(fs::ChangeFileExt(FileName, ".dfm"));
}

TUnit::TUnit(const std::string& fileName, int kind, const std::string& name)
    : ParseState(8), UnitName(name), Kind(kind), FileName(fs::ExpandFileName(fileName)) {}

TUnit::~TUnit() {
    CloseScanner();
}

void TUnit::SetDefines(const std::vector<std::string>& list) {
    Defines.SetBase(MakeCompilerSymbols(list));
}

void TUnit::SetSymbols(SharedCompilerSymbols symbols) {
    Defines.SetBase(std::move(symbols));
    FMode = Defines.Base().Mode;
    FNestedComments = NestsComments(FMode);
    FMacros = false;
    ApplyCommentRules();
}

void TUnit::AddInFile(const std::string&, const std::string&) {}

void TUnit::Parse() {
    try {
        fs::SetCurrentDir(fs::ExtractFileDir(FileName));
    } catch (...) {
        CloseScanner();
        throw;
    }
    ParseSource();
}

void TUnit::ParseSource() {
    try {
        if (Scanner) { // a record is parsed once
            if (ParseState == 0)
                RunStep(&TUnit::HeaderStep);
            void (TUnit::*step)() = nullptr;
            switch (Kind) {
            case ukUnit:
                step = &TUnit::UnitStep;
                break;
            case ukProgram:
            case ukLibrary:
                step = &TUnit::ProgramStep;
                break;
            case ukPackage:
                step = &TUnit::PackageStep;
                break;
            default:
                break;
            }
            while (step && ParseState < 7)
                RunStep(step);
        }
    } catch (...) {
        CloseScanner();
        throw;
    }
    CloseScanner();
}

void TUnit::RunStep(void (TUnit::*step)()) {
    try {
        (this->*step)();
    } catch (const std::exception& failure) {
        ParseState = 8;
        if (!dynamic_cast<const EAbort*>(&failure) && ParseError.empty())
            ParseError = failure.what();
        if (ErrorHook)
            ErrorHook(*this, failure);
        else if (UnitErrorHook)
            UnitErrorHook(*this, failure);
    }
}

void TUnit::HeaderStep() {
    static const char* const keywords[] = {"unit", "program", "package", "library"};
    // What may start a program that has no `program` line.
    static const char* const programStarts[] = {"uses",      "begin",         "var",      "const",
                                                "type",      "procedure",     "function", "label",
                                                "threadvar", "resourcestring"};
    FilterDirectives(Token());
    Kind = ukNone;
    Scanner->CheckToken(toSymbol);
    for (int i = 0; i < 4; ++i) {
        if (!Scanner->TokenSymbolIs(keywords[i]))
            continue;
        Kind = i + 1;
        NextSignificant();
        ReadName(UnitName);
        SkipHints();
        if (Kind == ukProgram)
            SkipProgramParameters();
        if (Token() == ';') {
            NextSignificant();
        } else if (!Scanner->TokenSymbolIs("else")) {
            Scanner->CheckTokenSymbol("end");
            NextSignificant();
            if (!Scanner->TokenSymbolIs("else")) {
                Scanner->CheckToken(';');
                NextSignificant();
            }
        }
        break;
    }
    if (Kind == ukNone &&
        std::any_of(std::begin(programStarts), std::end(programStarts),
                    [this](const char* s) { return Scanner->TokenSymbolIs(s); })) {
        // Free Pascal names a program without a heading after its file.
        Kind = ukProgram;
        UnitName = fs::FileKey(FileName);
    }
    ParseState = Kind != ukNone ? 1 : 8;
}

void TUnit::SkipProgramParameters() {
    if (Token() != '(')
        return;
    while (NextSignificant() != ')')
        if (Token() == toEOF || Token() == ';')
            Scanner->CheckToken(')');
    NextSignificant();
}

void TUnit::SkipHints() {
    // `unit XMLCfg deprecated;`, `unit Old platform deprecated 'use New';`
    static const char* const hints[] = {"platform", "deprecated", "library", "experimental"};
    for (;;) {
        const auto hint = std::find_if(std::begin(hints), std::end(hints),
                                       [this](const char* h) { return Scanner->TokenSymbolIs(h); });
        if (hint == std::end(hints))
            return;
        NextSignificant();
        if (Token() == toString)
            NextSignificant();
    }
}

void TUnit::UnitStep() {
    switch (ParseState) {
    case 1:
        Scanner->CheckTokenSymbol("interface");
        NextSignificant();
        ParseState = 2;
        break;
    case 2:
        if (Scanner->TokenSymbolIs("uses")) {
            NextSignificant();
            ParseList(1, false);
        }
        ParseState = 3;
        break;
    case 3:
        while (Token() != toEOF) {
            if (Scanner->TokenSymbolIs("implementation")) {
                NextSignificant();
                ParseState = 4;
                return;
            }
            // A Mac Pascal unit may end after its interface.
            if (FMode == TSyntaxMode::MacPas && Scanner->TokenSymbolIs("end") &&
                NextSignificant() == '.') {
                ParseState = 5;
                return;
            }
            NextSignificant();
        }
        Scanner->Error("Unexpected EOF");
    case 4:
        if (Scanner->TokenSymbolIs("uses")) {
            NextSignificant();
            ParseList(0, false);
        }
        ParseState = 5;
        break;
    default:
        // The unit is read as far as needed: the rest of the file is never scanned.
        throw EAbort();
    }
}

void TUnit::ProgramStep() {
    if (ParseState == 1) {
        ParseState = 2;
        return;
    }
    // A program or library need not use any unit.
    if (Scanner->TokenSymbolIs("uses")) {
        NextSignificant();
        ParseList(1, true);
    }
    ParseState = 7;
}

void TUnit::PackageStep() {
    if (ParseState == 1) {
        if (Scanner->TokenSymbolIs("requires")) {
            NextSignificant();
            while (Token() != ';' && Token() != toEOF) {
                if (Token() != toSymbol) {
                    NextSignificant(); // the commas
                    continue;
                }
                std::string name;
                ReadName(name);
                Requires.push_back(std::move(name));
            }
            NextSignificant();
        }
        ParseState = 2;
        return;
    }
    Scanner->CheckTokenSymbol("contains");
    NextSignificant();
    ParseList(1, true);
    ParseState = 8;
}

void TUnit::ReadName(std::string& name) {
    Scanner->CheckToken(toSymbol);
    name = Scanner->TokenString();
    NextSignificant();
    while (Token() == '.') {
        NextSignificant();
        Scanner->CheckToken(toSymbol);
        name += '.';
        name += Scanner->TokenString();
        NextSignificant();
    }
}

void TUnit::ParseList(int interfaceFlag, bool allowIn) {
    // Every round consumes a token or fails, so no input keeps the list open for ever.
    while (Token() != ';') {
        std::string name;
        Scanner->CheckToken(toSymbol);
        // Where the name starts: the directives after it may end its branch.
        TUseSite site{Scanner->SourceLine(), IncludeStack.empty() ? std::string() : FileName,
                      CondStack.Current()};
        ReadName(name);
        AddUse(name, interfaceFlag, std::move(site));
        if (Token() == ',') {
            NextSignificant();
            continue;
        }
        if (allowIn && Scanner->TokenSymbolIs("in")) {
            NextSignificant();
            Scanner->CheckToken(toString);
            AddInFile(name, Scanner->TokenString());
            NextSignificant();
            if (Token() == ',') {
                NextSignificant();
                continue;
            }
        }
        Scanner->CheckToken(';');
    }
}

void TUnit::AddUse(const std::string& name, int interfaceFlag, TUseSite site) {
    Uses.AddObject(name, interfaceFlag);
    if (site.File == SourceFileName())
        site.File.clear();
    UseSites.push_back(std::move(site));
}

void TProject::AddInFile(const std::string& unitName, const std::string& fileName) {
    if (!InFiles) {
        InFiles = std::make_unique<TDualStringList>();
        InFiles->SetSorted(true);
        InFiles->SetDuplicates(TDuplicates::dupIgnore);
    }
    // On a sorted dupIgnore list a name given twice keeps the later path.
    InFiles->AddDual(unitName, fs::ExpandFileName(fileName));
}

std::unique_ptr<TProject>
TProject::FromUnitList(const std::string& fileName, const std::string& name,
                       const std::vector<std::pair<std::string, std::string>>& units) {
    std::unique_ptr<TProject> project(new TProject(fileName, ukPackage, name));
    for (const auto& [unitName, unitFile] : units) {
        project->AddUse(unitName, 1, TUseSite{});
        project->AddInFile(unitName, unitFile);
    }
    return project;
}

std::string TProject::GetInFile(const std::string& unitName) const {
    return InFiles ? InFiles->DualOf(unitName) : std::string();
}

} // namespace ut
