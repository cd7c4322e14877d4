#include "config/IdeEnvironment.h"

#include "config/CompilerSettings.h"
#include "platform/Arguments.h"
#include "platform/Registry.h"
#include "support/Textutil.h"

namespace ut {

namespace {

bool IsNameChar(char c, bool first) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' ||
           (!first && c >= '0' && c <= '9');
}

} // namespace

TIdeEnvironment::TIdeEnvironment(const RegistryStore* registry, const std::string& version)
    : FRegistry(registry), FKey("\\" + VersionRegistryKey(version) + "\\Environment Variables"),
      FKeyName("HKEY_CURRENT_USER" + FKey) {}

std::optional<std::string> TIdeEnvironment::Value(const std::string& name) const {
    if (FRegistry)
        if (auto value = FRegistry->ReadString(RegRoot::CurrentUser, FKey, name);
            value && !value->empty())
            return value;
    for (const std::string& spelling : {name, AsciiUpper(name)})
        if (std::string value = platform::EnvironmentVariable(spelling.c_str()); !value.empty())
            return value;
    return std::nullopt;
}

std::optional<std::string> ExpandVariables(std::string_view text, const VariableLookup& lookup,
                                           std::vector<std::string>& unknown) {
    std::string out;
    bool complete = true;
    size_t i = 0;
    for (size_t ref = text.find("$("); ref != std::string_view::npos; ref = text.find("$(", i)) {
        size_t end = ref + 2;
        while (end < text.size() && IsNameChar(text[end], end == ref + 2))
            ++end;
        out.append(text, i, ref - i);
        i = ref + 2;
        if (end == ref + 2 || end >= text.size() || text[end] != ')') {
            out += "$("; // not a reference: kept as written
            continue;
        }
        const std::string name(text.substr(ref + 2, end - ref - 2));
        i = end + 1;
        if (std::optional<std::string> value = lookup(name)) {
            out += *value;
            continue;
        }
        complete = false;
        if (IndexOfText(unknown, name) < 0)
            unknown.push_back(name);
    }
    if (!complete)
        return std::nullopt;
    return out.append(text.substr(i));
}

std::string UnknownVariableMessage(const std::string& name, const std::string& keyName) {
    return "$(" + name + ") in the search paths is not set, neither in the environment nor in " +
           keyName + "; set it to search the directories that name it";
}

} // namespace ut
