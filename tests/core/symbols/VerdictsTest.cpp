// The verdict rule on hand-written facts.
#include "symbols/Verdicts.h"
#include "scanner/Unit.h"

#include <gtest/gtest.h>

namespace {

using namespace ut;

TEST(Verdicts, RuleOnFacts) {
    const struct {
        const char* name;
        TEntryFacts facts;
        const char* expected; ///< "verdict [reasons] note"
    } cases[] = {
        // clang-format off
        {"used in the interface only from the implementation: move",
         {ukUnit, true, false, false, "", "", 0, {0, 2}}, "move []"},
        {"start-up code blocks the move",
         {ukUnit, true, false, false, "", "", krInitialization, {0, 2}}, "keep [initialization]"},
        {"an implementation entry named only in the interface is kept",
         {ukUnit, false, false, false, "", "", 0, {1, 0}}, "keep [used]"},
        {"nothing used, nothing needed: remove",
         {ukProgram, true, false, false, "", "", 0, {0, 0}}, "remove []"},
        {"a program's in clause keeps it",
         {ukLibrary, true, true, false, "", "", 0, {0, 0}}, "keep [project]"},
        {"an include file not found turns remove into unknown",
         {ukUnit, true, false, false, "", "x.inc missing", 0, {0, 0}}, "unknown [] x.inc missing"},
        {"and leaves a keep as it is",
         {ukUnit, true, false, true, "", "x.inc missing", 0, {0, 0}}, "keep [marked]"},
        {"B unread: unknown whatever else holds",
         {ukUnit, true, false, true, "not found", "", 0, {3, 0}}, "unknown [] not found"},
        {"a package's contains entry gets none", {ukPackage, true, true, false, "", "", 0, {0, 0}}, "none []"},
        // clang-format on
    };
    for (const auto& c : cases) {
        const TJudgement j = JudgeEntry(c.facts);
        std::string out = std::string(VerdictName(j.Verdict)) + " [";
        for (const std::string& r : ReasonNames(j.Reasons))
            out += (out.back() == '[' ? "" : " ") + r;
        out += "]" + (j.Note.empty() ? "" : " " + j.Note);
        EXPECT_EQ(out, c.expected) << c.name;
    }
}

} // namespace
