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

struct FindInTextCase {
    const char* name;
    std::string text;
    std::string what;
    int start, count;
    bool matchCase, wholeWord;
    int expected;
};

class FindInTextTest : public ::testing::TestWithParam<FindInTextCase> {};

TEST_P(FindInTextTest, ReturnsFirstHitInRange) {
    const auto& c = GetParam();
    EXPECT_EQ(FindInText(c.text, c.what, c.start, c.count, c.matchCase, c.wholeWord), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FindInTextTest,
    ::testing::Values(
        FindInTextCase{"IgnoresCaseByDefault", kText, "UNIT", 1, 100, false, false, 10},
        FindInTextCase{"MatchCaseSkipsOtherCase", kText, "unit", 1, 100, true, false, 20},
        FindInTextCase{"WholeWordSkipsLongerWord", kText, "unit", 11, 100, false, true, 27},
        FindInTextCase{"WholeWordAtTextStart", kText, "unit", 0, 1, false, true, 0},
        FindInTextCase{"WholeWordUnderscoreIsWordChar", "a_unit unit", "unit", 0, 20, false, true,
                       7},
        FindInTextCase{"HitMayBeginOnLastOffsetOfRange", kText, "unit", 1, 10, false, false, 10},
        FindInTextCase{"HitBeyondRangeNotFound", kText, "unit", 1, 9, false, false, -1},
        FindInTextCase{"EmptyRangeFindsNothing", kText, "unit", 0, 0, false, false, -1},
        FindInTextCase{"NegativeCountFindsNothing", kText, "unit", 30, -5, false, false, -1},
        FindInTextCase{"StartPastTextFindsNothing", kText, "unit", 40, 10, false, false, -1},
        FindInTextCase{"HitMustFitInText", "abcun", "unit", 0, 10, false, false, -1},
        FindInTextCase{"FoldsWesternLetters", "x \xE4rger", "\xC4RGER", 0, 10, false, true, 2}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FindNextInText, EmptyFindTextAsksForText) {
    FakePrompts prompts;
    const auto r = FindNextInText(kText, 0, "", {}, prompts.Get());
    EXPECT_EQ(r.Outcome, TFindOutcome::NoFindText);
    EXPECT_TRUE(prompts.questions.empty());
    EXPECT_TRUE(prompts.warnings.empty());
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

TEST(FindNextInText, DownWrapDeclinedLeavesSelection) {
    FakePrompts prompts;
    prompts.answer = false;
    const std::string text = "target here; nothing after";
    const auto r = FindNextInText(text, 15, "target", {}, prompts.Get());
    EXPECT_EQ(r.Outcome, TFindOutcome::Declined);
    ASSERT_EQ(prompts.questions.size(), 1u);
    EXPECT_EQ(prompts.questions[0],
              "The text \"target\" was not found until end of file...\r\nStart from beginning?");
    EXPECT_TRUE(prompts.warnings.empty());
}

TEST(FindNextInText, DownWrapAcceptedSelectsFirstHit) {
    FakePrompts prompts;
    prompts.answer = true;
    const auto r = FindNextInText("xx target here; nothing after", 20, "target", {}, prompts.Get());
    EXPECT_EQ(r.Outcome, TFindOutcome::Selected);
    EXPECT_EQ(r.SelStart, 3);
    EXPECT_EQ(r.SelLength, 6);
}

TEST(FindNextInText, DownFromStartNotFoundWarnsWithoutQuestion) {
    FakePrompts prompts;
    prompts.answer = true;
    const auto r = FindNextInText(kText, 0, "absent", {}, prompts.Get());
    EXPECT_EQ(r.Outcome, TFindOutcome::NotFound);
    EXPECT_TRUE(prompts.questions.empty());
    EXPECT_EQ(prompts.warnings, std::vector<std::string>{"The text \"absent\" was not found!"});
}

// A selection near the end must not turn into a backward or out-of-text range.
TEST(FindNextInText, DownFromNearEndDoesNotOverrun) {
    FakePrompts prompts;
    const auto r =
        FindNextInText(kText, static_cast<int>(kText.size()) - 1, "zzzzzz", {}, prompts.Get());
    EXPECT_EQ(r.Outcome, TFindOutcome::NotFound);
    EXPECT_TRUE(prompts.questions.empty());
    EXPECT_EQ(prompts.warnings, std::vector<std::string>{"The text \"zzzzzz\" was not found!"});
}

TEST(FindNextInText, DownMatchCaseAndWholeWord) {
    FakePrompts prompts;
    TFindOptions opts;
    opts.MatchCase = true;
    EXPECT_EQ(FindNextInText(kText, 0, "Unit", opts, prompts.Get()).SelStart, 10);
    opts.MatchCase = false;
    opts.WholeWord = true;
    // From the hit at 10 the search begins at 14; "units" at 20 is no whole word.
    EXPECT_EQ(FindNextInText(kText, 10, "unit", opts, prompts.Get()).SelStart, 27);
    EXPECT_TRUE(prompts.questions.empty());
}

TEST(FindNextInText, WholeWordInsideLongerWordOnlyIsNotFound) {
    FakePrompts prompts;
    prompts.answer = true;
    TFindOptions opts;
    opts.WholeWord = true;
    const auto r = FindNextInText("SysUtils; Utilsx", 0, "Utils", opts, prompts.Get());
    EXPECT_EQ(r.Outcome, TFindOutcome::NotFound);
    EXPECT_EQ(prompts.warnings, std::vector<std::string>{"The text \"Utils\" was not found!"});
}

TEST(FindNextInText, UpSelectsLastHitBeforeSelection) {
    FakePrompts prompts;
    TFindOptions opts;
    opts.Down = false;
    auto r = FindNextInText(kText, 27, "unit", opts, prompts.Get());
    EXPECT_EQ(r.Outcome, TFindOutcome::Selected);
    EXPECT_EQ(r.SelStart, 20);
    // A hit that begins before the caret but runs past it still counts.
    r = FindNextInText(kText, 12, "unit", opts, prompts.Get());
    EXPECT_EQ(r.SelStart, 10);
    opts.MatchCase = true;
    r = FindNextInText(kText, 20, "unit", opts, prompts.Get());
    EXPECT_EQ(r.SelStart, 0);
    EXPECT_TRUE(prompts.questions.empty());
}

TEST(FindNextInText, UpOnFirstHitWrapAcceptedSelectsLastInText) {
    FakePrompts prompts;
    prompts.answer = true;
    TFindOptions opts;
    opts.Down = false;
    const auto r = FindNextInText(kText, 0, "unit", opts, prompts.Get());
    EXPECT_EQ(r.Outcome, TFindOutcome::Selected);
    EXPECT_EQ(r.SelStart, 27);
    EXPECT_EQ(prompts.questions, std::vector<std::string>{kUpQuestion});
}

TEST(FindNextInText, UpWrapDeclinedLeavesSelection) {
    FakePrompts prompts;
    prompts.answer = false;
    TFindOptions opts;
    opts.Down = false;
    const auto r = FindNextInText(kText, 0, "unit", opts, prompts.Get());
    EXPECT_EQ(r.Outcome, TFindOutcome::Declined);
    EXPECT_EQ(prompts.questions, std::vector<std::string>{kUpQuestion});
    EXPECT_TRUE(prompts.warnings.empty());
}

TEST(FindNextInText, UpOnlyOccurrenceSelectedWarnsNotFound) {
    FakePrompts prompts;
    prompts.answer = true;
    TFindOptions opts;
    opts.Down = false;
    const auto r = FindNextInText("one target only", 4, "target", opts, prompts.Get());
    EXPECT_EQ(r.Outcome, TFindOutcome::NotFound);
    EXPECT_TRUE(prompts.questions.empty());
    EXPECT_EQ(prompts.warnings, std::vector<std::string>{"The text \"target\" was not found!"});
}

TEST(FindNextInText, UnsetConfirmCountsAsNo) {
    TSearchPrompts prompts;
    const auto r = FindNextInText(kText, 30, "one", {}, prompts);
    EXPECT_EQ(r.Outcome, TFindOutcome::Declined);
}

} // namespace
} // namespace ut
