#pragma once
// What every unit of a scan starts with: the conditional symbols, the compiler's numeric
// constants and the target's pointer size, and the include directories; built once per
// scan and shared.
#include "config/Compiler.h"
#include "config/FpcTarget.h"
#include "scanner/CompilerSymbols.h"
#include "scanner/SyntaxMode.h"

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace ut {

/// `defines` (the compiler's own symbols followed by the user's) with the constants of the
/// compiler: CompilerVersion and RTLVersion of the Delphi version text (the pointer size of
/// `delphiPlatform`), or those of the Free Pascal target (its pointer size). Sources start in
/// `mode`.
SharedCompilerSymbols BuildScanSymbols(TCompiler compiler, const std::string& delphiVersion,
                                       const TFpcTarget& fpc,
                                       const std::vector<std::string>& defines,
                                       TSyntaxMode mode = TSyntaxMode::None,
                                       const std::string& delphiPlatform = "Win32");

/// `base` with the symbols of `more` defined too.
SharedCompilerSymbols WithSymbols(const TCompilerSymbols& base,
                                  const std::vector<std::string>& more);

/// The directories of a ';'-separated include path, expanded against the current directory.
std::shared_ptr<const std::vector<std::string>> IncludeDirectories(const std::string& pathList);

/// The symbols the Free Pascal target defines, with the mode's, ';'-separated.
std::string FpcSymbolText(const TFpcTarget& fpc, TSyntaxMode mode);

/// What a unit's parse starts with: the symbols and the include directories.
struct TParseContext {
    SharedCompilerSymbols Symbols;
    std::shared_ptr<const std::vector<std::string>> IncludeDirs;
};

/// The parse contexts of a scan: the project's, and those of the required packages for the
/// units in their directories. Read-only once the walk starts, so threads may share it.
struct TParseContexts {
    TParseContext Project;
    /// By directory, as fs::ExtractFilePath spells a unit's; never one of the project's own.
    std::unordered_map<std::string, TParseContext> Packages;
    const TParseContext& Of(const std::string& file) const;
};

} // namespace ut
