#pragma once
// Unit scope names (a .dproj's DCC_Namespace): a uses name that no file answers to as
// written is tried as "Scope.Name" for each scope in order, as the compiler does, so that
// `uses Forms` finds Vcl.Forms.pas. What each written name resolved to is remembered for
// the views.
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

namespace ut {

class TUnitScopes {
  public:
    /// Takes the ';'-separated scopes (blanks trimmed, empty ones left out) and forgets every
    /// resolution.
    void SetScopes(const std::string& list);
    const std::vector<std::string>& Scopes() const { return FScopes; }

    /// The file of `name`: `fileOf(candidate)` (empty when the candidate has none) for the
    /// name as written, then for each scoped name. A scoped find is remembered under the
    /// written name with the key of the file found.
    std::string Resolve(const std::string& name,
                        const std::function<std::string(const std::string&)>& fileOf);

    /// The key a written name resolved to through a scope; `name` itself otherwise.
    const std::string& ResolvedName(const std::string& name) const;
    /// True when `name` resolved through a scope.
    bool IsScoped(const std::string& name) const;

  private:
    std::vector<std::string> FScopes;
    std::unordered_map<std::string, std::string> FResolved; ///< by the folded written name
};

} // namespace ut
