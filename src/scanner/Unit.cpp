#include "scanner/Unit.h"

#include "platform/FileSystem.h"
#include "support/Exceptions.h"

namespace ut {

UnitErrorHookFn UnitErrorHook;

TUnit::TUnit(const std::string& fileName) : FileName(fs::ExpandFileName(fileName)) {
    Scanner = TTokenizer::Open(FileName);
    HasForm = fs::FileExists(fs::ChangeFileExt(FileName, ".dfm"));
}

TUnit::~TUnit() {
    CloseScanner();
}

void TUnit::SetDefines(const std::vector<std::string>& list) {
    Defines.BeginUpdate();
    Defines.Clear();
    for (const std::string& s : list)
        Defines.Add(s);
    Defines.EndUpdate();
}

void TUnit::AddInFile(const std::string&, const std::string&) {}

void TUnit::Parse() {
    try {
        fs::SetCurrentDir(fs::ExtractFileDir(FileName));
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
        if (UnitErrorHook)
            UnitErrorHook(*this, failure);
    }
}

void TUnit::HeaderStep() {
    static const char* const keywords[] = {"unit", "program", "package", "library"};
    FilterDirectives(Token());
    Kind = ukNone;
    Scanner->CheckToken(toSymbol);
    for (int i = 0; i < 4; ++i) {
        if (!Scanner->TokenSymbolIs(keywords[i]))
            continue;
        Kind = i + 1;
        NextSignificant();
        ReadName(UnitName);
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
    ParseState = Kind != ukNone ? 1 : 8;
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
            NextSignificant();
        }
        throw EParserError("Unexpected EOF");
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
    Scanner->CheckTokenSymbol("uses");
    NextSignificant();
    ParseList(1, true);
    ParseState = 7;
}

void TUnit::PackageStep() {
    if (ParseState == 1) {
        if (Scanner->TokenSymbolIs("requires")) {
            // The required packages are not recorded; the raw tokens are passed over.
            int t;
            do
                t = Scanner->NextToken();
            while (t != ';' && t != toEOF);
            Scanner->NextToken();
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
        const int line = Scanner->SourceLine();
        const std::string file = FileName;
        ReadName(name);
        AddUse(name, interfaceFlag, line, file);
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

void TUnit::AddUse(const std::string& name, int interfaceFlag, int line, const std::string& file) {
    Uses.AddObject(name, interfaceFlag);
    UseSites.push_back({line, file == SourceFileName() ? std::string() : file});
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

std::string TProject::GetInFile(const std::string& unitName) const {
    return InFiles ? InFiles->DualOf(unitName) : std::string();
}

} // namespace ut
