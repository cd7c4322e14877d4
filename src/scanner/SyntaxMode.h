#pragma once
// Free Pascal's syntax modes ({$mode objfpc}, the compiler's -M, a Lazarus project's
// SyntaxMode): the symbol each defines and how comments are read in it.
#include <optional>
#include <string>
#include <string_view>

namespace ut {

enum class TSyntaxMode {
    None, ///< the sources are read as Delphi reads them: {$mode} means nothing
    Fpc,
    ObjFpc,
    Delphi,
    DelphiUnicode,
    Tp,
    MacPas,
    Iso,
    ExtendedPascal,
};

/// The mode of a name as {$mode} and -M take it (any letter case; "default" is Fpc);
/// nullopt for others.
std::optional<TSyntaxMode> SyntaxModeOfName(std::string_view name);
/// The name as -M takes it ("objfpc"); empty for None.
std::string SyntaxModeName(TSyntaxMode mode);
/// The symbol the compiler defines in the mode ("FPC_OBJFPC"); empty for Fpc and None.
std::string SyntaxModeSymbol(TSyntaxMode mode);
/// `{ { } }` and `(* (* *) *)` nest in the mode.
bool NestsComments(TSyntaxMode mode);

} // namespace ut
