// MSBuild conditions and property expansion, and .dproj files read for a configuration and
// platform the way the IDE writes them.
#include "config/DprojFile.h"
#include "config/MsBuildCondition.h"
#include "config/MsBuildProperties.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using ut::EvaluateCondition;
using ut::ReadDprojText;
using ut::TDprojChoice;
using ut::TMsBuildProperties;

TEST(MsBuildCondition, EvaluatesWhatDelphiWrites) {
    TMsBuildProperties props;
    props.Set("Config", "debug");
    props.Set("Base", "True");
    props.Set("Cfg_1", "true");
    props.Set("Platform", "Win64");
    const auto expand = [&props](std::string_view s) { return props.Expand(s); };
    const struct {
        const char* condition;
        bool value;
    } cases[] = {
        // clang-format off
        {"'$(Config)'=='Debug'", true}, // letter case is ignored
        {"'$(Config)'=='Release'", false}, {"'$(Base)'!=''", true},
        {"'$(Cfg_2)'!=''", false}, {"'$(Config)'=='Base' or '$(Base)'!=''", true},
        {"('$(Platform)'=='Win64' and '$(Cfg_1)'=='true') or '$(Cfg_1_Win64)'!=''", true}, {"('$(Platform)'=='Win32' and '$(Base)'=='true') or '$(Base_Win32)'!=''", false},
        {"'$(Base)'=='true' and '$(Platform)'=='Win32' or '$(Cfg_1)'!=''", true}, // and first
        {"'$(Cfg_2)'!='' or '$(Base)'!='' and '$(Platform)'=='Win32'", false}, {"Exists('$(BDS)\\Bin\\CodeGear.Delphi.Targets')", false},
        {"!Exists('x') and $(Base)", true}, {"!('$(Config)'=='Debug')", false},
        {"  ", true},
        // clang-format on
    };
    for (const auto& c : cases) {
        const ut::ConditionResult r = EvaluateCondition(c.condition, expand);
        EXPECT_EQ(r.Error, "") << c.condition;
        EXPECT_EQ(r.Value, c.value) << c.condition;
    }
    // Deep nesting costs no native stack.
    const std::string deep = std::string(100000, '(') + "'a'=='a'" + std::string(100000, ')');
    EXPECT_TRUE(EvaluateCondition(deep, expand).Value);
}

TEST(MsBuildCondition, ConditionsItCannotReadAreFalseWithTheReason) {
    const auto expand = [](std::string_view s) { return std::string(s); };
    const struct {
        const char* condition;
        const char* error;
    } cases[] = {
        // clang-format off
        {"'$(Config)'='Debug'", "\"=\" where \"==\" was expected at column 12"}, {"HasTrailingSlash('$(X)')", "unknown function \"HasTrailingSlash\" at column 1"},
        {"'a'=='a' and", "the condition ends where a value was expected"}, {"('a'=='a'", "unbalanced \"(\" at column 1"},
        {"'a'=='a')", "unbalanced \")\" at column 9"}, {"'a'=='a", "unterminated string at column 6"},
        {"'a' 'b'", "a value where an operator was expected at column 5"}, {"'yes' and 'true'", "\"yes\" is neither true nor false"},
        {"'a'=='b'=='c'", "a comparison of a truth value at column 9"}, {"'a' < 'b'", "unexpected \"<\" at column 5"},
        {"Exists('x'", "unclosed \"Exists(\" at column 1"},
        // clang-format on
    };
    for (const auto& c : cases) {
        const ut::ConditionResult r = EvaluateCondition(c.condition, expand);
        EXPECT_EQ(r.Error, c.error) << c.condition;
        EXPECT_FALSE(r.Value) << c.condition;
    }
}

