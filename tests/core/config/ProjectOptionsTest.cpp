// Reading the options file beside a project and deriving the map and output file paths.
#include "config/ProjectOptions.h"

#include "TempTree.h"

#include <gtest/gtest.h>

namespace {

using ut::OutputExtension;
using ut::ProjectOptionsOf;
using ut::ReadProjectOptions;

TEST(OutputExtension, FollowsSourceKindAndVersion) {
    // A version whose text before the first dot is no number is taken as 5.
    const char* const cases[][3] = {
        {".dpr", "3.0", ".EXE"},  {".DPR", "", ".EXE"},    {".dpk", "", ".BPL"},
        {".DPK", "2.0", ".DPL"},  {".dpk", "3", ".DPL"},   {".dpk", "4.0", ".BPL"},
        {".dpk", "10.0", ".BPL"}, {".dpk", "x.0", ".BPL"}, {".pas", "3.0", ".EXE"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(OutputExtension(c[0], c[1]), c[2]) << c[0] << " " << c[1];
}

class ProjectOptions : public uttest::TempTreeTest {
  protected:
    void SetUp() override {
        TempTreeTest::SetUp();
        work = Mkdir("work");
        Write("work/demo.dpr", "program demo;\r\nbegin\r\nend.\r\n");
    }
    /// "search | conditionals | map | exe", then the other fields a .dproj gives.
    std::string Shown(const ut::TProjectOptions& o) const {
        std::string s = o.SearchPath + " | " + o.Conditionals + " | " + o.MapFileName + " | " +
                        o.ExeName + " | " + o.UnitScopes + " | " + o.Platform + " | " +
                        o.OptionsFile + " | " + o.MainSource;
        for (const std::string& r : o.References)
            s += " | ref " + r;
        for (const std::string& n : o.Notes)
            s += " | " + n;
        return Rooted(o.FOptionsRead ? s : "not read");
    }
    std::string work;
};

// Each row writes an options file ("@" is the temporary directory), then reads the project
// from the temporary directory: "search | conditionals | map | exe | current directory".
TEST_F(ProjectOptions, DofFieldsAndOutputPaths) {
    Mkdir("drive_d/out");
    const std::string d = root + "/drive_d";
    ut::fs::SetDriveMapper([d](const std::string& p) {
        return (p[0] == 'D' || p[0] == 'd') ? d + "/" + p.substr(3) : std::string();
    });
    Write("work/pack.dpk", "package pack;\r\nend.\r\n");
    Write("work/UPPER.DPR", "program upper;");
    Write("work/unit1.pas", "unit unit1;");
    Write("work/unit1.DOF", "[Directories]\r\nSearchPath=x\r\n");
    Write("work/lonely.dpr", "program lonely;");
#ifdef _WIN32
    const std::string driveD = "D:\\out\\"; // the system's own drive
#else
    const std::string driveD = "@/drive_d/out/";
#endif
    // The options file is found in any letter case, and the map file is named after it.
    const std::string upper = "@/work/" + uttest::CaseOf("upper", "UPPER");
    const struct {
        const char* project;
        const char* dof;
        std::string text;
        const char* version;
        std::string expected;
    } cases[] = {
        // clang-format off
        {"demo.dpr", "demo.DOF", "[Compiler]\r\nA=1\r\n[Directories]\r\nOutputDir=..\\bin\r\nSearchPath=..\\common;$(DELPHI)\\Rtl\r\n"
         "Conditionals=DEBUG;LOGGING\r\nPackageDLLOutputDir=..\\pkg\r\n", "5.0",
         "..\\common;$(DELPHI)\\Rtl | DEBUG;LOGGING | @/bin/demo.MAP | @/bin/demo.EXE |  |  |  |  in @/work"},
        {"demo.dpr", "demo.DOF", "[Directories]\r\nOutputDir=\r\nSearchPath=.\r\n", "", ". |  | @/work/demo.MAP | @/work/demo.EXE |  |  |  |  in @/work"},
        {"demo.dpr", "demo.DOF", "[Directories]\r\nOutputDir=..\\out\\\r\n", "5.0", " |  | @/out/demo.MAP | @/out/demo.EXE |  |  |  |  in @/work"},
        {"demo.dpr", "demo.DOF", "[Directories]\r\nOutputDir=D:\\out\r\n", "5.0", " |  | " + driveD + "demo.MAP | " + driveD + "demo.EXE |  |  |  |  in @/work"},
        {"pack.dpk", "pack.DOF", "[Directories]\r\nOutputDir=..\\exe\r\nPackageDLLOutputDir=..\\bpl\r\n", "3.0", " |  | @/bpl/pack.MAP | @/bpl/pack.DPL |  |  |  |  in @/work"},
        {"pack.dpk", "pack.DOF", "[Directories]\r\nPackageDLLOutputDir=..\\bpl\r\n", "5.0", " |  | @/bpl/pack.MAP | @/bpl/pack.BPL |  |  |  |  in @/work"},
        {"UPPER.DPR", "upper.dof", "[directories]\r\nsearchpath=lib\r\n", "5.0", "lib |  | " + upper + ".MAP | " + upper + ".EXE |  |  |  |  in @/work"},
        // Nothing is read without a program or package and its options file.
        {"unit1.pas", "demo.DOF", "[Directories]\r\nSearchPath=x\r\n", "5.0", "not read in @"},
        {"lonely.dpr", "demo.DOF", "[Directories]\r\nSearchPath=x\r\n", "5.0", "not read in @"},
        {"", "demo.DOF", "", "5.0", "not read in @"},
        // clang-format on
    };
    for (const auto& c : cases) {
        Write(std::string("work/") + c.dof, c.text);
        ut::fs::SetCurrentDir(root);
        const auto o = ProjectOptionsOf(*c.project ? work + "/" + c.project : "", c.version);
        EXPECT_EQ(Shown(o) + " in " + Rooted(ut::fs::GetCurrentDir()),
                  uttest::NativeRooted(c.expected))
            << c.text;
    }
    EXPECT_EQ(ProjectOptionsOf(work + "/demo.dpr", "5.0").ProjectDir, Under("work/"));
    EXPECT_FALSE(ReadProjectOptions(work + "/none.DOF", ".dpr", "5.0").FOptionsRead);
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
    const ut::TOptionsChoice choice{"12", "", "Win64", "C:\\Studio\\", {}};
    EXPECT_EQ(Shown(ProjectOptionsOf(work + "/demo.dpr", choice)),
              uttest::NativeRooted(
                  "lib;C:\\Studio\\source | DEBUG | @/bin/Win64/demo.map | @/bin/Win64/demo.exe | "
                  "Vcl;System | Win64 | @/work/demo.dproj |  | ref @/work/units/Cart.pas"));
    // No map file asked for: none is read.
    Write("work/demo.dproj", "<Project><PropertyGroup><DCC_MapFile>0</DCC_MapFile>"
                             "</PropertyGroup></Project>");
    EXPECT_EQ(Shown(ProjectOptionsOf(work + "/demo.dpr", choice)),
              uttest::NativeRooted(" |  |  | @/work/demo.exe |  | Win64 | @/work/demo.dproj | "));
    // One that is no project file gives way to the .DOF, with a note.
    Write("work/demo.dproj", "[Directories]\r\n");
    EXPECT_EQ(
        Shown(ProjectOptionsOf(work + "/demo.dpr", choice)),
        uttest::NativeRooted("dof |  | @/bin/demo.MAP | @/bin/demo.EXE |  |  |  |  | demo.dproj "
                             "is not a project file (No document element found on line 2); "
                             "it is not used"));
}

TEST_F(ProjectOptions, ADprojProjectNamesItsSource) {
    Write("work/pk.dpk", "package pk;\r\nend.\r\n");
    Write("work/pk.dproj", "<Project><PropertyGroup><MainSource>pk.dpk</MainSource><AppType>"
                           "Package</AppType><DCC_BplOutput>bpl</DCC_BplOutput></PropertyGroup>"
                           "</Project>");
    auto o = ProjectOptionsOf(work + "/pk.dproj", "12");
    ASSERT_TRUE(o.FOptionsRead);
    EXPECT_EQ(o.MainSource, Under("work/pk.dpk"));
    EXPECT_EQ(o.ExeName, Under("work/bpl/pk.bpl"));
    // Without a MainSource, or with one that is not there, the source of its name beside it.
    for (const char* main : {"", "<MainSource>old.dpk</MainSource>"}) {
        Write("work/pk.dproj",
              std::string("<Project><PropertyGroup>") + main + "</PropertyGroup></Project>");
        EXPECT_EQ(ProjectOptionsOf(work + "/pk.dproj", "12").MainSource, Under("work/pk.dpk"))
            << main;
    }
}

} // namespace
