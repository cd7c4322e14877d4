// The tree model over the tree rules: the model contract through every change, collapsing,
// the columns, and the node images.
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

class UnitTreeModelTest : public ScannedProject {
  protected:
    // The node at `texts` with its children fetched.
    static QModelIndex Expand(Model& model, const QStringList& texts) {
        QModelIndex index;
        for (const QString& text : texts) {
            if (model.canFetchMore(index))
                model.fetchMore(index);
            index = Child(model, index, text);
            EXPECT_TRUE(index.isValid()) << text.toStdString();
        }
        if (model.canFetchMore(index))
            model.fetchMore(index);
        return index;
    }
    static QStringList& Messages() {
        static QStringList messages;
        return messages;
    }
};

// A broken model contract fails the test instead of only printing a warning.
TEST_F(UnitTreeModelTest, PassesModelTesterThroughBuildExpandSortCollapseRemoveAndClear) {
    Messages().clear();
    const QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
            if (type != QtDebugMsg && type != QtInfoMsg)
                Messages() << text;
        });
    Model model(scan, filters, tdUsedBy);
    QAbstractItemModelTester tester(&model,
                                    QAbstractItemModelTester::FailureReportingMode::Warning);
    ASSERT_TRUE(model.BuildRoots());
    // Three levels everywhere: every fetch goes through the tester's row checks.
    std::function<void(const QModelIndex&, int)> expandAll = [&](const QModelIndex& parent,
                                                                 int depth) {
        if (model.canFetchMore(parent))
            model.fetchMore(parent);
        for (int row = 0; depth > 0 && row < model.rowCount(parent); ++row)
            expandAll(model.index(row, 0, parent), depth - 1);
    };
    expandAll({}, 3);
    model.SetSortKey(-1);
    model.SortTree();
    model.SetSortKey(3);
    model.SortTree();
    model.Collapse(Child(model, {}, "UnitA"));
    model.RemoveUnitNodes(Unit("UnitB"));
    model.Clear();
    ASSERT_TRUE(model.BuildRoots());

    Model uses(scan, filters, tdUses);
    QAbstractItemModelTester usesTester(&uses,
                                        QAbstractItemModelTester::FailureReportingMode::Warning);
    uses.BuildRoots();
    Expand(uses, {"Demo", "UnitA", "UnitB"});
    uses.RemoveUnitNodes(Unit("UnitA"));
    qInstallMessageHandler(previous);
    EXPECT_EQ(Messages(), QStringList());

    model.Clear();
    EXPECT_TRUE(model.IsEmpty());
    scan.FProject = nullptr;
    EXPECT_FALSE(model.BuildRoots()) << "nothing is built before a scan";
    EXPECT_EQ(model.rowCount(), 0);
}

TEST_F(UnitTreeModelTest, CollapseDiscardsChildrenAndARepeatOrBareNameNeverExpands) {
    Model model(scan, filters, tdUses);
    model.BuildRoots();
    // UnitA uses UnitB in its implementation; UnitB uses UnitA in its interface.
    const QModelIndex b = Expand(model, {"Demo", "UnitA", "UnitB"});
    const QModelIndex repeat = model.index(0, 0, b);
    EXPECT_EQ(model.NodeUnit(repeat), Unit("UnitA"));
    EXPECT_FALSE(model.hasChildren(repeat));
    EXPECT_FALSE(model.canFetchMore(repeat));
    const QModelIndex a = b.parent();
    model.Collapse(a);
    EXPECT_EQ(model.rowCount(a), 0);
    EXPECT_TRUE(model.hasChildren(a));
    EXPECT_TRUE(model.canFetchMore(a));
    scan.IgnUnits.Lines().Add("UnitB");
    model.fetchMore(a);
    const QModelIndex bare = Child(model, a, "UnitB");
    EXPECT_EQ(model.Data(bare).Kind(), NodeKind::BareName);
    model.Collapse(bare); // a bare name keeps no placeholder when "collapsed"
    EXPECT_FALSE(model.hasChildren(bare));
    EXPECT_FALSE(model.canFetchMore(bare));
}

TEST_F(UnitTreeModelTest, ColumnsShowLocationAndSizeAndEveryNodeKindItsImage) {
    scan.FUnitSizes.AddObject("SysUtils", 5120);
    scan.FUnitSizes.AddObject("Deep", 700);
    Model model(scan, filters, tdUses);
    model.BuildRoots();
    const QModelIndex demo = Expand(model, {"Demo"});
    // An ignored name has no unit, hence no location, but its size is listed; a unit in the
    // project's directory shows it in full, one below it only the rest of its path.
    EXPECT_EQ(ChildTexts(model, demo, 2), QStringList({"5120", "", "", "", "700"}));
    const QString here = QString::fromUtf8(UNITRACE_FIXTURES "/trees");
    EXPECT_EQ(ChildTexts(model, demo, 1), QStringList({"", here, here, "", "lib"}));
    EXPECT_EQ(model.index(0, 2, demo).data(Qt::TextAlignmentRole).value<Qt::Alignment>(),
              Qt::AlignRight | Qt::AlignVCenter);
    EXPECT_FALSE(model.flags(model.index(0, 0, demo)) & Qt::ItemIsEditable);
    EXPECT_FALSE(model.index(0, 1, demo).data(Qt::DecorationRole).isValid());

    const auto pixels = [](const QIcon& icon) {
        EXPECT_FALSE(icon.isNull());
        return icon.pixmap(NodeImageSize, NodeImageSize)
            .toImage()
            .convertToFormat(QImage::Format_ARGB32);
    };
    // The image the rules name, with the form overlay where they ask for it.
    const std::vector<std::tuple<QStringList, const char*, bool>> images = {
        {{"Demo"}, "Project", false},
        {{"Demo", "SysUtils"}, "Unit_Disa", false},
        {{"Demo", "MainForm"}, "Unit_Intf", true}};
    for (const auto& [path, name, overlay] : images)
        EXPECT_EQ(pixels(Expand(model, path).data(Qt::DecorationRole).value<QIcon>()),
                  pixels(NodeIcon(name, overlay)))
            << path.join('/').toStdString();
}

TEST(NodeImagesTest, EveryNamedImageIsDrawnAndTheOverlayOnlyAddsTheF) {
    for (const QString& name : NodeImageNames()) {
        const QImage image = NamedNodeImage(name);
        EXPECT_EQ(image.size(), QSize(16, 16)) << name.toStdString();
        EXPECT_TRUE(image.hasAlphaChannel()) << name.toStdString();
        QImage blank(16, 16, image.format());
        blank.fill(Qt::transparent);
        EXPECT_NE(image, blank) << name.toStdString();
    }
    EXPECT_TRUE(NodeIcon("Unit_Other", true).isNull());
    const QImage plain = NodeIcon("Unit_Intf", false).pixmap(16, 16).toImage();
    const QImage marked = NodeIcon("Unit_Intf", true).pixmap(16, 16).toImage();
    EXPECT_NE(plain.copy(0, 8, 8, 8), marked.copy(0, 8, 8, 8)) << "the F in the lower left";
    EXPECT_EQ(plain.copy(0, 0, 16, 7), marked.copy(0, 0, 16, 7)) << "the rest untouched";
}

} // namespace
} // namespace ut::gui::testing
