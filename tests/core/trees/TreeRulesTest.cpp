#include "trees/TreeRules.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace ut {
namespace {

namespace stdfs = std::filesystem;

class SilentFrontEnd : public ScanFrontEnd {
  public:
    void AppendLog(const LogLine&) override {}
};

struct UseEntry {
    const char* name;
    int intf; ///< 1 interface list, 0 implementation list
};

// The scan result of a small project, built by hand:
//   Demo (project): A, SysUtils, Missing, FormUnit, AllIgn, AllUnk
//   A: interface SysUtils; implementation B      B: interface A
//   formunit.pas (heading FormUnit, has a form): A
//   AllIgn: Windows, Classes                     AllUnk: Nowhere1, Nowhere2
//   Lonely: nothing, and nothing uses it
class TreeRulesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        // A directory of its own: tests run in parallel processes, which may share addresses.
        const std::string pattern = (stdfs::temp_directory_path() / "ut_trees_XXXXXX").string();
        std::vector<char> name(pattern.begin(), pattern.end());
        name.push_back('\0');
        ASSERT_NE(mkdtemp(name.data()), nullptr);
        dir = name.data();
        project = AddUnit<TProject>("Demo", "Demo",
                                    {{"A", 1},
                                     {"SysUtils", 1},
                                     {"Missing", 1},
                                     {"FormUnit", 1},
                                     {"AllIgn", 1},
                                     {"AllUnk", 1}});
        a = AddUnit<TUnit>("A", "A", {{"SysUtils", 1}, {"B", 0}});
        b = AddUnit<TUnit>("B", "B", {{"A", 1}});
        form = AddUnit<TUnit>("formunit", "FormUnit", {{"A", 1}});
        form->HasForm = true;
        allIgn = AddUnit<TUnit>("AllIgn", "AllIgn", {{"Windows", 1}, {"Classes", 0}});
        allUnk = AddUnit<TUnit>("AllUnk", "AllUnk", {{"Nowhere1", 1}, {"Nowhere2", 0}});
        lonely = AddUnit<TUnit>("Lonely", "Lonely", {});
        scan.FProject = project;
    }
    void TearDown() override {
        std::error_code ec;
        stdfs::remove_all(dir, ec);
    }

    template <class T>
    T* AddUnit(const std::string& key, const std::string& unitName,
               const std::vector<UseEntry>& uses) {
        const stdfs::path file = dir / (key + ".pas");
        std::ofstream(file) << "unit " << unitName << ";\n";
        auto unit = std::make_unique<T>(file.string());
        unit->UnitName = unitName;
        unit->Kind = std::is_same_v<T, TProject> ? ukProgram : ukUnit;
        for (const auto& u : uses)
            unit->Uses.AddObject(u.name, u.intf);
        T* raw = unit.get();
        scan.FUnits.AddObject(key, std::move(unit));
        return raw;
    }

    std::vector<TreeNodeSpec> Kids(const TUnit& unit, int direction,
                                   std::vector<const TUnit*> path) const {
        return TreeRules(scan, filters).Children(unit, direction, path);
    }

    stdfs::path dir;
    SilentFrontEnd frontEnd;
    ProjectScan scan{frontEnd};
    TreeFilters filters;
    TProject* project = nullptr;
    TUnit* a = nullptr;
    TUnit* b = nullptr;
    TUnit* form = nullptr;
    TUnit* allIgn = nullptr;
    TUnit* allUnk = nullptr;
    TUnit* lonely = nullptr;
};

// Node as a line: text, kind, image, overlay and placeholder, so one comparison shows all.
std::string Describe(const TreeNodeSpec& n) {
    static const char* kinds[] = {"ordinary", "repeat", "bare", "placeholder"};
    std::string s =
        n.Text + " " + kinds[static_cast<int>(n.Data.Kind())] + " " + ImageName(n.Image);
    if (n.FormOverlay)
        s += " +FormOver";
    if (n.HasPlaceholder)
        s += " +";
    return s;
}

std::vector<std::string> Describe(const std::vector<TreeNodeSpec>& nodes) {
    std::vector<std::string> out;
    for (const auto& n : nodes)
        out.push_back(Describe(n));
    return out;
}