TEST(MsBuildProperties, ExpandsOncePerDefinition) {
    TMsBuildProperties props;
    props.SetGlobal("Config", "Release");
    EXPECT_FALSE(props.Set("config", "Debug")); // the chosen configuration stays
    props.Set("Path", "a");
    props.Set("Path", props.Expand("b;$(Path);$(path)"));
    EXPECT_EQ(props.Value("PATH"), "b;a;a");
    // A value holding a reference is not expanded again.
    props.Set("Odd", "$");
    EXPECT_EQ(props.Expand("$(Odd)(Path) $(Missing)|$([System.IO.Path]::x) $( $(Config"),
              "$(Path) |$([System.IO.Path]::x) $( $(Config");
}

// A project as the IDE writes it: Base, its two configurations and per-platform groups.
const char* IdeProject = R"xml(<?xml version="1.0" encoding="utf-8"?>
<Project xmlns="http://schemas.microsoft.com/developer/msbuild/2003">
    <PropertyGroup><MainSource>Shop.dpr</MainSource><Base>True</Base><AppType>Application</AppType><Config Condition="'$(Config)'==''">Debug</Config><Platform Condition="'$(Platform)'==''">Win32</Platform></PropertyGroup>
    <PropertyGroup Condition="'$(Config)'=='Base' or '$(Base)'!=''"><Base>true</Base></PropertyGroup>
    <PropertyGroup Condition="('$(Platform)'=='Win32' and '$(Base)'=='true') or '$(Base_Win32)'!=''"><Base_Win32>true</Base_Win32><CfgParent>Base</CfgParent><Base>true</Base></PropertyGroup>
    <PropertyGroup Condition="'$(Config)'=='Debug' or '$(Cfg_1)'!=''"><Cfg_1>true</Cfg_1><CfgParent>Base</CfgParent><Base>true</Base></PropertyGroup>
    <PropertyGroup Condition="('$(Platform)'=='Win64' and '$(Cfg_1)'=='true') or '$(Cfg_1_Win64)'!=''"><Cfg_1_Win64>true</Cfg_1_Win64><CfgParent>Cfg_1</CfgParent><Cfg_1>true</Cfg_1><Base>true</Base></PropertyGroup>
    <PropertyGroup Condition="'$(Config)'=='Release' or '$(Cfg_2)'!=''"><Cfg_2>true</Cfg_2><CfgParent>Base</CfgParent><Base>true</Base></PropertyGroup>
    <PropertyGroup Condition="'$(Base)'!=''"><DCC_ExeOutput>.\$(Platform)\$(Config)</DCC_ExeOutput><DCC_Namespace>System;Data;$(DCC_Namespace)</DCC_Namespace><DCC_UnitSearchPath>$(BDS)\source;common;$(DCC_UnitSearchPath)</DCC_UnitSearchPath></PropertyGroup>
    <PropertyGroup Condition="'$(Base_Win32)'!=''"><DCC_Namespace>Winapi;Vcl;$(DCC_Namespace)</DCC_Namespace></PropertyGroup>
    <PropertyGroup Condition="'$(Cfg_1)'!=''"><DCC_Define>DEBUG;$(DCC_Define)</DCC_Define><DCC_MapFile>3</DCC_MapFile></PropertyGroup>
    <PropertyGroup Condition="'$(Cfg_1_Win64)'!=''"><DCC_Define>TRACE64;$(DCC_Define)</DCC_Define><DCC_UnitSearchPath>x64;$(DCC_UnitSearchPath)</DCC_UnitSearchPath></PropertyGroup>
    <PropertyGroup Condition="'$(Cfg_2)'!=''"><DCC_Define>RELEASE;$(DCC_Define)</DCC_Define></PropertyGroup>
    <ItemGroup><DelphiCompile Include="$(MainSource)"><MainSource>MainSource</MainSource></DelphiCompile><DCCReference Include="Cart.pas"><Form>CartForm</Form></DCCReference><DCCReference Include="lib\$(Platform)\Tax.pas"/><BuildConfiguration Include="Base"><Key>Base</Key></BuildConfiguration><BuildConfiguration Include="Debug"><Key>Cfg_1</Key></BuildConfiguration><BuildConfiguration Include="Release"><Key>Cfg_2</Key></BuildConfiguration></ItemGroup>
    <ProjectExtensions><BorlandProject><Platforms><Platform value="Win32">True</Platform><Platform value="Win64">True</Platform><Platform value="Linux64">False</Platform></Platforms></BorlandProject></ProjectExtensions>
    <Import Project="$(BDS)\Bin\CodeGear.Delphi.Targets" Condition="Exists('$(BDS)\Bin\CodeGear.Delphi.Targets')"/>
