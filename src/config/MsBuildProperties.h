#pragma once
// The properties of an MSBuild evaluation: names compare without regard to letter case, a
// value is stored expanded, and the properties given from outside (the chosen configuration
// and platform) cannot be changed by the file, as MSBuild treats its global properties.
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>

namespace ut {

class TMsBuildProperties {
  public:
    /// A property the file cannot change.
    void SetGlobal(const std::string& name, const std::string& value);
    /// False (and nothing changes) when `name` is a global property.
    bool Set(const std::string& name, const std::string& value);
    std::optional<std::string> Get(std::string_view name) const;
    /// The value, empty for an undefined property.
    std::string Value(std::string_view name) const { return Get(name).value_or(""); }

    /// Replaces every "$(Name)" by the property's value (empty when undefined) in one pass:
    /// a substituted value is not expanded again, so a property that refers to itself
    /// ("$(DCC_Define);DEBUG") takes its previous value. Anything else ("$([...])", "@(...)",
    /// a lone "$") stays as written.
    std::string Expand(std::string_view text) const;

  private:
    std::map<std::string, std::string> FValues; ///< by the name folded to upper case
    std::set<std::string> FGlobals;
};

} // namespace ut
