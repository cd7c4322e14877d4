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

bool TMsBuildProperties::Set(const std::string& name, const std::string& value,
                             std::vector<std::string> lost) {
    const std::string key = AsciiUpper(name);
    if (FGlobals.count(key))
        return false;
    FValues[key] = value;
    if (lost.empty())
        FLost.erase(key);
    else
        FLost[key] = std::move(lost);
    return true;
}

std::optional<std::string> TMsBuildProperties::Get(std::string_view name) const {
    const std::string key = AsciiUpper(name);
    if (const auto it = FValues.find(key); it != FValues.end())
        return it->second;
    if (FEnvironment && key != "CONFIG" && key != "PLATFORM")
        return FEnvironment(std::string(name));
    return std::nullopt;
}

const std::vector<std::string>& TMsBuildProperties::Lost(std::string_view name) const {
    static const std::vector<std::string> none;
    const auto it = FLost.find(AsciiUpper(name));
    return it == FLost.end() ? none : it->second;
}

std::string TMsBuildProperties::Expand(std::string_view text,
                                       std::vector<std::string>* lost) const {
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
        const std::string_view name = text.substr(ref + 2, end - ref - 2);
        const std::optional<std::string> value = Get(name);
        if (value)
            out += *value;
        if (lost) {
            const std::vector<std::string>& more =
                value ? Lost(name) : std::vector<std::string>{std::string(name)};
            for (const std::string& n : more)
                if (IndexOfText(*lost, n) < 0)
                    lost->push_back(n);
        }
        i = end + 1;
    }
    if (i < text.size())
        out.append(text, i, std::string_view::npos);
    return out;
}

} // namespace ut
