#include "gui/UnitTreeModel.h"
#include "TreeTestProject.h"
#include "gui/NodeImages.h"

#include <QAbstractItemModelTester>
#include <QIcon>
#include <QImage>

#include <functional>

namespace ut::gui::testing {
namespace {

using Model = UnitTreeModel;

// Collects what QAbstractItemModelTester reports, so that a broken model contract fails the
// test instead of only printing.
class TesterMessages {
  public:
    TesterMessages() {
        Messages().clear();
        FPrevious = qInstallMessageHandler(
            [](QtMsgType type, const QMessageLogContext&, const QString& text) {
                if (type != QtDebugMsg && type != QtInfoMsg)
                    Messages() << text;
            });
    }
    ~TesterMessages() { qInstallMessageHandler(FPrevious); }
    static QStringList& Messages() {
        static QStringList messages;
        return messages;
    }

  private:
    QtMessageHandler FPrevious;
};

class UnitTreeModelTest : public ScannedProject {
  protected:
    QModelIndex Path(const Model& model, const QStringList& texts) {
        QModelIndex index;
        for (const QString& text : texts) {
            index = Child(model, index, text);
            if (!index.isValid())
                ADD_FAILURE() << "no node " << text.toStdString();
        }
        return index;
    }
    // Expands the node at `texts` (fetching its children) and returns it.
    QModelIndex Expand(Model& model, const QStringList& texts) {
        const QModelIndex index = Path(model, texts);
        if (model.canFetchMore(index))
            model.fetchMore(index);
        return index;
    }
};

TEST_F(UnitTreeModelTest, PassesModelTesterThroughBuildExpandSortCollapseRemoveAndClear) {
    TesterMessages messages;
    Model model(scan, filters, tdUsedBy);
    QAbstractItemModelTester tester(&model,
                                    QAbstractItemModelTester::FailureReportingMode::Warning);
    ASSERT_TRUE(model.BuildRoots());
    // Three levels everywhere: every fetch goes through the tester's row checks.
    std::function<void(const QModelIndex&, int)> expandAll = [&](const QModelIndex& parent,
                                                                 int depth) {
        if (depth == 0)
            return;
        if (model.canFetchMore(parent))
            model.fetchMore(parent);
        for (int row = 0; row < model.rowCount(parent); ++row)
            expandAll(model.index(row, 0, parent), depth - 1);
    };
    for (int row = 0; row < model.rowCount(); ++row)
        expandAll(model.index(row, 0), 3);
    model.SetSortKey(-1);
    model.SortTree();
    model.SetSortKey(3);
    model.SortTree();
    model.Collapse(Path(model, {"UnitA"}));
    model.RemoveUnitNodes(Unit("UnitB"));
    model.Clear();
    ASSERT_TRUE(model.BuildRoots());

    Model uses(scan, filters, tdUses);
    QAbstractItemModelTester usesTester(&uses,
                                        QAbstractItemModelTester::FailureReportingMode::Warning);
    uses.BuildRoots();
    Expand(uses, {"Demo"});
    Expand(uses, {"Demo", "UnitA"});
    Expand(uses, {"Demo", "UnitA", "UnitB"});
    uses.RemoveUnitNodes(Unit("UnitA"));
    EXPECT_EQ(messages.Messages(), QStringList());

    // Cleared, and nothing built before a scan.
    model.Clear();
    EXPECT_TRUE(model.IsEmpty());
    scan.FProject = nullptr;
    EXPECT_FALSE(model.BuildRoots());
    EXPECT_EQ(model.rowCount(), 0);
}

TEST_F(UnitTreeModelTest, UsesTreeStartsAtTheProjectAndFollowsUsesInSourceOrder) {
    Model model(scan, filters, tdUses);
    ASSERT_TRUE(model.BuildRoots());
    EXPECT_FALSE(model.BuildRoots()); // only when the tree has no nodes
    EXPECT_EQ(ChildTexts(model, {}), QStringList({"Demo"}));
    const QModelIndex root = model.index(0, 0);
    EXPECT_EQ(model.NodeUnit(root), scan.FProject);
    EXPECT_TRUE(model.hasChildren(root));
    EXPECT_EQ(model.rowCount(root), 0); // a placeholder until fetched
    model.fetchMore(root);
    EXPECT_EQ(ChildTexts(model, root),
              QStringList({"SysUtils", "UnitA", "MainForm", "Missing", "Deep"}));
    EXPECT_FALSE(model.canFetchMore(root));
}

// UnitA uses UnitB in its implementation; UnitB uses UnitA in its interface.
TEST_F(UnitTreeModelTest, CycleEndsInARepeatNodeThatCannotExpand) {
    Model model(scan, filters, tdUses);
    model.BuildRoots();
    Expand(model, {"Demo"});
    Expand(model, {"Demo", "UnitA"});
    const QModelIndex b = Expand(model, {"Demo", "UnitA", "UnitB"});
    EXPECT_EQ(model.Data(b).Kind(), NodeKind::Ordinary);
    EXPECT_EQ(ChildTexts(model, b), QStringList({"UnitA", "Classes"}));
    const QModelIndex repeat = model.index(0, 0, b);
    EXPECT_EQ(model.Data(repeat).Kind(), NodeKind::Repeat);
    EXPECT_EQ(model.NodeUnit(repeat), Unit("UnitA"));
    EXPECT_FALSE(model.hasChildren(repeat));
    EXPECT_FALSE(model.canFetchMore(repeat));
    EXPECT_EQ(model.Data(model.index(1, 0, b)).Kind(), NodeKind::BareName);

    Model usedBy(scan, filters, tdUsedBy);
    usedBy.BuildRoots();
    Expand(usedBy, {"UnitA"});
    const QModelIndex users = Expand(usedBy, {"UnitA", "UnitB"});
    EXPECT_EQ(ChildTexts(usedBy, users), QStringList({"UnitA"}));
    EXPECT_EQ(usedBy.Data(usedBy.index(0, 0, users)).Kind(), NodeKind::Repeat);
}

TEST_F(UnitTreeModelTest, UsedByRootsUseFileKeysAndChildrenUseUnitNames) {
    Model model(scan, filters, tdUsedBy);
    model.BuildRoots();
    EXPECT_EQ(ChildTexts(model, {}),
              QStringList({"Deep", "Demo", "MainForm", "UnitA", "UnitB", "utils"}));
    for (int row = 0; row < model.rowCount(); ++row)
        EXPECT_TRUE(model.hasChildren(model.index(row, 0))) << row;
    EXPECT_EQ(ChildTexts(model, Expand(model, {"utils"})), QStringList({"MainForm"}));
    EXPECT_EQ(ChildTexts(model, Expand(model, {"MainForm"})), QStringList({"Demo"}));
    EXPECT_EQ(ChildTexts(model, Expand(model, {"MainForm", "Demo"})), QStringList());
    // A unit used by nothing expands to nothing, and then shows no expand button.
    const QModelIndex demo = Expand(model, {"Demo"});
    EXPECT_EQ(model.rowCount(demo), 0);
    EXPECT_FALSE(model.hasChildren(demo));
    const QModelIndex a = Expand(model, {"UnitA"});
    EXPECT_EQ(ChildTexts(model, a), QStringList({"Demo", "MainForm", "UnitB"}));
    EXPECT_EQ(ChildTexts(model, Expand(model, {"Deep"})), QStringList({"Demo"}));
    EXPECT_EQ(ChildTexts(model, Expand(model, {"utils", "MainForm"})), QStringList({"Demo"}));
    // The child for utils.pas shows its heading, Utils, under MainForm in the uses tree.
    Model uses(scan, filters, tdUses);
    uses.BuildRoots();
    Expand(uses, {"Demo"});
    EXPECT_EQ(ChildTexts(uses, Expand(uses, {"Demo", "MainForm"})),
              QStringList({"Windows", "UnitA", "Missing", "Utils"}));
}

TEST_F(UnitTreeModelTest, CollapseDiscardsChildrenAndReExpansionFollowsTheIgnoreList) {
    Model model(scan, filters, tdUses);
    model.BuildRoots();
    Expand(model, {"Demo"});
    const QModelIndex a = Expand(model, {"Demo", "UnitA"});
    Expand(model, {"Demo", "UnitA", "UnitB"});
    model.Collapse(a);
    EXPECT_EQ(model.rowCount(a), 0);
    EXPECT_TRUE(model.hasChildren(a));
    EXPECT_TRUE(model.canFetchMore(a));
    EXPECT_FALSE(model.ChildrenBuilt(a));
    scan.IgnUnits.Lines().Add("UnitB");
    model.fetchMore(a);
    EXPECT_EQ(ChildTexts(model, a), QStringList({"SysUtils", "UnitB"}));
    const QModelIndex b = model.index(1, 0, a);
    EXPECT_EQ(model.Data(b).Kind(), NodeKind::BareName);
    EXPECT_FALSE(model.hasChildren(b));
    // A bare name keeps no placeholder when "collapsed".
    model.Collapse(b);
    EXPECT_FALSE(model.hasChildren(b));
    EXPECT_FALSE(model.canFetchMore(b));
}

struct FilterCase {
    const char* name;
    bool showIgnored;
    bool showUnknown;
    QStringList demoChildren;
    QStringList mainFormChildren;
    bool utilsExpandable;
    friend void PrintTo(const FilterCase& c, std::ostream* os) { *os << c.name; }
};

class UnitTreeFilterTest : public UnitTreeModelTest,
                           public ::testing::WithParamInterface<FilterCase> {};

TEST_P(UnitTreeFilterTest, FiltersDecideWhichNamesGetNodes) {
    const FilterCase& c = GetParam();
    filters.ShowIgnored = c.showIgnored;
    filters.ShowUnknown = c.showUnknown;
    Model model(scan, filters, tdUses);
    model.BuildRoots();
    EXPECT_EQ(ChildTexts(model, Expand(model, {"Demo"})), c.demoChildren);
    EXPECT_EQ(ChildTexts(model, Expand(model, {"Demo", "MainForm"})), c.mainFormChildren);
    const QModelIndex utils = Path(model, {"Demo", "MainForm", "Utils"});
    EXPECT_EQ(model.hasChildren(utils), c.utilsExpandable);
    // Deep uses only unknown names: it keeps its expand button and expands to nothing
    // when they are hidden.
    const QModelIndex deep = Path(model, {"Demo", "Deep"});
    EXPECT_TRUE(model.hasChildren(deep));
    model.fetchMore(deep);
    EXPECT_EQ(model.rowCount(deep), c.showUnknown ? 2 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Filters, UnitTreeFilterTest,
    ::testing::Values(
        FilterCase{"BothShown",
                   true,
                   true,
                   {"SysUtils", "UnitA", "MainForm", "Missing", "Deep"},
                   {"Windows", "UnitA", "Missing", "Utils"},
                   true},
        FilterCase{"IgnoredHidden",
                   false,
                   true,
                   {"UnitA", "MainForm", "Missing", "Deep"},
                   {"UnitA", "Missing", "Utils"},
                   false},
        // Hiding unknown names hides the ignored ones as well.
        FilterCase{
            "UnknownHidden", true, false, {"UnitA", "MainForm", "Deep"}, {"UnitA", "Utils"}, true},
        FilterCase{
            "BothHidden", false, false, {"UnitA", "MainForm", "Deep"}, {"UnitA", "Utils"}, false}),
    [](const auto& info) { return info.param.name; });

TEST_F(UnitTreeModelTest, ColumnTextsAndAlignment) {
    scan.FUnitSizes.AddObject("SysUtils", 5120);
    scan.FUnitSizes.AddObject("Deep", 700);
    Model model(scan, filters, tdUses);
    EXPECT_EQ(model.columnCount(), 3);
    EXPECT_EQ(model.headerData(0, Qt::Horizontal).toString(), "");
    EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString(), "Location");
    EXPECT_EQ(model.headerData(2, Qt::Horizontal).toString(), "Size");
    model.BuildRoots();
    const QModelIndex demo = Expand(model, {"Demo"});
    EXPECT_EQ(ChildTexts(model, demo, 2), QStringList({"5120", "", "", "", "700"}));
    // An ignored name has no unit, hence no location, but its size is listed.
    const QModelIndex sysUtils = model.index(0, 1, demo);
    EXPECT_EQ(sysUtils.data().toString(), "");
    // The project's directory is cut away from the location of a unit below it.
    EXPECT_EQ(model.index(4, 1, demo).data().toString(), "lib");
    EXPECT_EQ(model.index(0, 2, demo).data(Qt::TextAlignmentRole).value<Qt::Alignment>(),
              Qt::AlignRight | Qt::AlignVCenter);
    EXPECT_FALSE(model.index(0, 1, demo).data(Qt::TextAlignmentRole).value<Qt::Alignment>() &
                 Qt::AlignRight);
    EXPECT_FALSE(model.flags(model.index(0, 0, demo)) & Qt::ItemIsEditable);
}

TEST_F(UnitTreeModelTest, EveryNodeKindHasItsIcon) {
    Model model(scan, filters, tdUses);
    model.BuildRoots();
    const QModelIndex demo = Expand(model, {"Demo"});
    Expand(model, {"Demo", "UnitA"});
    const QModelIndex b = Expand(model, {"Demo", "UnitA", "UnitB"});
    auto pixels = [](const QIcon& icon) {
        EXPECT_FALSE(icon.isNull());
        return icon.pixmap(NodeImageSize, NodeImageSize)
            .toImage()
            .convertToFormat(QImage::Format_ARGB32_Premultiplied);
    };
    auto image = [&](const QModelIndex& index) {
        return pixels(index.data(Qt::DecorationRole).value<QIcon>());
    };
    auto named = [&](const char* name, bool overlay) { return pixels(NodeIcon(name, overlay)); };
    EXPECT_EQ(image(model.index(0, 0)), named("Project", false)); // root
    EXPECT_EQ(image(Path(model, {"Demo", "UnitA"})), named("Unit_Intf", false));
    EXPECT_EQ(image(model.index(0, 0, demo)), named("Unit_Disa", false)); // bare name
    EXPECT_EQ(image(Path(model, {"Demo", "MainForm"})), named("Unit_Intf", true));
    EXPECT_EQ(image(Path(model, {"Demo", "UnitA", "UnitB"})), named("Unit", false));
    EXPECT_EQ(image(model.index(0, 0, b)), named("Unit_Intf", false)); // repeat
    EXPECT_FALSE(model.index(0, 1, demo).data(Qt::DecorationRole).isValid());

    Model usedBy(scan, filters, tdUsedBy);
    usedBy.BuildRoots();
    EXPECT_EQ(image(Path(usedBy, {"MainForm"})), named("Unit", true));
    EXPECT_EQ(image(Path(usedBy, {"Demo"})), named("Unit", false));
    Expand(usedBy, {"UnitA"});
    EXPECT_EQ(image(Path(usedBy, {"UnitA", "Demo"})), named("Project", false));
    Expand(usedBy, {"UnitA", "UnitB"});
    EXPECT_EQ(image(Path(usedBy, {"UnitA", "UnitB", "UnitA"})), named("Unit_Disa", false));
}

TEST_F(UnitTreeModelTest, SortsEveryBuiltLevelAndNewChildrenByTheKey) {
    scan.FUnitSizes.AddObject("UnitA", 300);
    scan.FUnitSizes.AddObject("UnitB", 100);
    scan.FUnitSizes.AddObject("MainForm", 500);
    scan.FUnitSizes.AddObject("Demo", 50);
    Model model(scan, filters, tdUsedBy);
    model.BuildRoots();
    const QPersistentModelIndex a = Expand(model, {"UnitA"}); // Demo, MainForm, UnitB
    model.SetSortKey(3);
    model.SortTree();
    EXPECT_EQ(ChildTexts(model, {}),
              QStringList({"MainForm", "UnitA", "UnitB", "Demo", "Deep", "utils"}));
    EXPECT_EQ(ChildTexts(model, a), QStringList({"MainForm", "UnitB", "Demo"}));
    EXPECT_EQ(a.row(), 1); // persistent indexes follow their nodes
    // Unbuilt levels are sorted as they are built.
    EXPECT_EQ(ChildTexts(model, Expand(model, {"Deep"})), QStringList({"Demo"}));
    model.SetSortKey(-3);
    model.SortTree();
    EXPECT_EQ(ChildTexts(model, a), QStringList({"Demo", "UnitB", "MainForm"}));
    model.SetSortKey(-1);
    model.SortTree();
    EXPECT_EQ(ChildTexts(model, {}),
              QStringList({"utils", "UnitB", "UnitA", "MainForm", "Demo", "Deep"}));
    model.SetSortKey(0); // natural order is not restored: the tree keeps its order
    model.SortTree();
    EXPECT_EQ(ChildTexts(model, {}).first(), "utils");
}

TEST_F(UnitTreeModelTest, RemoveUnitNodesDeletesOrdinaryAndRepeatNodesWithSubtrees) {
    Model model(scan, filters, tdUses);
    model.BuildRoots();
    Expand(model, {"Demo"});
    Expand(model, {"Demo", "UnitA"});
    Expand(model, {"Demo", "UnitA", "UnitB"});
    Expand(model, {"Demo", "MainForm"});
    Expand(model, {"Demo", "MainForm", "UnitA"});
    model.RemoveUnitNodes(Unit("UnitB"));
    EXPECT_EQ(ChildTexts(model, Path(model, {"Demo", "UnitA"})), QStringList({"SysUtils"}));
    EXPECT_EQ(ChildTexts(model, Path(model, {"Demo", "MainForm", "UnitA"})),
              QStringList({"SysUtils"}));
    model.RemoveUnitNodes(Unit("UnitA"));
    EXPECT_EQ(ChildTexts(model, Path(model, {"Demo"})),
              QStringList({"SysUtils", "MainForm", "Missing", "Deep"}));
    EXPECT_EQ(ChildTexts(model, Path(model, {"Demo", "MainForm"})),
              QStringList({"Windows", "Missing", "Utils"}));
    // The rows left keep consistent indexes.
    const QModelIndex deep = Path(model, {"Demo", "Deep"});
    EXPECT_EQ(deep.row(), 3);
    EXPECT_EQ(model.parent(deep), model.index(0, 0));
    model.RemoveUnitNodes(nullptr);
    EXPECT_EQ(model.rowCount(Path(model, {"Demo"})), 4);
}

} // namespace
} // namespace ut::gui::testing
