// Free Pascal mode: the target's symbols and constants, Delphi's version constants, the
// unit file names of each compiler, and Lazarus project and package files.
#include "TempTree.h"

#include "config/Compiler.h"
#include "config/CompilerSettings.h"
#include "config/FpcTarget.h"
#include "config/LazarusProject.h"
#include "config/SearchIndex.h"
#include "support/Exceptions.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using namespace ut;
using uttest::NativePath;
using uttest::TempTreeTest;
using Strings = std::vector<std::string>;
using Constants = std::vector<std::pair<std::string, double>>;

TEST(FpcTarget, ParsesWhatFpcPrints) {
    const char* const cases[][2] = {
        // clang-format off
        {"3.2.2 linux x86_64\n", "3.2.2 linux x86_64"}, {"3.3.1\nwin64\nx86_64\n", "3.3.1 win64 x86_64"}, {"", "none"},
        {"3.2.2 linux", "none"}, {"3.2.2 linux x86_64 extra", "none"}, {"Free Pascal Compiler", "none"}, {"3.2.2 lin/ux x86_64", "none"},
        // clang-format on
    };
    for (const auto& [text, expected] : cases) { // "version os cpu", or "none"
        const std::optional<TFpcTarget> t = ParseFpcInfo(text);
        EXPECT_EQ(t ? t->Version + " " + t->OS + " " + t->CPU : "none", expected) << text;
    }
}

TEST(FpcTarget, SymbolsConstantsAndPointerSize) {
    const struct {
        TFpcTarget target;
        Strings defined, notDefined;
        double fullVersion;
        int pointerSize;
    } cases[] = {
        // clang-format off
        {{"3.2.2", "linux", "x86_64"}, {"FPC", "VER3", "VER3_2", "VER3_2_2", "CPUX86_64", "CPUAMD64", "CPU64", "LINUX", "UNIX", "HASUNIX", "ENDIAN_LITTLE", "FPC_LITTLE_ENDIAN", "FPC_HAS_TYPE_EXTENDED"}, {"CPU32", "WINDOWS", "MSWINDOWS", "BSD", "FPC_BIG_ENDIAN"}, 30202, 8},
        {{"3.0.4", "win32", "i386"}, {"VER3_0_4", "CPUI386", "CPU32", "CPU86", "WIN32", "WINDOWS", "MSWINDOWS"}, {"UNIX", "CPU64", "VER3_2"}, 30004, 4},
        {{"3.2.2", "win64", "x86_64"}, {"WIN64", "WINDOWS", "MSWINDOWS", "CPUX86_64"}, {"LINUX", "UNIX", "WIN32", "FPC_HAS_TYPE_EXTENDED"}, 30202, 8},
        {{"3.2.2", "wince", "arm"}, {"WINCE", "WINDOWS", "UNDER_CE", "FPC_OS_UNICODE", "CPUARM"}, {"MSWINDOWS", "UNIX"}, 30202, 4},
        {{"3.2.0", "darwin", "powerpc"}, {"CPUPOWERPC", "CPUPOWERPC32", "DARWIN", "BSD", "UNIX", "FPC_BIG_ENDIAN"}, {"FPC_LITTLE_ENDIAN", "FPC_HAS_TYPE_EXTENDED"}, 30200, 4},
        // clang-format on
    };
    for (const auto& c : cases) {
        const Strings symbols = FpcSymbols(c.target);
        for (const std::string& s : c.defined)
            EXPECT_NE(std::find(symbols.begin(), symbols.end(), s), symbols.end()) << s;
        for (const std::string& s : c.notDefined)
            EXPECT_EQ(std::find(symbols.begin(), symbols.end(), s), symbols.end()) << s;
        EXPECT_EQ(FpcConstants(c.target).back(),
                  std::make_pair(std::string("FPC_FULLVERSION"), c.fullVersion));
        EXPECT_EQ(FpcPointerSize(c.target), c.pointerSize);
    }
    EXPECT_EQ(
        FpcConstants({"3.2.2", "linux", "x86_64"}),
        (Constants{
            {"FPC_VERSION", 3}, {"FPC_RELEASE", 2}, {"FPC_PATCH", 2}, {"FPC_FULLVERSION", 30202}}));
}