using Lines = std::vector<std::string>;

TEST_F(TreeRulesTest, UsesRootIsTheProjectWithPlaceholderAndNoOverlay) {
    project->HasForm = true; // the root never shows the form overlay
    const auto roots = TreeRules(scan, filters).Roots(tdUses);
    EXPECT_EQ(Describe(roots), Lines({"Demo ordinary Project +"}));
    EXPECT_EQ(roots[0].Data.Unit, project);
}

TEST_F(TreeRulesTest, UsedByRootsAreEveryUnitByFileKeyEachWithPlaceholder) {
    const auto roots = TreeRules(scan, filters).Roots(tdUsedBy);
    // Lonely and Demo are used by nothing and still get a placeholder.
    EXPECT_EQ(Describe(roots),
              Lines({"A ordinary Unit +", "AllIgn ordinary Unit +", "AllUnk ordinary Unit +",
                     "B ordinary Unit +", "Demo ordinary Unit +",
                     "formunit ordinary Unit +FormOver +", "Lonely ordinary Unit +"}));
}

TEST_F(TreeRulesTest, NoRootsBeforeAScan) {
    scan.FProject = nullptr;
    EXPECT_TRUE(TreeRules(scan, filters).Roots(tdUses).empty());
    EXPECT_TRUE(TreeRules(scan, filters).Roots(tdUsedBy).empty());
    EXPECT_TRUE(TreeRules(scan, filters).Roots(7).empty());
}

TEST_F(TreeRulesTest, UsesChildrenOfTheProjectWithBothFiltersOn) {
    // Ignored and unknown names are bare, disabled and cannot expand; the child keeps the
    // spelling of the using unit ("FormUnit", not the file key "formunit").
    EXPECT_EQ(Describe(Kids(*project, tdUses, {project})),
              Lines({"A ordinary Unit_Intf +", "SysUtils bare Unit_Disa", "Missing bare Unit_Disa",
                     "FormUnit ordinary Unit_Intf +FormOver +", "AllIgn ordinary Unit_Intf +",
                     "AllUnk ordinary Unit_Intf +"}));
}

TEST_F(TreeRulesTest, ImplementationUseShowsPlainUnitImage) {
    EXPECT_EQ(Describe(Kids(*a, tdUses, {project, a})),
              Lines({"SysUtils bare Unit_Disa", "B ordinary Unit +"}));
}

// A implementation-uses B, B interface-uses A: under Demo > A > B the child A repeats.
TEST_F(TreeRulesTest, CycleInUsesDirectionGivesInterfaceRepeatWithoutPlaceholder) {
    const auto kids = Kids(*b, tdUses, {project, a, b});
    EXPECT_EQ(Describe(kids), Lines({"A repeat Unit_Intf"}));
    EXPECT_EQ(kids[0].Data.Unit, a);
}

TEST_F(TreeRulesTest, CycleInUsedByDirectionGivesDisabledRepeat) {
    EXPECT_EQ(Describe(Kids(*a, tdUsedBy, {a})),
              Lines({"B ordinary Unit +", "Demo ordinary Project",
                     "FormUnit ordinary Unit +FormOver +"}));
    EXPECT_EQ(Describe(Kids(*b, tdUsedBy, {a, b})), Lines({"A repeat Unit_Disa"}));
}

TEST_F(TreeRulesTest, UsedByChildrenShowUnitNameNotFileKey) {
    form->UnitName = "FORMUNIT"; // heading spelled differently from the file name
    a->Uses.Put(0, "formunit");  // so that A uses it under the file name spelling
    const auto kids = Kids(*form, tdUsedBy, {form});
    EXPECT_EQ(Describe(kids), Lines({"A ordinary Unit +", "Demo ordinary Project"}));
    const auto roots = TreeRules(scan, filters).Roots(tdUsedBy);
    EXPECT_EQ(roots[5].Text, "formunit");
    const auto users = Kids(*a, tdUsedBy, {a});
    // Still expandable: Demo names it "FormUnit", which matches without regard to case.
    EXPECT_EQ(Describe(users[2]), "FORMUNIT ordinary Unit +FormOver +");
}

