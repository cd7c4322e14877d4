// The conditional symbols and the unit file index that every parse of a scan shares.
#include "config/SearchIndex.h"

#include "TempTree.h"
#include "platform/Registry.h"
#include "support/Textutil.h"

#include <gtest/gtest.h>

namespace {

using ut::BuildSearchIndex;
using ut::TDualStringList;
using ut::TSearchInputs;

class SearchIndex : public uttest::TempTreeTest {
  protected:
    void SetUp() override {
        TempTreeTest::SetUp();
        proj = Mkdir("proj");
        Write("proj/Main.pas");
        Write("proj/Shared.pas");
        Write("lib/Shared.pas");
        Write("lib/LibOnly.pas");
        Write("common/Common.pas");
        Write("common/Twice.pas");
        Write("second/Twice.pas");
        Write("browse/BrowseOnly.pas");
        Write("delphi/Source/Rtl/SysUtils.pas");
        ut::fs::SetCurrentDir(proj);
    }

    /// Builds the index and returns the directories listed, relative to the root.
    std::vector<std::string> Build(const TSearchInputs& in) {
        std::vector<std::string> dirs = BuildSearchIndex(in, defines, files);
        for (std::string& d : dirs)
            if (const std::string under = Under(""); d.compare(0, under.size(), under) == 0)
                d = d.substr(under.size());
        return dirs;
    }
    std::string PathOf(const std::string& unit) const {
        const int i = ut::IndexOfText(files, unit);
        return i < 0 ? "<none>" : files.Duals(i);
    }
    int CountOf(const std::string& unit) const {
        int n = 0;
        for (int i = 0; i < files.Count(); ++i)
            n += ut::SameText(files[i], unit) ? 1 : 0;
        return n;
    }