class UnitFileNames : public TempTreeTest {};

// Within a directory .pas comes before .pp before .p; an earlier directory still wins.
TEST_F(UnitFileNames, EachCompilersExtensionsInOrder) {
    for (const char* f : {"a/U.pp", "a/V.pp", "a/V.pas", "a/W.p", "a/W.pp", "a/X.inc", "b/U.pas"})
        Write(f);
    fs::SetCurrentDir(root);
    auto files = [&](TCompiler compiler) {
        TListedDirectories listed;
        TDualStringList index;
        AddUnitFiles("a;b", "", listed, index, UnitFileExtensions(compiler));
        Strings found;
        for (const char* name : {"U", "V", "W", "X"}) {
            const int i = IndexOfText(index, name);
            found.push_back(i < 0 ? "-" : index.Duals(i).substr(Under("").size()));
        }
        return found;
    };
    using uttest::NativePath;
    EXPECT_EQ(files(TCompiler::FreePascal),
              (Strings{NativePath("a/U.pp"), NativePath("a/V.pas"), NativePath("a/W.pp"), "-"}));
    EXPECT_EQ(files(TCompiler::Delphi),
              (Strings{NativePath("b/U.pas"), NativePath("a/V.pas"), "-", "-"}));
}

TEST(CompilerChoice, NamesAndLazarusFiles) {
    EXPECT_EQ(CompilerOfName("FPC"), TCompiler::FreePascal);
    EXPECT_EQ(CompilerOfName("gpc"), std::nullopt);
    for (const auto& [f, fpc] : {std::pair{"a/demo.lpr", true},
                                 {"DEMO.LPI", true},
                                 {"pkg.lpk", true},
                                 {"demo.dpr", false},
                                 {"demo.lps", false}})
        EXPECT_EQ(IsFreePascalProject(f), fpc) << f;
}

// A project file in the older format (numbered elements) with a second build mode.
const char* const OldProject = R"xml(<?xml version="1.0" encoding="UTF-8"?>
<CONFIG>
  <ProjectOptions>
    <Version Value="9"/>
    <General><MainUnit Value="1"/></General>
    <BuildModes Count="2"><Item1 Name="Default" Default="True"/><Item2 Name="Release"><CompilerOptions><SearchPaths><OtherUnitFiles Value="rel"/></SearchPaths><Other><CustomOptions Value="-dRELEASE"/></Other></CompilerOptions></Item2></BuildModes>
    <Units Count="2"><Unit0><Filename Value="unit1.pas"/></Unit0><Unit1><Filename Value="demo.lpr"/></Unit1></Units>
  </ProjectOptions>
  <CompilerOptions>
    <Target><Filename Value="bin\demo"/></Target>
    <SearchPaths><IncludeFiles Value="inc"/><OtherUnitFiles Value="src;lib\$(TargetCPU)-$(targetos)"/></SearchPaths>
    <Other><CustomOptions Value="-dDEBUG -O2&#10;-dLEVEL:=2 &quot;-dQUOTED&quot;"/></Other>
  </CompilerOptions>
</CONFIG>
)xml";

// The newer format: unnumbered elements, the main unit by default the first.
const char* const NewProject = R"xml(<CONFIG><ProjectOptions>
  <BuildModes><Item Name="Default" Default="True"/><Item Name="Debug"/></BuildModes>
  <Units><Unit><Filename Value="main.lpr"/></Unit><Unit><Filename Value="u.pas"/></Unit></Units>
</ProjectOptions></CONFIG>)xml";

