// libFuzzer target: the .dproj reader and its condition evaluator. Any bytes must give a
// result: a condition that cannot be read is false with a reason; a file that is no project
// gives a note and nothing else; a project's configuration and platform in force are among
// those it offers (when it offers any); no value outgrows the limit on self-repeating
// properties.
//
// Input layout: the first byte picks the choice (bit 0: configuration "Release", bit 1:
// platform "Win64", bit 2: an installation root); the rest is the file and, whole, the
// condition.
#include "config/DprojFile.h"
#include "config/MsBuildCondition.h"
#include "config/MsBuildProperties.h"
#include "support/Textutil.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
}

bool Offered(const std::vector<std::string>& offered, const std::string& inForce) {
    if (offered.empty())
        return true;
    for (const std::string& o : offered)
        if (ut::SameText(o, inForce))
            return true;
    return false;
}

void Condition(std::string_view text) {
    ut::TMsBuildProperties props;
    props.Set("Config", "Debug");
    props.Set("Base", "true");
    const ut::ConditionResult r =
        ut::EvaluateCondition(text, [&props](std::string_view s) { return props.Expand(s); });
    if (!r.Error.empty() && r.Value)
        Fail("a condition that cannot be read holds");
}

void Project(std::string_view xml, unsigned char pick) {
    ut::TDprojChoice choice;
    choice.Config = (pick & 1) ? "Release" : "";
    choice.Platform = (pick & 2) ? "Win64" : "";
    choice.BdsRoot = (pick & 4) ? "C:\\Studio" : "";
    // An environment that names one variable, so the IDE's lookup is read too.
    if (pick & 8)
        choice.Environment = [](const std::string& name) -> std::optional<std::string> {
            if (name == "DMVC")
                return std::string("C:\\dmvc");
            return std::nullopt;
        };
    const ut::TDprojSettings d = ut::ReadDprojText(xml, "fuzz.dproj", choice);
    for (const std::string& note : d.Notes)
        if (note.empty())
            Fail("an empty note");
    if (!d.Read) {
        if (d.Notes.size() != 1 || !d.Configs.empty() || !d.Defines.empty())
            Fail("a file that is no project gave more than its note");
        return;
    }
    if (!Offered(d.Configs, d.Config))
        Fail("the configuration in force is not offered");
    if (!Offered(d.Platforms, d.Platform))
        Fail("the platform in force is not offered");
    for (const std::string* value : {&d.Defines, &d.UnitSearchPath, &d.UnitScopes, &d.MainSource})
        if (value->size() > 64 * 1024)
            Fail("a value outgrew the limit");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    Condition(bytes);
    Project(bytes, data[0]);
    return 0;
}
