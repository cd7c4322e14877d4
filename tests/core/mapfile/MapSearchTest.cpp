#include "mapfile/MapSearch.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ut {
namespace {

// Records every question and warning, and answers the questions with a fixed reply.
struct FakePrompts {
    bool answer = false;
    std::vector<std::string> questions;
    std::vector<std::string> warnings;

    TSearchPrompts Get() {
        return {[this](const std::string& q) {
                    questions.push_back(q);
                    return answer;
                },
                [this](const std::string& w) { warnings.push_back(w); }};
    }
};

const std::string kDownQuestion =
    "The text \"unit\" was not found until end of file...\r\nStart from beginning?";
const std::string kUpQuestion =
    "The text \"unit\" was not found until start of file...\r\nStart from end?";

//                         0         1         2         3
//                         0123456789012345678901234567890123456
const std::string kText = "unit one; Unit two; units; unit end";

TEST(FindInText, ReturnsTheFirstHitThatBeginsInTheRange) {
    const struct {
        std::string text, what;
        int start, count;
        bool matchCase, wholeWord;
        int expected;
    } cases[] = {// clang-format off
        {kText, "UNIT", 1, 100, false, false, 10},
        {kText, "unit", 1, 100, true, false, 20},
        {kText, "unit", 11, 100, false, true, 27},  // "units" is no whole word
        {kText, "unit", 0, 1, false, true, 0},
        {"a_unit unit", "unit", 0, 20, false, true, 7}, // '_' is a word character
        {kText, "unit", 1, 10, false, false, 10},   // on the last offset of the range
        {kText, "unit", 1, 9, false, false, -1},
        {kText, "unit", 0, 0, false, false, -1},
        {kText, "unit", 30, -5, false, false, -1},
        {kText, "unit", 40, 10, false, false, -1},
        {"abcun", "unit", 0, 10, false, false, -1}, // the hit must fit in the text
        {"x \xE4rger", "\xC4RGER", 0, 10, false, true, 2}}; // western letters fold
    // clang-format on
    for (const auto& c : cases)
        EXPECT_EQ(FindInText(c.text, c.what, c.start, c.count, c.matchCase, c.wholeWord),
                  c.expected)
            << c.what << " from " << c.start << " in " << c.text;
}

// Repeated searches downward visit every hit in order and then offer to wrap.
TEST(FindNextInText, DownStepsThroughAllHitsThenAsks) {
    FakePrompts prompts;
    prompts.answer = true;
    std::vector<int> hits;
    int sel = 0;
    // The caret at 0 with nothing selected: the first Len characters are skipped.
    for (int i = 0; i < 4; ++i) {
        const auto r = FindNextInText(kText, sel, "unit", {}, prompts.Get());
        ASSERT_EQ(r.Outcome, TFindOutcome::Selected);
        EXPECT_EQ(r.SelLength, 4);
        hits.push_back(r.SelStart);
        sel = r.SelStart;
    }
    EXPECT_EQ(hits, (std::vector<int>{10, 20, 27, 0}));
    EXPECT_EQ(prompts.questions, std::vector<std::string>{kDownQuestion});
    EXPECT_TRUE(prompts.warnings.empty());
}

std::string NotFound(const std::string& what) {
    return "The text \"" + what + "\" was not found!";
}

// One search from a caret (an empty selection at `sel`); sel -1 stands for "not checked".
TEST(FindNextInText, Table) {
    using S = std::vector<std::string>;
    const std::string downTarget =
        "The text \"target\" was not found until end of file...\r\nStart from beginning?";
    const std::string near = "target here; nothing after";
    const int end = static_cast<int>(kText.size()) - 1;
    const struct {
        const char* name;
        std::string text;
        int caret;
        std::string find;
        bool down, matchCase, wholeWord, answer;
        TFindOutcome outcome;
        int sel;
        S questions, warnings;
    } cases[] = {
        // clang-format off
        {"EmptyFindTextAsksForText", kText, 0, "", true, false, false, true, TFindOutcome::NoFindText, -1, {}, {}},
        {"DownWrapDeclined", near, 15, "target", true, false, false, false, TFindOutcome::Declined, -1, {downTarget}, {}},
        {"DownWrapAccepted", "xx " + near, 20, "target", true, false, false, true, TFindOutcome::Selected, 3, {downTarget}, {}},
        {"DownFromStartNotFoundWarnsOnly", kText, 0, "absent", true, false, false, true, TFindOutcome::NotFound, -1, {}, {NotFound("absent")}},
        // A caret near the end must not turn into a backward or out-of-text range.
        {"DownFromNearEndDoesNotOverrun", kText, end, "zzzzzz", true, false, false, false, TFindOutcome::NotFound, -1, {}, {NotFound("zzzzzz")}},
        {"DownMatchCase", kText, 0, "Unit", true, true, false, false, TFindOutcome::Selected, 10, {}, {}},
        // From the hit at 10 the search begins at 14; "units" at 20 is no whole word.
        {"DownWholeWord", kText, 10, "unit", true, false, true, false, TFindOutcome::Selected, 27, {}, {}},
        {"WholeWordOnlyInsideLongerWord", "SysUtils; Utilsx", 0, "Utils", true, false, true, true, TFindOutcome::NotFound, -1, {}, {NotFound("Utils")}},
        {"UpSelectsLastHitBefore", kText, 27, "unit", false, false, false, false, TFindOutcome::Selected, 20, {}, {}},
        // A hit that begins before the caret but runs past it still counts.
        {"UpHitRunningPastCaret", kText, 12, "unit", false, false, false, false, TFindOutcome::Selected, 10, {}, {}},
        {"UpMatchCase", kText, 20, "unit", false, true, false, false, TFindOutcome::Selected, 0, {}, {}},
        {"UpWrapAcceptedSelectsLast", kText, 0, "unit", false, false, false, true, TFindOutcome::Selected, 27, {kUpQuestion}, {}},
        {"UpWrapDeclined", kText, 0, "unit", false, false, false, false, TFindOutcome::Declined, -1, {kUpQuestion}, {}},
        {"UpOnlyOccurrenceSelected", "one target only", 4, "target", false, false, false, true, TFindOutcome::NotFound, -1, {}, {NotFound("target")}},
        // clang-format on
    };
    for (const auto& c : cases) {
        FakePrompts prompts;
        prompts.answer = c.answer;
        TFindOptions opts;
        opts.Down = c.down;
        opts.MatchCase = c.matchCase;
        opts.WholeWord = c.wholeWord;
        const auto r = FindNextInText(c.text, c.caret, c.find, opts, prompts.Get());
        EXPECT_EQ(r.Outcome, c.outcome) << c.name;
        if (c.sel >= 0) {
            EXPECT_EQ(r.SelStart, c.sel) << c.name;
            EXPECT_EQ(r.SelLength, static_cast<int>(c.find.size())) << c.name;
        }
        EXPECT_EQ(prompts.questions, c.questions) << c.name;
        EXPECT_EQ(prompts.warnings, c.warnings) << c.name;
    }
    // Without a question to ask, a wrap counts as declined.
    EXPECT_EQ(FindNextInText(kText, 30, "one", {}, TSearchPrompts{}).Outcome,
              TFindOutcome::Declined);
}

} // namespace
} // namespace ut
