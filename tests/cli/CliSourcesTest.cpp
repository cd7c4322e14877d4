// End to end: today's sources. A Lazarus project with .pp units read in Free Pascal mode, a
// Delphi project choosing units by CompilerVersion, and bad input that ends in a message
// while the scan goes on.
#include "CliCapture.h"

#include "platform/FileSystem.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

using namespace ut;
using nlohmann::json;
using uttest::RunCapture;
namespace stdfs = std::filesystem;

class CliSources : public uttest::ProjectDir {
  protected:
    static std::string Unit(const std::string& name, const std::string& interface = "") {
        return "unit " + name + ";\ninterface\n" + interface + "\nimplementation\nend.\n";
    }
    json Scan(std::vector<std::string> args, int expectedStatus = 0) {
        args.insert(args.begin(), {"--format", "json"});
        int status = -1;
        const std::string out = RunCapture(args, status, &errors);
        EXPECT_EQ(status, expectedStatus) << errors;
        return json::parse(out);
    }
    static std::vector<std::string> Keys(const json& doc) {
        std::vector<std::string> keys;
        for (const json& u : doc["units"])
            keys.push_back(u["key"]);
        return keys;
    }
    static const json& UnitOf(const json& doc, const std::string& key) {
        for (const json& u : doc["units"])
            if (u["key"] == key)
                return u;
        throw std::runtime_error("no unit " + key);
    }
    std::vector<std::string> Log(const json& doc) const {
        std::vector<std::string> lines;
        for (const json& l : doc["log"]) {
            // Shown as the text log shows it: two blanks per level.
            std::string text = std::string(2 * l["depth"].get<size_t>(), ' ');
            text += l["text"].get<std::string>();
            lines.push_back(Rooted(text));
        }
        return lines;
    }
    std::string errors;
};

const char* const Lpi = R"xml(<?xml version="1.0"?>
<CONFIG>
  <ProjectOptions>
    <BuildModes><Item Name="Default" Default="True"/>
      <Item Name="Lean"><CompilerOptions>
        <SearchPaths><OtherUnitFiles Value="lean"/></SearchPaths>
        <Other><CustomOptions Value=""/></Other>
      </CompilerOptions></Item>
    </BuildModes>
    <Units><Unit><Filename Value="demo.lpr"/></Unit></Units>
  </ProjectOptions>
  <CompilerOptions>
    <SearchPaths><OtherUnitFiles Value="src"/><IncludeFiles Value="inc"/></SearchPaths>
    <Other><CustomOptions Value="-dFEATURE"/></Other>
  </CompilerOptions>
</CONFIG>)xml";

