#include "mapfile/MapFile.h"

#include "NativePath.h"

#include <gtest/gtest.h>

#include <string>

namespace ut {
namespace {

TEST(GetColumnText, LocationShowsTheRootAsMacroAndProjectFoldersRelative) {
    const struct {
        std::string fileName, delphiRoot, projectDir, expected;
    } cases[] = {
        {"/opt/Delphi5/Source/Rtl/Sys/System.pas", "/opt/Delphi5", "/work/",
         "$(DELPHI)/Source/Rtl/Sys"},
        {"/opt/DELPHI5/Source/Rtl/Sys/System.pas", "/opt/delphi5", "", "$(DELPHI)/Source/Rtl/Sys"},
        {"/work/sub/A.pas", "/opt/Delphi5", "/work/", "sub"},
        {"/Work/Sub/Deep/A.pas", "", "/work/", "Sub/Deep"},
        {"/work/B.pas", "/opt/Delphi5", "/work/", "/work"}, // its own folder in full
        {"/opt/Delphi5/Lib/X.pas", "", "", "/opt/Delphi5/Lib"},
        {"/d5/src/d5/X.pas", "d5", "", "/$(DELPHI)/src/d5"}, // the first occurrence only
        {"/work/Src\\Sub\\A.pas", "", "/work/",
         uttest::NativePath("Src/Sub")}, // either separator read; the system's shown
        {"/usr/src/lib/X.pas", "/opt/Delphi5", "/work/", "/usr/src/lib"}};
    for (const auto& c : cases) {
        const TColumnText r =
            GetColumnText(&c.fileName, "Unit", LocationColumn, {c.delphiRoot, c.projectDir});
        EXPECT_EQ(r.Text, c.expected) << c.fileName;
        EXPECT_FALSE(r.RightAlign);
    }
}

TEST(GetColumnText, SizeLooksUpTheNameWithoutCaseOtherColumnsAreEmpty) {
    TUnitSizes sizes;
    sizes.AddObject("SysUtils", 42980);
    sizes.AddObject("Big", 4294967294);
    const TColumnContext ctx{"", "", &sizes};
    const std::string file = "/work/SysUtils.pas";
    const struct {
        const std::string* file;
        const char* unit;
        int column;
        TColumnContext context;
        const char* text;
        bool right;
    } cases[] = {{&file, "sysutils", SizeColumn, ctx, "42980", true},
                 {nullptr, "BIG", SizeColumn, ctx, "4294967294", true},
                 {&file, "NotInMap", SizeColumn, ctx, "", true},
                 {nullptr, "SysUtils", SizeColumn, {}, "", true}, // no size table
                 {nullptr, "Missing", LocationColumn, ctx, "", false},
                 {&file, "SysUtils", 0, ctx, "", false},
                 {&file, "SysUtils", 3, ctx, "", false},
                 {&file, "SysUtils", -1, ctx, "", false}};
    for (const auto& c : cases) {
        const TColumnText r = GetColumnText(c.file, c.unit, c.column, c.context);
        EXPECT_EQ(r.Text, c.text) << c.unit << " " << c.column;
        EXPECT_EQ(r.RightAlign, c.right) << c.unit << " " << c.column;
    }
}

} // namespace
} // namespace ut
