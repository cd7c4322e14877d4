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

TEST_F(UnitTreeModelTest, ColumnTextsAndAlignment) {
    scan.FUnitSizes.AddObject("SysUtils", 5120);
    scan.FUnitSizes.AddObject("Deep", 700);
    Model model(scan, filters, tdUses);
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

} // namespace
} // namespace ut::gui::testing
