#pragma once
// What the compiler defines before the first line of any source: its conditional symbols,
// its named numeric constants (CompilerVersion, FPC_FULLVERSION, ...) and the size of a
// pointer on the target. A scan builds one and shares it, unchanged, with every unit.
#include "scanner/SyntaxMode.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

namespace ut {

class TCompilerSymbols {
  public:
    /// Adds a symbol; an empty name and one defined before (in any letter case) are left out.
    void Define(std::string_view name);
    /// Sets a named constant, replacing an earlier value of the same name.
    void SetConstant(std::string_view name, double value);

    /// Names compare without regard to letter case; the ...Folded forms take a name already
    /// folded by UpperFoldText.
    bool IsDefined(std::string_view name) const;
    bool IsDefinedFolded(const std::string& folded) const { return FFolded.count(folded) != 0; }
    std::optional<double> Constant(std::string_view name) const;
    std::optional<double> ConstantFolded(const std::string& folded) const;

    /// The symbols in the order they were first defined, spelt as then.
    const std::vector<std::string>& Symbols() const { return FSymbols; }
    /// The constants in the order they were first set.
    const std::vector<std::pair<std::string, double>>& Constants() const { return FConstants; }

    /// Size of a pointer on the target in bytes: SizeOf(Pointer), SizeOf(NativeInt), ...
    int PointerSize = 4;
    /// The syntax mode sources start in: None for Delphi; Free Pascal's default (-M).
    TSyntaxMode Mode = TSyntaxMode::None;

  private:
    std::unordered_set<std::string> FFolded;
    std::vector<std::string> FSymbols;
    std::unordered_map<std::string, size_t> FConstantIndex;
    std::vector<std::pair<std::string, double>> FConstants;
};

using SharedCompilerSymbols = std::shared_ptr<const TCompilerSymbols>;

/// Symbols only (no constants, 32-bit pointers): what a list of conditionals defines.
SharedCompilerSymbols MakeCompilerSymbols(const std::vector<std::string>& symbols);

} // namespace ut