// Guards the one pass that learns which users can expand: a use found in the last unit of
// the registry, in another letter case, still counts; a user nobody names gets none.
TEST_F(TreeRulesTest, UsedByChildExpandsWhenAnyUnitNamesItInAnyCase) {
    lonely->Uses.AddObject("A", 1);
    EXPECT_EQ(Describe(Kids(*a, tdUsedBy, {a})),
              Lines({"B ordinary Unit +", "Demo ordinary Project",
                     "FormUnit ordinary Unit +FormOver +", "Lonely ordinary Unit"}));
    AddUnit<TUnit>("Zeta", "Zeta", {{"AllIgn", 1}, {"LONELY", 0}}); // sorts last
    EXPECT_EQ(Describe(Kids(*a, tdUsedBy, {a})),
              Lines({"B ordinary Unit +", "Demo ordinary Project",
                     "FormUnit ordinary Unit +FormOver +", "Lonely ordinary Unit +"}));
}

TEST_F(TreeRulesTest, HiddenIgnoredNamesVanishAndAllIgnoredUnitCannotExpand) {
    filters.ShowIgnored = false;
    EXPECT_EQ(Describe(Kids(*project, tdUses, {project})),
              Lines({"A ordinary Unit_Intf +", "Missing bare Unit_Disa",
                     "FormUnit ordinary Unit_Intf +FormOver +", "AllIgn ordinary Unit_Intf",
                     "AllUnk ordinary Unit_Intf +"}));
    EXPECT_TRUE(Kids(*allIgn, tdUses, {project, allIgn}).empty());
}

TEST_F(TreeRulesTest, HiddenUnknownNamesHideIgnoredToo) {
    filters.ShowUnknown = false; // ShowIgnored stays on, yet SysUtils goes as well
    EXPECT_EQ(Describe(Kids(*project, tdUses, {project})),
              Lines({"A ordinary Unit_Intf +", "FormUnit ordinary Unit_Intf +FormOver +",
                     "AllIgn ordinary Unit_Intf +", "AllUnk ordinary Unit_Intf +"}));
    // The unknown filter does not decide expandability: AllUnk expands to nothing.
    EXPECT_TRUE(Kids(*allUnk, tdUses, {project, allUnk}).empty());
}

TEST_F(TreeRulesTest, ChangedIgnoreListTakesEffectInNewChildren) {
    scan.IgnUnits.Lines().Add("b");
    EXPECT_EQ(Describe(Kids(*a, tdUses, {project, a})),
              Lines({"SysUtils bare Unit_Disa", "B bare Unit_Disa"}));
    // Used-by: an ignored user is skipped only while ignored names are hidden.
    EXPECT_EQ(Kids(*a, tdUsedBy, {a}).size(), 3u);
    filters.ShowIgnored = false;
    EXPECT_EQ(Describe(Kids(*a, tdUsedBy, {a})),
              Lines({"Demo ordinary Project", "FormUnit ordinary Unit +FormOver +"}));
}

TEST_F(TreeRulesTest, CanExpandPerDirection) {
    const TreeRules rules(scan, filters);
    EXPECT_FALSE(rules.CanExpand(*lonely, tdUses)); // empty Uses
    EXPECT_TRUE(rules.CanExpand(*allIgn, tdUses));
    EXPECT_TRUE(rules.CanExpand(*allUnk, tdUses));
    EXPECT_TRUE(rules.CanExpand(*a, tdUsedBy));
    EXPECT_FALSE(rules.CanExpand(*lonely, tdUsedBy));
    EXPECT_FALSE(rules.CanExpand(*project, tdUsedBy));
    EXPECT_TRUE(Kids(*lonely, tdUsedBy, {lonely}).empty());
    EXPECT_TRUE(rules.CanExpand(*lonely, 0)); // any other direction
    filters.ShowIgnored = false;
    EXPECT_FALSE(rules.CanExpand(*allIgn, tdUses));
    EXPECT_TRUE(rules.CanExpand(*allUnk, tdUses));
    // A unit that uses itself counts as used.
    lonely->Uses.AddObject("LONELY", 1);
    EXPECT_TRUE(rules.CanExpand(*lonely, tdUsedBy));
}