TEST_F(CliSources, LazarusProjectWithPpUnitsInFreePascalMode) {
    Write("demo.lpi", Lpi);
    Write("demo.lpr",
          "program demo;\n{$mode objfpc}{$H+}\nuses {$IFDEF FPC} Alpha, {$ENDIF} Beta;\n"
          "begin end.\n");
    Write("src/Alpha.pp",
          Unit("Alpha", "uses\n"
                        "{$IF FPC_FULLVERSION >= 20600} Modern {$ELSE} Ancient {$IFEND},\n"
                        "{$IFDEF FEATURE} Feature, {$ENDIF}\n"
                        "{$IF SizeOf(Pointer) = SizeOf(PtrUInt)} Sized, {$IFEND} Gamma;"));
    for (const char* f : {"src/Modern.p", "src/Feature.pp", "src/Sized.pp", "src/Gamma.pp",
                          "src/Delta.pp", "src/Ancient.pp", "lean/Alpha.pp"})
        Write(f, Unit(fs::FileKey(f)));
    Write("src/Feature.pas", Unit("Feature"));
    Write("Beta.pp", Unit("Beta", "{$I beta.inc}"));
    Write("inc/beta.inc", "uses Delta;");

    const json doc = Scan({Under("demo.lpi")});
    // FPC, FEATURE (the custom options), FPC_FULLVERSION and the src/inc paths each decide
    // one of these units.
    EXPECT_EQ(Keys(doc), (std::vector<std::string>{"Alpha", "Beta", "Delta", "demo", "Feature",
                                                   "Gamma", "Modern", "Sized"}));
    EXPECT_EQ(UnitOf(doc, "Modern")["file"], Under("src/Modern.p"));
    EXPECT_EQ(UnitOf(doc, "Feature")["file"], Under("src/Feature.pas"));
    const json& alpha = UnitOf(doc, "Alpha")["uses"];
    EXPECT_EQ(alpha[0]["conditions"], json({"IF FPC_FULLVERSION >= 20600"}));
    EXPECT_EQ(alpha[1]["conditions"], json({"IFDEF FEATURE"}));
    EXPECT_FALSE(alpha[3].contains("conditions"));
    EXPECT_EQ(UnitOf(doc, "Beta")["uses"][0]["file"], Under("inc/beta.inc"));
    EXPECT_EQ(doc["notFound"], json::array());

    // Another build mode brings its own search path and symbols.
    const json lean = Scan({"--build-mode", "Lean", Under("demo.lpi")});
    EXPECT_EQ(UnitOf(lean, "Alpha")["file"], Under("lean/Alpha.pp"));
    // Lazarus builds in mode objfpc by default: its symbol ends the compiler's own.
    EXPECT_EQ(lean["inputs"]["defines"].back(), "FPC_OBJFPC");
}

// A Free Pascal scan on the command line takes no Delphi installation's library, as the
// window's does not: Forms stays unfound unless --lib-path names Free Pascal's.
TEST_F(CliSources, FreePascalScansTakeNoDelphiLibrary) {
    Write("studio.reg", "REGEDIT4\n[HKEY_CURRENT_USER\\Software\\Embarcadero\\BDS\\23.0\\"
                        "Library\\Win32]\n\"Search Path\"=\"" +
                            root + "/vcl\"\n");
    Write("vcl/Forms.pas", Unit("Forms"));
    Write("lcl/Forms.pas", Unit("Forms"));
    Write("demo.lpr", "program demo;\nuses Forms;\nbegin end.\n");
    Write("P.dpr", "program P;\nuses Forms;\nbegin end.\n");
    const struct {
        std::vector<std::string> Args;
        std::string LibPath, Forms; ///< Forms' file; empty: not found
    } cases[] = {
        {{Under("demo.lpr")}, "", ""},
        {{"--lib-path", root + "/lcl", Under("demo.lpr")}, root + "/lcl", Under("lcl/Forms.pas")},
        {{"--compiler", "fpc", Under("P.dpr")}, "", ""},
        {{Under("P.dpr")}, root + "/vcl", Under("vcl/Forms.pas")}};
    for (const auto& c : cases) {
        std::vector<std::string> args = {"--registry", root + "/studio.reg"};
        args.insert(args.end(), c.Args.begin(), c.Args.end());
        const json doc = Scan(args);
        SCOPED_TRACE(c.Args.front());
        EXPECT_EQ(doc["inputs"]["libPath"], c.LibPath);
        EXPECT_EQ(doc["notFound"], c.Forms.empty() ? json({"Forms"}) : json::array());
        if (!c.Forms.empty()) {
            EXPECT_EQ(UnitOf(doc, "Forms")["file"], c.Forms);
        }
    }
}

