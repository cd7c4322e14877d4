#include "trees/TreeRules.h"

#include <gtest/gtest.h>

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace ut {
namespace {

using Lines = std::vector<std::string>;
namespace stdfs = std::filesystem;

class SilentFrontEnd : public ScanFrontEnd {
  public:
    void AppendLog(const LogLine&) override {}
};

// The scan result of a small project, built by hand:
//   Demo (project): A, SysUtils, Missing, FormUnit, AllIgn, AllUnk
//   A: interface SysUtils; implementation B      B: interface A
//   formunit.pas (heading FormUnit, has a form): A
//   AllIgn: Windows, Classes                     AllUnk: Nowhere1, Nowhere2
//   Lonely: nothing, and nothing uses it
class TreeRulesTest : public ::testing::Test {
  protected:
    TreeRulesTest() {
        std::string pattern = (stdfs::temp_directory_path() / "ut_trees_XXXXXX").string();
        dir = ::mkdtemp(pattern.data());
        project = AddUnit<TProject>("Demo", "Demo",
                                    {"A", "SysUtils", "Missing", "FormUnit", "AllIgn", "AllUnk"});
        a = AddUnit<TUnit>("A", "A", {"SysUtils"}, {"B"});
        b = AddUnit<TUnit>("B", "B", {"A"});
        form = AddUnit<TUnit>("formunit", "FormUnit", {"A"});
        form->HasForm = true;
        allIgn = AddUnit<TUnit>("AllIgn", "AllIgn", {"Windows"}, {"Classes"});
        allUnk = AddUnit<TUnit>("AllUnk", "AllUnk", {"Nowhere1"}, {"Nowhere2"});
        lonely = AddUnit<TUnit>("Lonely", "Lonely", {});
        scan.FProject = project;
    }
    ~TreeRulesTest() override { stdfs::remove_all(dir); }

    /// A unit of file `key`.pas with its interface and implementation uses.
    template <class T>
    T* AddUnit(const std::string& key, const std::string& unitName, const Lines& intf,
               const Lines& impl = {}) {
        const stdfs::path file = dir / (key + ".pas");
        std::ofstream(file) << "unit " << unitName << ";\n";
        auto unit = std::make_unique<T>(file.string());
        unit->UnitName = unitName;
        unit->Kind = std::is_same_v<T, TProject> ? ukProgram : ukUnit;
        for (const Lines* list : {&intf, &impl})
            for (const std::string& name : *list)
                unit->Uses.AddObject(name, list == &intf);
        T* raw = unit.get();
        scan.FUnits.AddObject(key, std::move(unit));
        return raw;
    }

    /// Each node as a line: text, kind, image, form overlay and placeholder.
    Lines Describe(const std::vector<TreeNodeSpec>& nodes) const {
        static const char* kinds[] = {"ordinary", "repeat", "bare", "placeholder"};
        Lines out;
        for (const auto& n : nodes)
            out.push_back(n.Text + " " + kinds[static_cast<int>(n.Data.Kind())] + " " +
                          ImageName(n.Image) + (n.FormOverlay ? " +FormOver" : "") +
                          (n.HasPlaceholder ? " +" : ""));
        return out;
    }
    Lines Kids(const TUnit& unit, int direction, std::vector<const TUnit*> path) const {
        return Describe(TreeRules(scan, filters).Children(unit, direction, path));
    }
    Lines Roots(int direction) const { return Describe(TreeRules(scan, filters).Roots(direction)); }

    stdfs::path dir;
    SilentFrontEnd frontEnd;
    ProjectScan scan{frontEnd};
    TreeFilters filters;
    TProject* project = nullptr;
    TUnit *a = nullptr, *b = nullptr, *form = nullptr, *allIgn = nullptr, *allUnk = nullptr,
          *lonely = nullptr;
};

TEST_F(TreeRulesTest, RootsAreTheProjectOrEveryUnitByFileKey) {
    project->HasForm = true; // the root never shows the form overlay
    EXPECT_EQ(Roots(tdUses), Lines{"Demo ordinary Project +"});
    EXPECT_EQ(TreeRules(scan, filters).Roots(tdUses)[0].Data.Unit, project);
    // Lonely and Demo are used by nothing and still get a placeholder.
    EXPECT_EQ(Roots(tdUsedBy),
              Lines({"A ordinary Unit +", "AllIgn ordinary Unit +", "AllUnk ordinary Unit +",
                     "B ordinary Unit +", "Demo ordinary Unit +FormOver +",
                     "formunit ordinary Unit +FormOver +", "Lonely ordinary Unit +"}));
    scan.FProject = nullptr;
    EXPECT_EQ(Roots(tdUsedBy), Lines{}) << "no roots before a scan";
}

TEST_F(TreeRulesTest, UsesChildrenShowKindImageAndWhetherTheyExpand) {
    // Ignored and unknown names are bare, disabled and cannot expand; the child keeps the
    // spelling of the using unit ("FormUnit", not the file key "formunit").
    EXPECT_EQ(Kids(*project, tdUses, {project}),
              Lines({"A ordinary Unit_Intf +", "SysUtils bare Unit_Disa", "Missing bare Unit_Disa",
                     "FormUnit ordinary Unit_Intf +FormOver +", "AllIgn ordinary Unit_Intf +",
                     "AllUnk ordinary Unit_Intf +"}));
    EXPECT_EQ(Kids(*a, tdUses, {project, a}),
              Lines({"SysUtils bare Unit_Disa", "B ordinary Unit +"}));
    // A implementation-uses B, B interface-uses A: under Demo > A > B the child A repeats.
    const auto repeat = TreeRules(scan, filters).Children(*b, tdUses, {project, a, b});
    EXPECT_EQ(Describe(repeat), Lines{"A repeat Unit_Intf"});
    EXPECT_EQ(repeat[0].Data.Unit, a);
    scan.IgnUnits.Lines().Add("b"); // a changed ignore list counts for new children
    EXPECT_EQ(Kids(*a, tdUses, {project, a}),
              Lines({"SysUtils bare Unit_Disa", "B bare Unit_Disa"}));
}

TEST_F(TreeRulesTest, UsedByChildrenShowTheUnitNameAndExpandWhenAnyUnitNamesThem) {
    form->UnitName = "FORMUNIT"; // heading spelled differently from the file name
    EXPECT_EQ(Kids(*a, tdUsedBy, {a}), Lines({"B ordinary Unit +", "Demo ordinary Project",
                                              "FORMUNIT ordinary Unit +FormOver +"}));
    EXPECT_EQ(Kids(*form, tdUsedBy, {form}), Lines{"Demo ordinary Project"});
    EXPECT_EQ(Kids(*b, tdUsedBy, {a, b}), Lines{"A repeat Unit_Disa"});
    // A use found in the last unit of the registry, in another letter case, still counts.
    lonely->Uses.AddObject("A", 1);
    EXPECT_EQ(Kids(*a, tdUsedBy, {a}).back(), "Lonely ordinary Unit");
    AddUnit<TUnit>("Zeta", "Zeta", {"AllIgn"}, {"LONELY"});
    EXPECT_EQ(Kids(*a, tdUsedBy, {a}).back(), "Lonely ordinary Unit +");
    // An ignored user is skipped only while ignored names are hidden.
    scan.IgnUnits.Lines().Add("b");
    EXPECT_EQ(Kids(*a, tdUsedBy, {a}).front(), "B ordinary Unit +");
    filters.ShowIgnored = false;
    EXPECT_EQ(Kids(*a, tdUsedBy, {a}).front(), "Demo ordinary Project");
}

TEST_F(TreeRulesTest, FiltersHideNamesAndDecideWhatExpands) {
    const TreeRules rules(scan, filters);
    EXPECT_FALSE(rules.CanExpand(*lonely, tdUses)); // empty Uses
    EXPECT_FALSE(rules.CanExpand(*lonely, tdUsedBy));
    filters.ShowIgnored = false; // ignored names vanish; a unit using only those cannot expand
    EXPECT_EQ(Kids(*project, tdUses, {project}),
              Lines({"A ordinary Unit_Intf +", "Missing bare Unit_Disa",
                     "FormUnit ordinary Unit_Intf +FormOver +", "AllIgn ordinary Unit_Intf",
                     "AllUnk ordinary Unit_Intf +"}));
    filters.ShowIgnored = true;
    filters.ShowUnknown = false; // hides ignored names too, yet does not decide expandability
    EXPECT_EQ(Kids(*project, tdUses, {project}),
              Lines({"A ordinary Unit_Intf +", "FormUnit ordinary Unit_Intf +FormOver +",
                     "AllIgn ordinary Unit_Intf +", "AllUnk ordinary Unit_Intf +"}));
    lonely->Uses.AddObject("LONELY", 1); // a unit that uses itself counts as used
    EXPECT_TRUE(rules.CanExpand(*lonely, tdUsedBy));
}

TEST_F(TreeRulesTest, SiblingsSortByKeyWithBareNamesLast) {
    scan.FUnitSizes.AddObject("a", 100);
    scan.FUnitSizes.AddObject("B", 300);
    scan.FUnitSizes.AddObject("FORMUNIT", 200);
    scan.FUnitSizes.AddObject("SysUtils", 999); // a bare name has no unit: no size
    a->FileName = (dir / "z" / "A.pas").string();
    const std::vector<std::pair<int, Lines>> cases = {
        {3, {"B", "FormUnit", "A", "Lonely", "SysUtils"}},
        {-3, {"SysUtils", "Lonely", "A", "FormUnit", "B"}},
        {1, {"A", "B", "FormUnit", "Lonely", "SysUtils"}},
        {-1, {"SysUtils", "Lonely", "FormUnit", "B", "A"}},
        // By full path: B.pas, formunit.pas ('f' as 'F'), Lonely.pas, z/A.pas.
        {2, {"B", "FormUnit", "Lonely", "A", "SysUtils"}},
        {0, {"B", "SysUtils", "FormUnit", "Lonely", "A"}}};
    for (const auto& [key, order] : cases) {
        // A repeat compares as its unit.
        std::vector<std::pair<NodeData, std::string>> nodes = {{{b}, "B"},
                                                               {{}, "SysUtils"},
                                                               {{form}, "FormUnit"},
                                                               {{lonely}, "Lonely"},
                                                               {{a, true}, "A"}};
        std::stable_sort(nodes.begin(), nodes.end(), [&, key = key](const auto& x, const auto& y) {
            return CompareNodes(key, x.first, x.second, y.first, y.second, scan.FUnitSizes) < 0;
        });
        Lines out;
        for (const auto& n : nodes)
            out.push_back(n.second);
        EXPECT_EQ(out, order) << "key " << key;
    }
    // Letters compare as upper case without locale: '_' (0x5F) sorts after 'A' (0x41).
    a->UnitName = "b_x";
    for (auto [name, result] :
         std::vector<std::pair<const char*, int>>{{"BA", 1}, {"B_", 1}, {"B_X", 0}, {"B_Y", -1}}) {
        b->UnitName = name;
        EXPECT_EQ(CompareNodes(1, {a}, "", {b}, "", scan.FUnitSizes), result) << name;
        EXPECT_EQ(CompareNodes(-1, {a}, "", {b}, "", scan.FUnitSizes), -result) << name;
    }
    const std::vector<std::tuple<int, int, int>> clicks = {
        {0, 0, 1}, {1, 0, -1}, {-1, 0, 1}, {1, 2, 3}, {3, 2, -3}, {-3, 2, 3}, {-3, 1, 2}};
    for (auto [key, section, next] : clicks)
        EXPECT_EQ(NextSortKey(key, section), next) << key << " click " << section;
}

} // namespace
} // namespace ut
