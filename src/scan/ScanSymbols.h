#pragma once
// What every unit of a scan starts with: the conditional symbols, the compiler's numeric
// constants and the target's pointer size, and the include directories; built once per
// scan and shared.
#include "config/Compiler.h"
#include "config/FpcTarget.h"
#include "scanner/CompilerSymbols.h"

#include <string>
#include <vector>

namespace ut {

/// `defines` (the compiler's own symbols followed by the user's) with the constants of the
/// compiler: CompilerVersion and RTLVersion of the Delphi version text (the pointer size of
/// `delphiPlatform`), or those of the Free Pascal target (its pointer size).
SharedCompilerSymbols BuildScanSymbols(TCompiler compiler, const std::string& delphiVersion,
                                       const TFpcTarget& fpc,
                                       const std::vector<std::string>& defines,
                                       const std::string& delphiPlatform = "Win32");

/// `base` with the symbols of `more` defined too.
SharedCompilerSymbols WithSymbols(const TCompilerSymbols& base,
                                  const std::vector<std::string>& more);

/// The directories of a ';'-separated include path, expanded against the current directory.
std::shared_ptr<const std::vector<std::string>> IncludeDirectories(const std::string& pathList);

/// The symbols the Free Pascal target defines, ';'-separated.
std::string FpcSymbolText(const TFpcTarget& fpc);

} // namespace ut