    std::string proj;
    std::vector<std::string> defines{"stale"};
    TDualStringList files;
};

// Empty pieces are left out: an empty symbol would make a bare {$IFDEF} true.
TEST_F(SearchIndex, DefinesAreVersionSymbolsThenConditionalsTrimmed) {
    TSearchInputs in;
    in.VersionDefines = "VER130;WIN32";
    in.Defines = "DEBUG ; LOGGING;";
    Build(in);
    EXPECT_EQ(defines, (std::vector<std::string>{"VER130", "WIN32", "DEBUG", "LOGGING"}));
    in.Defines = " ;;A";
    Build(in);
    EXPECT_EQ(defines, (std::vector<std::string>{"VER130", "WIN32", "A"}));
}

// Each row builds the index: the directories listed (relative to the root), then where
// some units were found. The project's copy wins, then the first directory named; each
// directory is listed once whatever its spelling; an empty entry would name the root of the
// file system; $(DELPHI) is replaced once in any letter case.
TEST_F(SearchIndex, DirectoriesAndUnitsFound) {
    Write("delphi/a/$(DELPHI)/Odd.pas");
    for (const char* f : {"UPPER.PAS", "Camel.Pas", "My.Unit.pas", "notes.pas.bak", "readme.txt"})
        Write(std::string("mixed/") + f);
    Mkdir("mixed/folder.pas");
    // Inputs: version symbols, conditionals, search, library and browsing paths, whether the
    // browsing path is searched, the $(DELPHI) root.
    const struct {
        TSearchInputs inputs;
        std::vector<std::string> units;
        std::string expected;
    } cases[] = {
        // clang-format off
        {{"", "", "..\\common;..\\second", "@/lib", "", false, ""}, {"shared", "Twice", "LIBONLY"},
         "proj/ common/ second/ lib/ | shared=@/proj/Shared.pas (2) Twice=@/common/Twice.pas (2) LIBONLY=@/lib/LibOnly.pas"},
        {{"", "", "..\\lib; ../LIB/ ;..\\lib\\;.;@/proj", "../Lib", "..\\lib", true, ""}, {"LibOnly", "Main"},
         "proj/ lib/ | LibOnly=@/lib/LibOnly.pas Main=@/proj/Main.pas"},
        {{"", "", "", "", "..\\browse", false, ""}, {"BrowseOnly"}, "proj/ | BrowseOnly=-"},
        {{"", "", "", "", "..\\browse", true, ""}, {"BrowseOnly"}, "proj/ browse/ | BrowseOnly=@/browse/BrowseOnly.pas"},
        {{"", "", ";; \t ;", "$(DELPHI)", "", false, ""}, {}, "proj/ |"},
        {{"", "", "$(delphi)\\Source\\Rtl", "$(Delphi)/a/$(DELPHI)", "", false, "@/delphi"}, {"SysUtils", "Odd"},
         "proj/ delphi/Source/Rtl/ delphi/a/$(DELPHI)/ | SysUtils=@/delphi/Source/Rtl/SysUtils.pas Odd=@/delphi/a/$(DELPHI)/Odd.pas"},
        {{"", "", "../nowhere;../common", "", "", false, ""}, {"Common"}, "proj/ nowhere/ common/ | Common=@/common/Common.pas"},
        // Pascal files in any letter case only; a dotted name is one unit.
        {{"", "", "../mixed", "", "", false, ""}, {"camel", "my.unit", "UPPER", "notes.pas", "readme", "folder"},
         "proj/ mixed/ | camel=@/mixed/Camel.Pas my.unit=@/mixed/My.Unit.pas UPPER=@/mixed/UPPER.PAS notes.pas=- readme=- folder=-"},
        {{"", "", "", "", "", false, ""}, {"Common", "Main"}, "proj/ | Common=- Main=@/proj/Main.pas"}, // rebuilt
        // clang-format on
    };
    for (auto c : cases) {
        for (std::string* path : {&c.inputs.SearchPath, &c.inputs.LibPath, &c.inputs.DelphiRoot})
            if (const size_t at = path->find('@'); at != std::string::npos)
                path->replace(at, 1, root);
        std::string shown;
        for (const std::string& d : Build(c.inputs))
            shown += d + " ";
        shown += "|";
        for (const std::string& unit : c.units) {
            const std::string path = PathOf(unit);
            shown += " " + unit + "=" + (path == "<none>" ? "-" : Rooted(path));
            if (CountOf(unit) > 1)
                shown += " (" + std::to_string(CountOf(unit)) + ")";
        }
        // Every '/' of a row is a separator.
        EXPECT_EQ(shown, uttest::NativePath(c.expected)) << c.inputs.SearchPath;
    }
}

// $(NAME) is the IDE's variable: the installation's override, else the process's own; a
// name that neither sets is reported once, and the entries naming it are not listed.
TEST_F(SearchIndex, VariablesOfTheIdeEnvironmentNameDirectories) {
    std::string lib = Under("lib");
    for (size_t at = 0; (at = lib.find('\\', at)) != std::string::npos; at += 2)
        lib.insert(at, "\\");
    ut::RegistryStore registry;
    registry.AddText("REGEDIT4\n[HKEY_CURRENT_USER\\Software\\Embarcadero\\BDS\\23.0\\"
                     "Environment Variables]\n\"Libs\"=\"" +
                     lib + "\"\n");
    setenv("LIBS", Under("second").c_str(), 1);
    setenv("UT_COMMON", Under("common").c_str(), 1);
    const ut::TIdeEnvironment environment(&registry, "12.3");
    ut::TPathVariables variables{environment.Lookup(), {}};
    ut::TListedDirectories listed;
    ut::AddUnitFiles("$(LIBS);$(ut_common);$(NOPE)\\x;../$(nope);$(LIBS)/$(Also)", "", listed,
                     files, {".pas"}, {}, &variables);
    unsetenv("LIBS");
    unsetenv("UT_COMMON");
    EXPECT_EQ(listed.InOrder(), (std::vector<std::string>{Under("lib/"), Under("common/")}));
    EXPECT_EQ(variables.Unknown, (std::vector<std::string>{"NOPE", "Also"}));
    EXPECT_EQ(ut::UnknownVariableMessage("NOPE", environment.KeyName()),
              "$(NOPE) in the search paths is not set, neither in the environment nor in "
              "HKEY_CURRENT_USER\\Software\\Embarcadero\\BDS\\23.0\\Environment Variables; set "
              "it to search the directories that name it");
}

#ifndef _WIN32
// A drive letter that maps to no directory here names nothing to list; listing it as it
// stands would read a relative directory of that odd name.
TEST_F(SearchIndex, UnmappedDriveIsNotListed) {
    Write("proj/Q:/lib/Odd.pas");
    TSearchInputs in;
    in.SearchPath = "Q:\\lib;../common";
    EXPECT_EQ(Build(in), (std::vector<std::string>{"proj/", "common/"}));
    EXPECT_EQ(PathOf("Odd"), "<none>");
}
#endif

} // namespace
