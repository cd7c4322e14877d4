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
#ifdef _WIN32
    GTEST_SKIP() << "drive letters map onto directories only under Linux";
#endif
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

// A .dproj beside the source is read instead of the .DOF while it is a project file.
TEST_F(ProjectOptions, DprojBesideTheSourceComesBeforeTheDof) {
    Write("work/demo.DOF", "[Directories]\r\nSearchPath=dof\r\nOutputDir=..\\bin\r\n");
    const std::string dproj = R"(<Project><PropertyGroup>
<Platform Condition="'$(Platform)'==''">Win32</Platform>
<DCC_UnitSearchPath>lib;$(BDS)\source</DCC_UnitSearchPath><DCC_Define>DEBUG</DCC_Define>
<DCC_Namespace>Vcl;System</DCC_Namespace><DCC_ExeOutput>..\bin\$(Platform)</DCC_ExeOutput>
<DCC_MapFile>3</DCC_MapFile></PropertyGroup><ItemGroup>
<DCCReference Include="units\Cart.pas"/><DCCReference Include="rtl.dcp"/></ItemGroup></Project>)";
    Write("work/demo.dproj", dproj);
    const ut::TOptionsChoice choice{"12", "", "Win64", "C:\\Studio\\"};
    auto o = ProjectOptionsOf(work + "/demo.dpr", choice);
    ASSERT_TRUE(o.FOptionsRead);
    EXPECT_EQ(o.SearchPath, "lib;C:\\Studio\\source");
    EXPECT_EQ(o.Conditionals, "DEBUG");
    EXPECT_EQ(o.UnitScopes, "Vcl;System");
    EXPECT_EQ(o.Platform, "Win64");
    EXPECT_EQ(o.MapFileName, root + "/bin/Win64/demo.map");
    EXPECT_EQ(o.ExeName, root + "/bin/Win64/demo.exe");
    EXPECT_EQ(o.References, std::vector<std::string>{work + "/units/Cart.pas"});
    EXPECT_EQ(o.OptionsFile, work + "/demo.dproj");
    EXPECT_EQ(o.MainSource, "");
    EXPECT_EQ(o.Notes, std::vector<std::string>{});
    // No map file asked for: none is read.
    Write("work/demo.dproj", "<Project><PropertyGroup><DCC_MapFile>0</DCC_MapFile>"
                             "</PropertyGroup></Project>");
    o = ProjectOptionsOf(work + "/demo.dpr", choice);
    EXPECT_EQ(o.MapFileName, "");
    EXPECT_EQ(o.ExeName, work + "/demo.exe");
    // One that is no project file gives way to the .DOF, with a note.
    Write("work/demo.dproj", "[Directories]\r\n");
    o = ProjectOptionsOf(work + "/demo.dpr", choice);
    ASSERT_TRUE(o.FOptionsRead);
    EXPECT_EQ(o.SearchPath, "dof");
    EXPECT_EQ(o.MapFileName, root + "/bin/demo.MAP");
    EXPECT_EQ(o.Notes, std::vector<std::string>{"demo.dproj is not a project file (No document "
                                                "element found on line 2); it is not used"});
}

TEST_F(ProjectOptions, ADprojProjectNamesItsSource) {
    Write("work/pk.dpk", "package pk;\r\nend.\r\n");
    Write("work/pk.dproj", "<Project><PropertyGroup><MainSource>pk.dpk</MainSource><AppType>"
                           "Package</AppType><DCC_BplOutput>bpl</DCC_BplOutput></PropertyGroup>"
                           "</Project>");
    auto o = ProjectOptionsOf(work + "/pk.dproj", "12");
    ASSERT_TRUE(o.FOptionsRead);
    EXPECT_EQ(o.MainSource, work + "/pk.dpk");
    EXPECT_EQ(o.ExeName, work + "/bpl/pk.bpl");
    // Without a MainSource, or with one that is not there, the source of its name beside it.
    for (const char* main : {"", "<MainSource>old.dpk</MainSource>"}) {
        Write("work/pk.dproj",
              std::string("<Project><PropertyGroup>") + main + "</PropertyGroup></Project>");
        EXPECT_EQ(ProjectOptionsOf(work + "/pk.dproj", "12").MainSource, work + "/pk.dpk") << main;
    }
}

} // namespace
