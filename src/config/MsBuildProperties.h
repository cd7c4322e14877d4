#pragma once
// The properties of an MSBuild evaluation: names compare without regard to letter case, a
// value is stored expanded, and the properties given from outside (the chosen configuration
// and platform) cannot be changed by the file, as MSBuild treats its global properties.
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace ut {

class TMsBuildProperties {
  public:
    /// A property the file cannot change.
    void SetGlobal(const std::string& name, const std::string& value);
    /// False (and nothing changes) when `name` is a global property. `lost` names the
    /// variables that were not set where the value was expanded (see Expand).
    bool Set(const std::string& name, const std::string& value, std::vector<std::string> lost = {});
    /// The property, else the environment's variable of that name (as MSBuild reads the
    /// environment as properties), except for Config and Platform, which the IDE gives.
    std::optional<std::string> Get(std::string_view name) const;
    /// Where names that no property holds are looked up; none by default.
    void SetEnvironment(std::function<std::optional<std::string>(const std::string&)> lookup) {
        FEnvironment = std::move(lookup);
    }
    /// The variables that were not set, by name, where the property's value was expanded,
    /// also through the properties it took in.
    const std::vector<std::string>& Lost(std::string_view name) const;
    /// The value, empty for an undefined property.
    std::string Value(std::string_view name) const { return Get(name).value_or(""); }

    /// Replaces every "$(Name)" by the property's value (empty when undefined) in one pass:
    /// a substituted value is not expanded again, so a property that refers to itself
    /// ("$(DCC_Define);DEBUG") takes its previous value. Anything else ("$([...])", "@(...)",
    /// a lone "$") stays as written. With `lost`, the names that expanded to nothing for
    /// want of a value are added to it, with those lost by the properties referred to.
    std::string Expand(std::string_view text, std::vector<std::string>* lost = nullptr) const;

  private:
    std::map<std::string, std::string> FValues; ///< by the name folded to upper case
    std::set<std::string> FGlobals;
    std::map<std::string, std::vector<std::string>> FLost; ///< likewise
    std::function<std::optional<std::string>(const std::string&)> FEnvironment;
};

} // namespace ut
