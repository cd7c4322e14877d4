#include "mapfile/MapFile.h"

#include <gtest/gtest.h>

#include <string>

namespace ut {
namespace {

struct LocationCase {
    const char* name;
    std::string fileName;
    std::string delphiRoot;
    std::string projectDir;
    std::string expected;
};

class LocationTest : public ::testing::TestWithParam<LocationCase> {};

TEST_P(LocationTest, GivesText) {
    const auto& c = GetParam();
    const TColumnContext ctx{c.delphiRoot, c.projectDir, nullptr};
    const TColumnText r = GetColumnText(&c.fileName, "Unit", LocationColumn, ctx);
    EXPECT_EQ(r.Text, c.expected);
    EXPECT_FALSE(r.RightAlign);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LocationTest,
    ::testing::Values(
        LocationCase{"DelphiRootShownAsMacro", "/opt/Delphi5/Source/Rtl/Sys/System.pas",
                     "/opt/Delphi5", "/work/", "$(DELPHI)/Source/Rtl/Sys"},
        LocationCase{"DelphiRootIgnoresCase", "/opt/DELPHI5/Source/Rtl/Sys/System.pas",
                     "/opt/delphi5", "", "$(DELPHI)/Source/Rtl/Sys"},
        LocationCase{"ProjectSubdirectoryRelative", "/work/sub/A.pas", "/opt/Delphi5", "/work/",
                     "sub"},
        LocationCase{"ProjectSubdirectoryIgnoresCase", "/Work/Sub/Deep/A.pas", "", "/work/",
                     "Sub/Deep"},
        // The project directory ends with '/', its own location does not: shown in full.
        LocationCase{"ProjectDirectoryItselfInFull", "/work/B.pas", "/opt/Delphi5", "/work/",
                     "/work"},
        LocationCase{"EmptyRootAndDirReplaceNothing", "/opt/Delphi5/Lib/X.pas", "", "",
                     "/opt/Delphi5/Lib"},
        LocationCase{"OnlyFirstRootOccurrence", "/d5/src/d5/X.pas", "d5", "", "/$(DELPHI)/src/d5"},
        LocationCase{"BackslashesShownAsSlashes", "/work/Src\\Sub\\A.pas", "", "/work/", "Src/Sub"},
        LocationCase{"OtherDirectoryUnchanged", "/usr/src/lib/X.pas", "/opt/Delphi5", "/work/",
                     "/usr/src/lib"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(GetColumnText, SizeLooksUpNameWithoutCase) {
    TUnitSizes sizes;
    sizes.AddObject("SysUtils", 42980);
    sizes.AddObject("Big", 4294967294);
    const TColumnContext ctx{"", "", &sizes};
    const std::string file = "/work/A.pas";

    TColumnText r = GetColumnText(&file, "sysutils", SizeColumn, ctx);
    EXPECT_EQ(r.Text, "42980");
    EXPECT_TRUE(r.RightAlign);
    EXPECT_EQ(GetColumnText(nullptr, "BIG", SizeColumn, ctx).Text, "4294967294");

    // A unit the map does not list: empty, still right-aligned.
    r = GetColumnText(&file, "NotInMap", SizeColumn, ctx);
    EXPECT_EQ(r.Text, "");
    EXPECT_TRUE(r.RightAlign);
    r = GetColumnText(nullptr, "System", SizeColumn, TColumnContext{}); // no size table
    EXPECT_EQ(r.Text, "");
    EXPECT_TRUE(r.RightAlign);
}

TEST(GetColumnText, OtherColumnsEmptyLeftAligned) {
    TUnitSizes sizes;
    sizes.AddObject("System", 1);
    const TColumnContext ctx{"", "", &sizes};
    const std::string file = "/work/System.pas";
    for (const int column : {0, 3, -1}) {
        const TColumnText r = GetColumnText(&file, "System", column, ctx);
        EXPECT_EQ(r.Text, "") << column;
        EXPECT_FALSE(r.RightAlign) << column;
    }
    const TColumnText r = GetColumnText(nullptr, "Missing", LocationColumn, ctx); // no unit
    EXPECT_EQ(r.Text, "");
    EXPECT_FALSE(r.RightAlign);
}

} // namespace
} // namespace ut
