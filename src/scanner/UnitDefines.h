#pragma once
// The conditional symbols in force while one source is read: the scan's shared symbols
// and constants, with the source's own {$DEFINE}/{$UNDEF} (and Free Pascal macros) laid
// over them. The shared part is never copied; what a source changes stays with it.
#include "scanner/CompilerSymbols.h"
#include "scanner/DirectiveExpression.h"

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace ut {

class TDefines final : public TExpressionNames {
  public:
    TDefines();

    /// The symbols the source starts with; forgets the source's own changes.
    void SetBase(SharedCompilerSymbols base);
    const TCompilerSymbols& Base() const { return *FBase; }

    /// Is the symbol in force (any letter case)?
    bool Contains(std::string_view name) const;
    void Define(std::string_view name);
    /// Defines `name` as a macro with a value ({$DEFINE X := 3}, {$SETC X := 3}).
    void DefineValue(std::string_view name, TExprValue value);
    /// Takes the symbol out of force; one that is not in force is accepted silently.
    void Undefine(std::string_view name);

    /// Every symbol in force: the base's not undefined here, then those defined here, each
    /// once, spelt as first defined.
    std::vector<std::string> Names() const;

    bool IsDefined(std::string_view name) const override { return Contains(name); }
    /// A macro's value, else the base's constant of that name.
    std::optional<TExprValue> ValueOf(std::string_view name) const override;
    /// The compilers' own types: integers and reals by their fixed sizes, pointers and
    /// pointer-sized integers by the target's pointer size.
    int SizeOf(std::string_view typeName) const override;

  private:
    struct Local {
        std::string spelling;
        bool defined = false;
    };
    /// The source's own change of `name`, made when first met.
    std::pair<const std::string, Local>& Touch(std::string_view name);

    SharedCompilerSymbols FBase;
    /// The source's own changes by folded name, and those entries in the order first met.
    std::unordered_map<std::string, Local> FLocal;
    std::vector<const std::pair<const std::string, Local>*> FLocalOrder;
    /// The values of macros by folded name.
    std::unordered_map<std::string, TExprValue> FValues;
};

} // namespace ut