</Project>
)xml";

TEST(DprojFile, ConfigurationsAndPlatformsInheritAsTheIdeWritesThem) {
    // "configuration/platform | defines | search path | scopes | exe output | map file", notes
    const char* const cases[][3] = {
        // clang-format off
        {"", "", "Debug/Win32 | DEBUG; | C:\\BDS\\source;common; | Winapi;Vcl;System;Data; | .\\Win32\\Debug | 3"},
        {"Release", "", "Release/Win32 | RELEASE; | C:\\BDS\\source;common; | Winapi;Vcl;System;Data; | .\\Win32\\Release | "},
        {"debug", "WIN64", "Debug/Win64 | TRACE64;DEBUG; | x64;C:\\BDS\\source;common; | System;Data; | .\\Win64\\Debug | 3"},
        {"Release", "Win64", "Release/Win64 | RELEASE; | C:\\BDS\\source;common; | System;Data; | .\\Win64\\Release | "},
        {"Profile", "", "Debug/Win32 | DEBUG; | C:\\BDS\\source;common; | Winapi;Vcl;System;Data; | .\\Win32\\Debug | 3 | Shop.dproj has no configuration \"Profile\" (it has Debug, Release); \"Debug\" is used"},
        {"", "Linux64", "Debug/Win32 | DEBUG; | C:\\BDS\\source;common; | Winapi;Vcl;System;Data; | .\\Win32\\Debug | 3 | Shop.dproj has no platform \"Linux64\" (it has Win32, Win64); \"Win32\" is used"},
        // clang-format on
    };
    for (const auto& [config, platform, expected] : cases) {
        const auto d = ReadDprojText(IdeProject, "/p/Shop.dproj",
                                     TDprojChoice{config, platform, "C:\\BDS\\", {}});
        std::string shown = d.Config + "/" + d.Platform + " | " + d.Defines + " | " +
                            d.UnitSearchPath + " | " + d.UnitScopes + " | " + d.ExeOutput + " | " +
                            d.MapFile;
        for (const std::string& n : d.Notes)
            shown += " | " + n;
        EXPECT_EQ(shown, expected);
        EXPECT_TRUE(d.Read);
        EXPECT_EQ(d.MainSource, "Shop.dpr");
        EXPECT_EQ(d.Configs, (std::vector<std::string>{"Debug", "Release"}));
        EXPECT_EQ(d.Platforms, (std::vector<std::string>{"Win32", "Win64"}));
        EXPECT_EQ(d.References,
                  (std::vector<std::string>{"Cart.pas", "lib\\" + d.Platform + "\\Tax.pas"}));
    }
    // Without an installation the macro stays visible in the path.
    EXPECT_EQ(ReadDprojText(IdeProject, "Shop.dproj", {}).UnitSearchPath, "$(BDS)\\source;common;");

    // The IDE's environment sets what the file does not (not the configuration, which the
    // IDE gives); what nothing sets reaches the search path empty, and is named.
    TDprojChoice choice;
    choice.Environment = [](const std::string& name) -> std::optional<std::string> {
        if (name == "DMVC" || name == "Config")
            return "D:\\dmvc";
        return std::nullopt;
    };
    const auto d = ReadDprojText(
        "<Project><PropertyGroup><Config Condition=\"'$(Config)'==''\">Debug</Config>"
        "<Alias>$(LIB)\\x</Alias><DCC_Define>$(Unused)</DCC_Define>"
        "<DCC_UnitSearchPath>$(DMVC)\\src;$(Alias);$(DCC_UnitSearchPath)</DCC_UnitSearchPath>"
        "<DCC_UnitSearchPath>$(Config);$(DCC_UnitSearchPath)</DCC_UnitSearchPath>"
        "</PropertyGroup></Project>",
        "E.dproj", choice);
    EXPECT_EQ(d.UnitSearchPath, "Debug;D:\\dmvc\\src;\\x;");
    EXPECT_EQ(d.UnknownVariables, std::vector<std::string>{"LIB"});
}

