#pragma once
// Conditions of MSBuild project files as Delphi writes them: quoted strings (with property
// references expanded) compared with == and != without regard to letter case, joined by
// `and` / `or`, negated by `!`, grouped by parentheses. `Exists(...)` is always false: the
// files it asks about live on the machine that builds the project, not on this one.
#include <functional>
#include <string>
#include <string_view>

namespace ut {

/// Expands the property references of a text ("$(Config)" -> "Debug").
using PropertyExpander = std::function<std::string(std::string_view)>;

struct ConditionResult {
    bool Value = false;
    std::string Error; ///< why the condition could not be read; empty when it could
};

/// Evaluates `condition`; an empty (or blank) condition holds. A condition that cannot be
/// read gives Value false and the reason in Error. Nesting costs no native stack.
ConditionResult EvaluateCondition(std::string_view condition, const PropertyExpander& expand);

} // namespace ut