// ---- sorting ----

class CompareNodesTest : public TreeRulesTest {
  protected:
    void SetUp() override {
        TreeRulesTest::SetUp();
        scan.FUnitSizes.AddObject("a", 100);
        scan.FUnitSizes.AddObject("B", 300);
        scan.FUnitSizes.AddObject("FORMUNIT", 200);
        scan.FUnitSizes.AddObject("SysUtils", 999); // a bare name has no unit: no size
    }

    // Sorts A, B, FormUnit, Lonely (no size) and a bare name under `key`.
    Lines SortedUnder(int key) {
        struct N {
            NodeData data;
            std::string text;
        };
        std::vector<N> nodes = {{{b, false}, "B"},
                                {{nullptr, false}, "SysUtils"},
                                {{form, false}, "FormUnit"},
                                {{lonely, false}, "Lonely"},
                                {{a, true}, "A"}}; // a repeat compares as its unit
        std::stable_sort(nodes.begin(), nodes.end(), [&](const N& x, const N& y) {
            return CompareNodes(key, x.data, x.text, y.data, y.text, scan.FUnitSizes) < 0;
        });
        Lines out;
        for (const auto& n : nodes)
            out.push_back(n.text);
        return out;
    }
};

TEST_F(CompareNodesTest, SizeFirstClickPutsLargestFirstSecondReverses) {
    EXPECT_EQ(SortedUnder(3), Lines({"B", "FormUnit", "A", "Lonely", "SysUtils"}));
    EXPECT_EQ(SortedUnder(-3), Lines({"SysUtils", "Lonely", "A", "FormUnit", "B"}));
}

TEST_F(CompareNodesTest, NameAndFileKeys) {
    EXPECT_EQ(SortedUnder(1), Lines({"A", "B", "FormUnit", "Lonely", "SysUtils"}));
    EXPECT_EQ(SortedUnder(-1), Lines({"SysUtils", "Lonely", "FormUnit", "B", "A"}));
    // By full path: .../A.pas, .../B.pas, .../Lonely.pas, .../formunit.pas ('f' as 'F').
    EXPECT_EQ(SortedUnder(2), Lines({"A", "B", "FormUnit", "Lonely", "SysUtils"}));
    EXPECT_EQ(SortedUnder(0), Lines({"B", "SysUtils", "FormUnit", "Lonely", "A"}));
}

TEST_F(CompareNodesTest, NamesCompareWithLettersAsUpperCaseAndNoLocale) {
    const NodeData x{a, false};
    const NodeData y{b, false};
    a->UnitName = "b_x"; // '_' (0x5F) sorts after 'A' (0x41) once letters are upper case
    b->UnitName = "BA";
    EXPECT_GT(CompareNodes(1, x, "", y, "", scan.FUnitSizes), 0);
    EXPECT_LT(CompareNodes(-1, x, "", y, "", scan.FUnitSizes), 0);
    b->UnitName = "B_";
    EXPECT_GT(CompareNodes(1, x, "", y, "", scan.FUnitSizes), 0); // "B_X" longer than "B_"
    b->UnitName = "B_X";
    EXPECT_EQ(CompareNodes(1, x, "", y, "", scan.FUnitSizes), 0);
    EXPECT_EQ(CompareNodes(0, x, "", y, "", scan.FUnitSizes), 0);
}

TEST(NextSortKeyTest, ClicksCycleThroughKeyAndReverse) {
    struct Case {
        int key, section, expected;
    } cases[] = {{0, 0, 1},  {1, 0, -1}, {-1, 0, 1}, {1, 2, 3},
                 {3, 2, -3}, {-3, 2, 3}, {-3, 1, 2}, {2, 0, 1}};
    for (const auto& c : cases)
        EXPECT_EQ(NextSortKey(c.key, c.section), c.expected) << c.key << " click " << c.section;
}

} // namespace
} // namespace ut
