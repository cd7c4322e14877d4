#include "scanner/SyntaxMode.h"

#include "support/Textutil.h"

namespace ut {

namespace {

struct ModeEntry {
    const char* name;
    TSyntaxMode mode;
    const char* symbol;
};

const ModeEntry Modes[] = {
    {"fpc", TSyntaxMode::Fpc, ""},
    {"objfpc", TSyntaxMode::ObjFpc, "FPC_OBJFPC"},
    {"delphi", TSyntaxMode::Delphi, "FPC_DELPHI"},
    {"delphiunicode", TSyntaxMode::DelphiUnicode, "FPC_DELPHI"},
    {"tp", TSyntaxMode::Tp, "FPC_TP"},
    {"macpas", TSyntaxMode::MacPas, "FPC_MACPAS"},
    {"iso", TSyntaxMode::Iso, "FPC_ISO"},
    {"extendedpascal", TSyntaxMode::ExtendedPascal, "FPC_EXTENDEDPASCAL"},
};

const ModeEntry* EntryOf(TSyntaxMode mode) {
    for (const ModeEntry& e : Modes)
        if (e.mode == mode)
            return &e;
    return nullptr;
}

} // namespace

std::optional<TSyntaxMode> SyntaxModeOfName(std::string_view name) {
    if (SameText(name, "default"))
        return TSyntaxMode::Fpc;
    for (const ModeEntry& e : Modes)
        if (SameText(name, e.name))
            return e.mode;
    return std::nullopt;
}

std::string SyntaxModeName(TSyntaxMode mode) {
    const ModeEntry* e = EntryOf(mode);
    return e ? e->name : "";
}

std::string SyntaxModeSymbol(TSyntaxMode mode) {
    const ModeEntry* e = EntryOf(mode);
    return e ? e->symbol : "";
}

bool NestsComments(TSyntaxMode mode) {
    return mode == TSyntaxMode::Fpc || mode == TSyntaxMode::ObjFpc;
}

} // namespace ut
