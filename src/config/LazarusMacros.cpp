#include "config/LazarusMacros.h"

#include "platform/Arguments.h"
#include "support/Textutil.h"

#include <algorithm>
#include <initializer_list>

namespace ut {

namespace {

bool OneOf(const std::string& os, std::initializer_list<const char*> names) {
    return std::any_of(names.begin(), names.end(),
                       [&](const char* name) { return SameText(os, name); });
}

} // namespace

std::string SrcOSOf(const std::string& targetOS) {
    if (OneOf(targetOS, {"win32", "win64", "wince"}))
        return "win";
    if (OneOf(targetOS, {"linux", "freebsd", "netbsd", "openbsd", "dragonfly", "darwin", "ios",
                         "solaris", "haiku", "android", "aix", "qnx", "beos"}))
        return "unix";
    return {};
}

std::string SrcOS2Of(const std::string& targetOS) {
    if (OneOf(targetOS, {"freebsd", "netbsd", "openbsd", "dragonfly", "darwin", "ios"}))
        return "bsd";
    if (OneOf(targetOS, {"amiga", "morphos", "aros"}))
        return "amiga";
    return {};
}

std::string DefaultWidgetType(const std::string& targetOS) {
    if (OneOf(targetOS, {"win32", "win64"}))
        return "win32";
    if (SameText(targetOS, "wince"))
        return "wince";
    if (OneOf(targetOS, {"darwin", "ios"}))
        return "cocoa";
    return "gtk2";
}

void TLazarusMacros::Set(const std::string& name, const std::string& value) {
    FValues[UpperFoldText(name)] = value;
}

bool TLazarusMacros::Value(const std::string& name, std::string& value) const {
    if (const auto it = FValues.find(UpperFoldText(name)); it != FValues.end()) {
        value = it->second;
        return true;
    }
    const std::string& os = FTarget.OS;
    const std::pair<const char*, std::string> own[] = {
        {"TargetOS", os},
        {"TargetCPU", FTarget.CPU},
        {"SrcOS", SrcOSOf(os)},
        {"SrcOS2", SrcOS2Of(os)},
        {"LCLWidgetType", DefaultWidgetType(os)},
        {"FPCVer", FTarget.Version},
        {"FPCVersion", FTarget.Version},
    };
    for (const auto& [macro, text] : own) {
        if (SameText(name, macro)) {
            value = text;
            return true;
        }
    }
    return false;
}

std::string TLazarusMacros::Expand(const std::string& text,
                                   std::vector<std::string>& unknown) const {
    std::string out;
    for (size_t i = 0; i < text.size();) {
        // $(Name) or $Env(NAME)
        const bool env = text.compare(i, 5, "$Env(") == 0 || text.compare(i, 5, "$ENV(") == 0;
        const bool macro = text.compare(i, 2, "$(") == 0;
        const size_t open = i + (env ? 4 : 1);
        const size_t close = env || macro ? text.find(')', open) : std::string::npos;
        if (close == std::string::npos) {
            out += text[i++];
            continue;
        }
        const std::string name = text.substr(open + 1, close - open - 1);
        std::string value;
        if (env)
            value = platform::EnvironmentVariable(name.c_str());
        else if (!Value(name, value) &&
                 std::none_of(unknown.begin(), unknown.end(),
                              [&](const std::string& u) { return SameText(u, name); }))
            unknown.push_back(name);
        out += value;
        i = close + 1;
    }
    return out;
}

} // namespace ut
