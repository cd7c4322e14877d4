// libFuzzer target: the rules file and baseline readers must return or throw ERulesError for
// any bytes, never crash, hang or leak. An odd first byte picks the baseline; the rest is
// the file.
#include "FuzzSupport.h"
#include "rules/Baseline.h"
#include "rules/RulesFile.h"
#include "support/Exceptions.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    try {
        if (data[0] & 1) {
            const ut::rules::Baseline baseline = ut::rules::Baseline::Parse(text, "b.txt");
            for (const std::string& entry : baseline.Entries())
                ut::fuzz::Check(entry.find(": ") != std::string::npos, "an entry without its rule");
        } else {
            const ut::rules::RuleSet rules = ut::rules::ParseRules(text, "r.toml", "/p");
            for (const auto& rule : rules.Rules)
                ut::fuzz::Check(!rule->Name.empty() && !rule->Sets().empty(),
                                "a rule unnamed or without sets");
        }
    } catch (const ut::ERulesError&) {
    }
    return 0;
}