TEST_F(CliSources, DelphiProjectChoosesUnitsByCompilerVersion) {
    Write("P.dpr",
          "program P;\nuses\n{$IF CompilerVersion >= 15} NewUnit\n"
          "{$ELSEIF CompilerVersion >= 14} MidUnit {$ELSE} OldUnit {$IFEND};\nbegin end.\n");
    for (const char* name : {"NewUnit", "MidUnit", "OldUnit"})
        Write(std::string(name) + ".pas", Unit(name));
    const struct {
        const char* version;
        const char* unit;
        json constants;
    } cases[] = {
        {"7.0", "NewUnit", {{"CompilerVersion", 15.0}, {"RTLVersion", 15.0}}},
        {"6.0", "MidUnit", {{"CompilerVersion", 14.0}, {"RTLVersion", 14.0}}},
        {"5.0", "OldUnit", json::object()}, // before Delphi 6 there is no CompilerVersion
    };
    for (const auto& c : cases) {
        const json doc = Scan({"--delphi", c.version, "--defines", "VER0", root + "/P.dpr"});
        EXPECT_EQ(doc["inputs"]["constants"], c.constants) << c.version;
        EXPECT_EQ(Keys(doc), (std::vector<std::string>{c.unit, "P"})) << c.version;
    }
}

// The depth limit's message is guarded by DirectivesTest (DeepNest).
TEST_F(CliSources, BadDirectivesEndTheirUnitAndTheScanGoesOn) {
    Write("P.dpr", "program P;\nuses Bad, Local, Other;\nbegin end.\n");
    Write("Bad.pas", "unit Bad;\ninterface\n{$IF Defined(A) and (}\nuses X;\n{$IFEND}\n");
    // A unit's own symbols stay with it: Other does not see LOCAL.
    Write("Local.pas", Unit("Local", "{$DEFINE LOCAL}"));
    Write("Other.pas", Unit("Other", "{$IFDEF LOCAL} uses Hidden; {$ENDIF}"));
    Write("Hidden.pas", Unit("Hidden"));
    const json doc = Scan({"--delphi", "7.0", Under("P.dpr")});
    EXPECT_EQ(Log(doc), (std::vector<std::string>{
                            uttest::NativeRooted("Scanning project @/P.dpr"),
                            "P: parsed...",
                            uttest::NativeRooted(
                                "  EXC: File=@/Bad.pas, Msg=Error: \"Invalid $if expression: "
                                "missing operand\" on line 3 of file @/Bad.pas"),
                            "  Bad: parsed...",
                            "  Local: parsed...",
                            "  Other: parsed...",
                            "Done",
                        }));
}

TEST_F(CliSources, LazarusFilesThatCannotBeRead) {
    Write("broken.lpi", "<CONFIG><ProjectOptions>");
    EXPECT_EQ(Log(Scan({Under("broken.lpi")}, 1)),
              std::vector<std::string>{
                  uttest::NativeRooted("EXC: File=, Msg=Cannot read @/broken.lpi: no XML "
                                       "(Start-end tags mismatch at offset 23)")});
    EXPECT_EQ(errors, "");
    // Beside a program source, the program is scanned without it, with a warning.
    Write("broken.lpr", "program broken;\nuses Gone;\nbegin end.\n");
    const json doc = Scan({Under("broken.lpr")});
    EXPECT_EQ(errors, "warning: Cannot read " + Under("broken.lpi") +
                          ": no XML (Start-end tags mismatch at offset 23)\n");
    EXPECT_EQ(doc["inputs"]["compiler"], "fpc");
    EXPECT_EQ(doc["notFound"], json({"Gone"}));
}

TEST_F(CliSources, LazarusPackageScansItsUnits) {
    Write("pkg/tools.lpk", R"xml(<CONFIG><Package><Name Value="Tools"/>
      <Files><Item><Filename Value="src/one.pas"/><UnitName Value="One"/></Item>
             <Item><Filename Value="src/two.pp"/><UnitName Value="Two"/></Item></Files>
      </Package></CONFIG>)xml");
    Write("pkg/src/one.pas", Unit("One", "uses Two;"));
    Write("pkg/src/two.pp", Unit("Two"));
    const json doc = Scan({Under("pkg/tools.lpk")});
    EXPECT_EQ(Keys(doc), (std::vector<std::string>{"one", "tools", "two"}));
    EXPECT_EQ(UnitOf(doc, "tools")["kind"], "package");
    EXPECT_EQ(UnitOf(doc, "tools")["name"], "Tools");
    EXPECT_EQ(UnitOf(doc, "two")["file"], Under("pkg/src/two.pp"));
}