const char* const Package = R"xml(<CONFIG><Package Version="5">
  <Name Value="MyPkg"/>
  <CompilerOptions><SearchPaths><OtherUnitFiles Value="src"/></SearchPaths></CompilerOptions>
  <Files Count="5">
    <Item1><Filename Value="src/alpha.pas"/><UnitName Value="Alpha"/></Item1>
    <Item2><Filename Value="src/defs.inc"/><Type Value="Include"/></Item2>
    <Item3><Filename Value="src\sub\Helper.pp"/></Item3>
    <Item4><Filename Value="src/form.lfm"/><Type Value="LFM"/></Item4>
    <Item5><Filename Value="virt.pas"/><Type Value="Virtual Unit"/></Item5>
  </Files>
</Package></CONFIG>)xml";

// Build modes that set a target, a syntax mode and macro values; paths with IDE macros.
const char* const MacroProject = R"xml(<CONFIG><ProjectOptions>
  <BuildModes>
    <Item Name="Default" Default="True"/>
    <Item Name="Win64"><CompilerOptions><CodeGeneration><TargetOS Value="Win64"/><TargetCPU Value="x86_64"/></CodeGeneration>
      <Parsing><SyntaxOptions><SyntaxMode Value="Delphi"/></SyntaxOptions></Parsing></CompilerOptions></Item>
    <Item Name="Qt"><MacroValues Count="1"><Macro1 Name="LCLWidgetType" Value="qt5"/></MacroValues></Item>
    <SharedMatrixOptions Count="1"><Item1 Type="IDEMacro" Modes="Win64" MacroName="Flavour" Value="pro"/></SharedMatrixOptions>
  </BuildModes>
  <RequiredPackages><Item><PackageName Value="LCL"/></Item><Item><PackageName Value="Base"/><DefaultFilename Value="../b/$(TargetOS)/base.lpk"/></Item></RequiredPackages>
</ProjectOptions>
<CompilerOptions><SearchPaths><OtherUnitFiles Value="plat/$(SrcOS);w/$(LCLWidgetType);$(SrcOS2)x;$(Flavour);$(NoSuch);$(nosuch)"/>
  <UnitOutputDirectory Value="lib/$(TargetCPU)-$(TargetOS)"/><IncludeFiles Value="$(ProjOutDir)"/></SearchPaths></CompilerOptions>
</CONFIG>)xml";

// The file's fields joined by " | ", or "error: <message>".
std::string Parse(const std::string& text, bool package, const std::string& mode = "") {
    try {
        const TLazarusFile f =
            ParseLazarusFile(text, "F", package, mode, TFpcTarget{"3.2.2", "linux", "x86_64"});
        std::string s = "main " + f.MainUnit + " | path " + f.OtherUnitFiles + " | inc " +
                        f.IncludeFiles + " | target " + f.TargetFile;
        for (const std::string& d : f.Defines)
            s += " | define " + d;
        if (!f.BuildModes.empty()) {
            s += " | mode " + f.BuildMode + " of";
            for (const std::string& m : f.BuildModes)
                s += " " + m;
        }
        if (package)
            s += " | package " + f.Name;
        for (const TLazarusFile::Unit& u : f.Units)
            s += " | unit " + u.Name + " " + u.File;
        if (f.Target.OS != "linux" || f.SyntaxMode != "ObjFPC")
            s += " | " + f.Target.CPU + "-" + f.Target.OS + " " + f.SyntaxMode;
        for (const auto& r : f.Required)
            s += " | requires " + r.Name + " " + r.DefaultFilename;
        for (const std::string& m : f.UnknownMacros)
            s += " | unknown " + m;
        return s;
    } catch (const EParserError& e) {
        return std::string("error: ") + e.what();
    }
}

