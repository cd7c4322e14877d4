// Reading the options file beside a project and deriving the map and output file paths.
#include "config/ProjectOptions.h"

#include "TempTree.h"
#include "support/Exceptions.h"

#include <gtest/gtest.h>

namespace {

using ut::OutputExtension;
using ut::ProjectOptionsOf;
using ut::ReadProjectOptions;

struct ExtCase {
    const char* projectExt;
    const char* version;
    const char* expected;
};

TEST(OutputExtension, FollowsSourceKindAndVersion) {
    const ExtCase cases[] = {
        {".dpr", "3.0", ".EXE"},
        {".DPR", "", ".EXE"},
        {".dpk", "", ".BPL"},
        {".dpk", "3.0", ".DPL"},
        {".DPK", "2.0", ".DPL"},
        {".dpk", "3", ".DPL"},
        {".dpk", "4.0", ".BPL"},
        {".dpk", "5.0", ".BPL"},
        {".dpk", "10.0", ".BPL"},
        // Not a number before the first dot: taken as 5.
        {".dpk", "x.0", ".BPL"},
        {".dpk", ".0", ".BPL"},
        {".dpk", "3a.0", ".BPL"},
        {".pas", "3.0", ".EXE"},
    };
    for (const ExtCase& c : cases)
        EXPECT_EQ(OutputExtension(c.projectExt, c.version), c.expected)
            << c.projectExt << " " << c.version;
}

class ProjectOptions : public uttest::TempTreeTest {
  protected:
    void SetUp() override {
        TempTreeTest::SetUp();
        work = Mkdir("work");
        Write("work/demo.dpr", "program demo;\r\nbegin\r\nend.\r\n");
    }
    std::string work;
};

TEST_F(ProjectOptions, ProgramTakesSearchPathConditionalsAndOutputDir) {
    Write("work/demo.dof", "[Compiler]\r\nA=1\r\n[Directories]\r\nOutputDir=..\\bin\r\n"
                           "SearchPath=..\\common;$(DELPHI)\\Source\\Rtl\r\n"
                           "Conditionals=DEBUG;LOGGING\r\nPackageDLLOutputDir=..\\pkg\r\n");
    const auto o = ProjectOptionsOf(work + "/demo.dpr", "5.0");
    ASSERT_TRUE(o.FOptionsRead);
    EXPECT_EQ(o.SearchPath, "..\\common;$(DELPHI)\\Source\\Rtl");
    EXPECT_EQ(o.Conditionals, "DEBUG;LOGGING");
    EXPECT_EQ(o.MapFileName, root + "/bin/demo.MAP");
    EXPECT_EQ(o.ExeName, root + "/bin/demo.EXE");
    EXPECT_EQ(o.ProjectDir, work + "/");
    EXPECT_EQ(ut::fs::GetCurrentDir(), work);
}

TEST_F(ProjectOptions, OutputDirEmptyAbsoluteOrWithTrailingSeparator) {
    Write("work/demo.DOF", "[Directories]\r\nOutputDir=\r\nSearchPath=.\r\n");
    const auto o = ProjectOptionsOf(work + "/demo.dpr", "");
    ASSERT_TRUE(o.FOptionsRead);
    EXPECT_EQ(o.MapFileName, work + "/demo.MAP");
    EXPECT_EQ(o.ExeName, work + "/demo.EXE");
    // Absolute, and relative with a trailing separator.
    Mkdir("out");
    Write("work/demo.DOF", "[Directories]\r\nOutputDir=" + root + "/out/\r\n");
    EXPECT_EQ(ProjectOptionsOf(work + "/demo.dpr", "5.0").MapFileName, root + "/out/demo.MAP");
    Write("work/demo.DOF", "[Directories]\r\nOutputDir=..\\out\\\r\n");
    EXPECT_EQ(ProjectOptionsOf(work + "/demo.dpr", "5.0").MapFileName, root + "/out/demo.MAP");
}

TEST_F(ProjectOptions, DriveLetterOutputDirGoesThroughTheDriveMapper) {
    Mkdir("drive_d/out");
    const std::string d = root + "/drive_d";
    ut::fs::SetDriveMapper([d](const std::string& p) {
        return (p[0] == 'D' || p[0] == 'd') ? d + "/" + p.substr(3) : std::string();
    });
    Write("work/demo.DOF", "[Directories]\r\nOutputDir=D:\\out\r\n");
    const auto o = ProjectOptionsOf(work + "/demo.dpr", "5.0");
    EXPECT_EQ(o.MapFileName, d + "/out/demo.MAP");
    EXPECT_EQ(o.ExeName, d + "/out/demo.EXE");
}

TEST_F(ProjectOptions, PackageUsesPackageOutputDirAndVersionExtension) {
    Write("work/pack.dpk", "package pack;\r\nend.\r\n");
    Write("work/pack.DOF", "[Directories]\r\nOutputDir=..\\exe\r\nPackageDLLOutputDir=..\\bpl\r\n");
    auto o = ProjectOptionsOf(work + "/pack.dpk", "3.0");
    EXPECT_EQ(o.MapFileName, root + "/bpl/pack.MAP");
    EXPECT_EQ(o.ExeName, root + "/bpl/pack.DPL");
    o = ProjectOptionsOf(work + "/pack.dpk", "5.0");
    EXPECT_EQ(o.ExeName, root + "/bpl/pack.BPL");
}

TEST_F(ProjectOptions, MissingSectionGivesEmptyTextsAndTheProjectDirectory) {
    Write("work/demo.DOF", "[Compiler]\r\nSearchPath=wrong\r\n");
    const auto o = ProjectOptionsOf(work + "/demo.dpr", "5.0");
    ASSERT_TRUE(o.FOptionsRead);
    EXPECT_EQ(o.SearchPath, "");
    EXPECT_EQ(o.Conditionals, "");
    EXPECT_EQ(o.MapFileName, work + "/demo.MAP");
}

TEST_F(ProjectOptions, NothingIsReadWithoutAProgramOrPackageAndItsOptionsFile) {
    Write("work/demo.DOF", "[Directories]\r\nSearchPath=x\r\n");
    Write("work/unit1.pas", "unit unit1;");
    Write("work/unit1.DOF", "[Directories]\r\nSearchPath=x\r\n");
    Write("work/lonely.dpr", "program lonely;");
    ut::fs::SetCurrentDir(root);
    for (const std::string& project :
         {work + "/unit1.pas", work + "/lonely.dpr", work + "/dem", work + "/", std::string()}) {
        const auto o = ProjectOptionsOf(project, "5.0");
        EXPECT_FALSE(o.FOptionsRead) << project;
        EXPECT_EQ(o.SearchPath, "") << project;
        EXPECT_EQ(o.MapFileName, "") << project;
    }
    EXPECT_EQ(ut::fs::GetCurrentDir(), root);
    EXPECT_FALSE(ReadProjectOptions(work + "/none.DOF", ".dpr", "5.0").FOptionsRead);
}

TEST_F(ProjectOptions, ExtensionAndFileNamesInAnyCase) {
    Write("work/UPPER.DPR", "program upper;");
    Write("work/upper.dof", "[directories]\r\nsearchpath=lib\r\n");
    const auto o = ProjectOptionsOf(work + "/UPPER.DPR", "5.0");
    ASSERT_TRUE(o.FOptionsRead);
    EXPECT_EQ(o.SearchPath, "lib");
    EXPECT_EQ(o.MapFileName, work + "/upper.MAP");
}

TEST_F(ProjectOptions, ReadingTwiceGivesTheSameFields) {
    Write("work/demo.DOF", "[Directories]\r\nOutputDir=..\\bin\r\nSearchPath=a;b\r\n");
    const auto first = ProjectOptionsOf(work + "/demo.dpr", "5.0");
    ut::fs::SetCurrentDir(root);
    const auto second = ProjectOptionsOf(work + "/demo.dpr", "5.0");
    EXPECT_EQ(first.SearchPath, second.SearchPath);
    EXPECT_EQ(first.MapFileName, second.MapFileName);
    EXPECT_EQ(first.ExeName, second.ExeName);
}

} // namespace
