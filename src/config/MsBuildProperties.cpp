#include "config/MsBuildProperties.h"

#include "support/Textutil.h"

namespace ut {

namespace {

bool IsNameChar(char c, bool first) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' ||
           (!first && ((c >= '0' && c <= '9') || c == '-' || c == '.'));
}

} // namespace

void TMsBuildProperties::SetGlobal(const std::string& name, const std::string& value) {
    const std::string key = AsciiUpper(name);
    FValues[key] = value;
    FGlobals.insert(key);
}

bool TMsBuildProperties::Set(const std::string& name, const std::string& value) {
    const std::string key = AsciiUpper(name);
    if (FGlobals.count(key))
        return false;
    FValues[key] = value;
    return true;
}

std::optional<std::string> TMsBuildProperties::Get(std::string_view name) const {
    const auto it = FValues.find(AsciiUpper(name));
    if (it == FValues.end())
        return std::nullopt;
    return it->second;
}

std::string TMsBuildProperties::Expand(std::string_view text) const {
    std::string out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        const size_t ref = text.find("$(", i);
        if (ref == std::string_view::npos)
            break;
        size_t end = ref + 2;
        bool first = true;
        while (end < text.size() && IsNameChar(text[end], first)) {
            ++end;
            first = false;
        }
        out.append(text, i, ref - i);
        if (first || end >= text.size() || text[end] != ')') {
            out += "$("; // not a plain reference: kept as written
            i = ref + 2;
            continue;
        }
        out += Value(text.substr(ref + 2, end - ref - 2));
        i = end + 1;
    }
    if (i < text.size())
        out.append(text, i, std::string_view::npos);
    return out;
}

} // namespace ut