// A required package found in --package-path: its units are read with its own defines and
// mode, its usage include path reaches the project; a build mode's target decides the
// symbols; a package found nowhere is named in the log.
TEST_F(CliSources, RequiredPackagesTargetsAndModes) {
    Write("app/demo.lpi", R"xml(<CONFIG><ProjectOptions>
      <BuildModes><Item Name="Default" Default="True"/><Item Name="Win"><CompilerOptions>
        <CodeGeneration><TargetOS Value="Win64"/></CodeGeneration></CompilerOptions></Item></BuildModes>
      <Units><Unit><Filename Value="demo.lpr"/></Unit></Units>
      <RequiredPackages><Item><PackageName Value="Kit"/></Item><Item><PackageName Value="Gone"/></Item></RequiredPackages>
      </ProjectOptions><CompilerOptions><SearchPaths><OtherUnitFiles Value="plat/$(SrcOS)"/></SearchPaths></CompilerOptions></CONFIG>)xml");
    Write("app/demo.lpr", "uses {$I kit.inc} OsUnit;\nbegin end.\n");
    Write("app/plat/unix/OsUnit.pas", Unit("OsUnit"));
    Write("app/plat/win/OsUnit.pas", Unit("OsUnit", "{$IFDEF MSWINDOWS} uses WinOnly; {$ENDIF}"));
    Write("app/plat/win/WinOnly.pas", Unit("WinOnly"));
    Write("libs/kit/kit.lpk", R"xml(<CONFIG><Package><Name Value="Kit"/>
      <CompilerOptions><Other><CustomOptions Value="-dKIT"/></Other>
        <Parsing><SyntaxOptions><SyntaxMode Value="Delphi"/></SyntaxOptions></Parsing></CompilerOptions>
      <Files><Item><Filename Value="src/kitmain.pas"/></Item></Files>
      <UsageOptions><IncludePath Value="inc"/></UsageOptions></Package></CONFIG>)xml");
    Write("libs/kit/inc/kit.inc", "KitMain,");
    Write("libs/kit/src/kitmain.pas",
          Unit("KitMain",
               "uses {$IFDEF KIT} KitOwn {$ENDIF}{$IFDEF FPC_DELPHI}, KitDelphi{$ENDIF};"));
    for (const char* name : {"KitOwn", "KitDelphi"})
        Write(std::string("libs/kit/src/") + name + ".pas", Unit(name));
    const json doc = Scan({"--package-path", Under("libs"), Under("app/demo.lpi")});
    EXPECT_EQ(Keys(doc),
              (std::vector<std::string>{"demo", "KitDelphi", "kitmain", "KitOwn", "OsUnit"}));
    EXPECT_EQ(UnitOf(doc, "OsUnit")["file"], Under("app/plat/unix/OsUnit.pas"));
    EXPECT_EQ(doc["inputs"]["mode"], "objfpc");
    EXPECT_EQ(Log(doc)[1], "Required package Gone not found");

    const json win = Scan({"--package-path", Under("libs"), "--build-mode", "Win", "--mode", "TP",
                           Under("app/demo.lpi")});
    EXPECT_EQ(UnitOf(win, "OsUnit")["uses"][0]["key"], "WinOnly");
    EXPECT_EQ(win["inputs"]["target"], "x86_64-win64");
    EXPECT_EQ(win["inputs"]["mode"], "tp");
    const json& defines = win["inputs"]["defines"];
    for (const char* symbol : {"WIN64", "MSWINDOWS", "FPC_TP"})
        EXPECT_NE(std::find(defines.begin(), defines.end(), symbol), defines.end()) << symbol;
    for (const char* symbol : {"LINUX", "UNIX", "FPC_OBJFPC"})
        EXPECT_EQ(std::find(defines.begin(), defines.end(), symbol), defines.end()) << symbol;
}

} // namespace