TEST(LazarusFile, Table) {
    const std::string oldDefault =
        "main demo.lpr | path src;lib\\x86_64-linux | inc inc | target "
        "bin\\demo | define DEBUG | define LEVEL | define QUOTED | mode Default "
        "of Default Release";
    const struct {
        std::string text;
        bool package;
        std::string mode;
        std::string expected;
    } cases[] = {
        // clang-format off
        {OldProject, false, "", oldDefault},
        {OldProject, false, "default", oldDefault},
        {OldProject, false, "release", "main demo.lpr | path rel | inc inc | target bin\\demo | define RELEASE | mode Release of Default Release"},
        {NewProject, false, "Debug", "main main.lpr | path  | inc  | target  | mode Debug of Default Debug"},
        {Package, true, "", "main  | path src | inc  | target  | package MyPkg | unit Alpha src/alpha.pas | unit Helper src\\sub\\Helper.pp"},
        {OldProject, false, "Nope", "error: Cannot read F: no build mode \"Nope\""},
        {MacroProject, false, "", "main  | path plat/unix;w/gtk2;x;;; | inc lib/x86_64-linux | target  | mode Default of Default Win64 Qt"
            " | requires LCL  | requires Base ../b/linux/base.lpk | unknown Flavour | unknown NoSuch"},
        {MacroProject, false, "Win64", "main  | path plat/win;w/win32;x;pro;; | inc lib/x86_64-win64 | target  | mode Win64 of Default Win64 Qt"
            " | x86_64-win64 Delphi | requires LCL  | requires Base ../b/win64/base.lpk | unknown NoSuch"},
        {MacroProject, false, "Qt", "main  | path plat/unix;w/qt5;x;;; | inc lib/x86_64-linux | target  | mode Qt of Default Win64 Qt"
            " | requires LCL  | requires Base ../b/linux/base.lpk | unknown Flavour | unknown NoSuch"},
        {"unit x;", false, "", "error: Cannot read F: no XML (No document element found at offset 7)"},
        {"<CONFIG><ProjectOptions>", false, "", "error: Cannot read F: no XML (Start-end tags mismatch at offset 23)"},
        {"<Other/>", false, "", "error: Cannot read F: no CONFIG element"},
        {"<CONFIG/>", false, "", "error: Cannot read F: no ProjectOptions element"},
        {NewProject, true, "", "error: Cannot read F: no Package element"},
        // clang-format on
    };
    for (const auto& c : cases)
        EXPECT_EQ(Parse(c.text, c.package, c.mode), c.expected) << c.text << " " << c.mode;
}

class LazarusOptions : public TempTreeTest {
  protected:
    // The main source or a package's units (relative to the root), "error: ..." or "none".
    std::string MainOf(const std::string& rel) {
        TLazarusOptions o;
        try {
            if (!ReadLazarusOptions(root + "/" + rel, "", TFpcTarget{}, o))
                return "none";
        } catch (const EParserError& e) {
            return std::string("error: ") + e.what();
        }
        const size_t under = Under("").size();
        std::string s = o.MainSource.empty() ? o.PackageName : o.MainSource.substr(under);
        for (const auto& u : o.PackageUnits)
            s += " " + u.Name + "=" + u.File.substr(under);
        return s;
    }
};

TEST_F(LazarusOptions, MainSourceOfEachWayOfNamingTheProject) {
    Write("p/demo.lpi", OldProject);
    Write("p/demo.lpr", "program demo;");
    Write("p/Other.lpr", "program Other;");
    Write("q/q.lpi", "<CONFIG><ProjectOptions/></CONFIG>");
    Write("q/q.lpr", "program q;");
    Write("r/r.lpi", "<CONFIG><ProjectOptions/></CONFIG>");
    Write("pkg/MyPkg.lpk", Package);
    EXPECT_EQ(MainOf("pkg/MyPkg.lpk"),
              NativePath("MyPkg Alpha=pkg/src/alpha.pas Helper=pkg/src/sub/Helper.pp"));
    EXPECT_EQ(MainOf("p/demo.lpi"), NativePath("p/demo.lpr"));
    EXPECT_EQ(MainOf("p/demo.lpr"), NativePath("p/demo.lpr"));
    EXPECT_EQ(MainOf("p/Other.lpr"), "none");            // no Other.lpi beside it
    EXPECT_EQ(MainOf("q/q.lpi"), NativePath("q/q.lpr")); // names no units: the .lpr of its name
    EXPECT_EQ(MainOf("r/r.lpi"), "error: Cannot read " + Under("r/r.lpi") + ": no main source");
}