TEST(DprojFile, BadInputIsNamedAndTheRestIsRead) {
    const std::string head = "<Project>\n<PropertyGroup>\n";
    std::string doubling, lastBelowLimit = "A";
    for (int i = 0; i < 40; ++i)
        doubling += "<DCC_Define>$(DCC_Define);$(DCC_Define)</DCC_Define>\n";
    while (2 * lastBelowLimit.size() + 1 <= 65536)
        lastBelowLimit = lastBelowLimit + ";" + lastBelowLimit;
    const struct {
        const char* name;
        std::string xml;
        bool read;
        std::string defines;
        const char* note;
    } cases[] = {
        // clang-format off
        {"not XML", "[Directories]\r\nSearchPath=lib\r\n", false, "", "Bad.dproj is not a project file (No document element found on line 3); it is not used"},
        {"cut short", "<Project>\n<PropertyGroup>\n<DCC_Define>A", false, "", "Bad.dproj is not a project file (Start-end tags mismatch on line 3); it is not used"},
        {"another root", "<Solution/>", false, "", "Bad.dproj is not a project file (no <Project> element); it is not used"},
        {"unknown condition", head + "<DCC_Define>A</DCC_Define>\n</PropertyGroup>\n<PropertyGroup Condition=\"HasTrailingSlash('x')\"><DCC_Define>B</DCC_Define></PropertyGroup></Project>", true, "A", "Bad.dproj, line 5: cannot read the condition \"HasTrailingSlash('x')\" (unknown function \"HasTrailingSlash\" at column 1); <PropertyGroup> is left out"},
        {"property doubling itself", head + "<DCC_Define>A</DCC_Define>\n" + doubling + "</PropertyGroup></Project>", true, lastBelowLimit,
         "Bad.dproj, line 19: DCC_Define grows past 65536 characters (it keeps repeating itself); its previous value is kept"},
        {"properties referring to each other", head + "<A>$(B)x</A><B>$(A)y</B><DCC_Define>$(A)$(B)</DCC_Define></PropertyGroup></Project>", true, "xxy", ""},
        {"no default configuration", head + "<DCC_Define>$(Config)</DCC_Define></PropertyGroup><ItemGroup><BuildConfiguration Include=\"Base\"/><BuildConfiguration Include=\"Debug\"/></ItemGroup></Project>", true, "Debug", "Bad.dproj names no default configuration; \"Debug\" is used"},
        {"default platform it lacks", head + "<Platform Condition=\"'$(Platform)'==''\">Android</Platform>\n<DCC_Define>ON_$(Platform)</DCC_Define></PropertyGroup>\n<ProjectExtensions><BorlandProject><Platforms><Platform value=\"OSX64\">True</Platform></Platforms></BorlandProject></ProjectExtensions></Project>", true, "ON_OSX64", "Bad.dproj: its default platform \"Android\" is not one it has (OSX64); \"OSX64\" is used"},
        // clang-format on
    };
    for (const auto& c : cases) {
        const auto d = ReadDprojText(c.xml, "dir/Bad.dproj", {});
        EXPECT_EQ(d.Read, c.read) << c.name;
        EXPECT_EQ(d.Defines, c.defines) << c.name;
        EXPECT_EQ(d.Notes, *c.note ? std::vector<std::string>{c.note} : std::vector<std::string>{})
            << c.name;
    }
}

} // namespace
