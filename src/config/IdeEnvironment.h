#pragma once
// The IDE's environment variables, as `$(NAME)` in a search path reads them: the user's
// overrides that the IDE keeps in the installation's "Environment Variables" registry key,
// then the environment of the process.
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ut {

class RegistryStore;

/// The value of a variable by name; nullopt when it is not set.
using VariableLookup = std::function<std::optional<std::string>(const std::string& name)>;

class TIdeEnvironment {
  public:
    /// `registry` may be null (the process's environment alone); `version` is the compiler
    /// version text whose key holds the overrides.
    TIdeEnvironment(const RegistryStore* registry, const std::string& version);

    /// The override of the registry key, else the process's variable (as spelt, else in
    /// capitals); an empty value counts as not set.
    std::optional<std::string> Value(const std::string& name) const;
    /// "HKEY_CURRENT_USER\Software\Embarcadero\BDS\23.0\Environment Variables"
    const std::string& KeyName() const { return FKeyName; }
    /// Value as a VariableLookup that lives as long as this object.
    VariableLookup Lookup() const {
        return [this](const std::string& name) { return Value(name); };
    }

  private:
    const RegistryStore* FRegistry;
    std::string FKey;
    std::string FKeyName;
};

/// `text` with every `$(NAME)` (a letter or '_' first, then letters, digits and '_')
/// replaced by its value; nullopt when a name is not set, which is then added to
/// `unknown` unless it is there (any letter case) already. Other text stays as written.
std::optional<std::string> ExpandVariables(std::string_view text, const VariableLookup& lookup,
                                           std::vector<std::string>& unknown);

/// The note for variables that neither the environment nor the registry key sets.
std::string UnknownVariableMessage(const std::string& name, const std::string& keyName);

} // namespace ut
