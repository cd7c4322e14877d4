#include "support/StringsComp.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ut {
namespace {

using Strings = std::vector<std::string>;

/// The ignored-units component as the main window sets it up.
void SetUpIgnUnits(TStringsComp& comp) {
    comp.SetLines(DefaultIgnoredUnits());
    comp.MakeSorted();
}

TEST(StringsComp, DefaultLinesReadInKeyOrderOnceSorted) {
    TStringsComp comp;
    SetUpIgnUnits(comp);
    EXPECT_EQ(comp.Lines().ToVector(),
              (Strings{"Classes", "Graphics", "Messages", "SysUtils", "Windows"}));
}

TEST(StringsComp, AssigningKeepsTheFirstOfEqualNames) {
    TStringsComp comp;
    SetUpIgnUnits(comp);
    TStringList source;
    for (const char* s : {"SysUtils", "sysutils", "Forms"})
        source.Add(s);
    comp.SetLines(&source);
    EXPECT_EQ(comp.Lines().ToVector(), (Strings{"Forms", "SysUtils"}));
    comp.SetLines(Strings{"windows", "Controls", "WINDOWS"});
    EXPECT_EQ(comp.Lines().ToVector(), (Strings{"Controls", "windows"}));
}

TEST(StringsComp, IsIgnoredMatchesWholeNamesWithoutCase) {
    TStringsComp comp;
    SetUpIgnUnits(comp);
    struct Case {
        const char* name;
        bool ignored;
    };
    for (const Case& c : {Case{"SYSUTILS", true}, Case{"Window", false}, Case{"Windows ", false},
                          Case{"", false}, Case{"Forms", false}})
        EXPECT_EQ(comp.IsIgnored(c.name), c.ignored) << c.name;
}

TEST(StringsComp, NullLinesClearAndAssignFromNullClears) {
    TStringsComp comp;
    SetUpIgnUnits(comp);
    comp.SetLines(static_cast<const TStringList*>(nullptr));
    EXPECT_EQ(comp.Lines().Count(), 0);
    SetUpIgnUnits(comp);
    comp.Assign(nullptr);
    EXPECT_EQ(comp.Lines().Count(), 0);
    EXPECT_FALSE(comp.IsIgnored("Windows"));
}

TEST(StringsComp, OnChangeIsTheListsOwnCallback) {
    TStringsComp comp;
    std::vector<const TStringList*> senders;
    comp.SetOnChange([&](TStringList& sender) { senders.push_back(&sender); });
    comp.SetLines(DefaultIgnoredUnits()); // one update bracket: one notification
    comp.Lines().Add("Forms");
    ASSERT_EQ(senders.size(), 2u);
    EXPECT_EQ(senders[0], &comp.Lines());
    EXPECT_EQ(senders[1], &comp.Lines());
}

} // namespace
} // namespace ut
