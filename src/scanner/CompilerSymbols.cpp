#include "scanner/CompilerSymbols.h"

#include "support/Textutil.h"

namespace ut {

void TCompilerSymbols::Define(std::string_view name) {
    if (!name.empty() && FFolded.insert(UpperFoldText(name)).second)
        FSymbols.emplace_back(name);
}

void TCompilerSymbols::SetConstant(std::string_view name, double value) {
    const auto [it, added] = FConstantIndex.emplace(UpperFoldText(name), FConstants.size());
    if (added)
        FConstants.emplace_back(std::string(name), value);
    else
        FConstants[it->second].second = value;
}

bool TCompilerSymbols::IsDefined(std::string_view name) const {
    return IsDefinedFolded(UpperFoldText(name));
}

std::optional<double> TCompilerSymbols::Constant(std::string_view name) const {
    return ConstantFolded(UpperFoldText(name));
}

std::optional<double> TCompilerSymbols::ConstantFolded(const std::string& folded) const {
    const auto it = FConstantIndex.find(folded);
    if (it == FConstantIndex.end())
        return std::nullopt;
    return FConstants[it->second].second;
}

SharedCompilerSymbols MakeCompilerSymbols(const std::vector<std::string>& symbols) {
    auto table = std::make_shared<TCompilerSymbols>();
    for (const std::string& s : symbols)
        table->Define(s);
    return table;
}

} // namespace ut