// Required packages are read transitively, each once: found by their DefaultFilename, in
// the package directories or the project's tree; their units keep their own paths and
// defines, and their usage paths reach the project.
TEST_F(LazarusOptions, RequiredPackagesTransitively) {
    Write("p/demo.lpi", R"xml(<CONFIG><ProjectOptions>
      <Units><Unit><Filename Value="demo.lpr"/></Unit></Units>
      <RequiredPackages><Item><PackageName Value="Base"/><DefaultFilename Value="../b/base.lpk"/></Item>
        <Item><PackageName Value="Extra"/><DefaultFilename Value="../gone/extra.lpk"/></Item><Item><PackageName Value="LCL"/></Item></RequiredPackages>
      </ProjectOptions><CompilerOptions><SearchPaths><OtherUnitFiles Value="src"/></SearchPaths></CompilerOptions></CONFIG>)xml");
    Write("b/base.lpk", R"xml(<CONFIG><Package><Name Value="Base"/>
      <CompilerOptions><SearchPaths><OtherUnitFiles Value="src/$(SrcOS)"/><IncludeFiles Value="inc"/></SearchPaths>
        <Other><CustomOptions Value="-dBASE"/></Other><Parsing><SyntaxOptions><SyntaxMode Value="Delphi"/></SyntaxOptions></Parsing></CompilerOptions>
      <Files><Item><Filename Value="src/b1.pas"/></Item></Files>
      <RequiredPkgs><Item><PackageName Value="extra"/></Item><Item><PackageName Value="Base"/></Item></RequiredPkgs>
      <UsageOptions><IncludePath Value="$(PkgIncPath)"/><UnitPath Value="$(PkgDir)/api"/></UsageOptions></Package></CONFIG>)xml");
    Write("lib/deep/Extra.lpk", R"xml(<CONFIG><Package><Name Value="Extra"/>
      <UsageOptions><UnitPath Value="pub"/></UsageOptions></Package></CONFIG>)xml");
    TLazarusOptions o;
    ASSERT_TRUE(ReadLazarusOptions(Under("p/demo.lpi"), "", TFpcTarget{}, o, {Under("lib")}));
    EXPECT_EQ(Rooted(o.SearchPath), NativePath("src;@/b/api;@/lib/deep/pub"));
    EXPECT_EQ(Rooted(o.IncludePath), NativePath("@/b/inc"));
    std::vector<std::string> packages;
    for (const TLazarusPackage& p : o.Packages) {
        std::string text = p.Name + " " + Rooted(p.File) + " path " + Rooted(p.SearchPath) +
                           " inc " + Rooted(p.IncludePath) + " " + p.SyntaxMode;
        for (const auto& u : p.Units)
            text += " " + u.Name + "=" + Rooted(u.File);
        for (const std::string& d : p.Defines)
            text += " -d" + d;
        packages.push_back(text);
    }
    EXPECT_EQ(packages,
              (Strings{NativePath("Base @/b/base.lpk path @/b/src/unix;@/lib/deep/pub inc @/b/inc "
                                  "Delphi b1=@/b/src/b1.pas -dBASE"),
                       NativePath("Extra @/lib/deep/Extra.lpk path  inc  ObjFPC")}));
    EXPECT_EQ(o.Notes, Strings{"Required package LCL not found"});
}

} // namespace
