// The tree model over the tree rules: the model contract through every change, collapsing a
// bare name, the columns, and the node images.
#include "gui/UnitTreeModel.h"
#include "TreeTestProject.h"
#include "gui/NodeImages.h"

#include <QAbstractItemModelTester>
#include <QFile>
#include <QIcon>
#include <QImage>
#include <QTemporaryDir>

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
    // A collapsed bare name (Classes is ignored) keeps no placeholder; ordinary nodes: the
    // tree page's test. Without a tester, which would fetch a placeholder at once.
    Model plain(scan, filters, tdUses);
    plain.BuildRoots();
    const QModelIndex bare = Expand(plain, {"Demo", "UnitA", "UnitB", "Classes"});
    plain.Collapse(bare);
    EXPECT_FALSE(plain.hasChildren(bare));
    EXPECT_FALSE(plain.canFetchMore(bare));
    scan.FProject = nullptr;
    EXPECT_FALSE(model.BuildRoots()) << "nothing is built before a scan";
}

// Which image a node gets is checked in the tree rules of the core; here that the model
// shows it, and that the images are drawn.
TEST_F(UnitTreeModelTest, ColumnsShowLocationAndSizeAndTheNodesImage) {
    scan.FUnitSizes.AddObject("SysUtils", 5120);
    scan.FUnitSizes.AddObject("Deep", 700);
    Model model(scan, filters, tdUses);
    model.BuildRoots();
    const QModelIndex demo = Expand(model, {"Demo"});
    // An ignored name has no unit, hence no location, but its size is listed; a unit in the
    // project's directory shows it in full, one below it only the rest of its path.
    EXPECT_EQ(ChildTexts(model, demo, 2), QStringList({"5120", "", "", "", "700"}));
    EXPECT_EQ(model.headerData(Model::NameColumn, Qt::Horizontal).toString(), "Unit");
    const QString here = QString::fromUtf8(UNITRACE_FIXTURES "/trees");
    EXPECT_EQ(ChildTexts(model, demo, 1), QStringList({"", here, here, "", "lib"}));
    const auto pixels = [](const QIcon& icon) {
        return icon.pixmap(NodeImageSize, NodeImageSize).toImage();
    };
    EXPECT_EQ(pixels(Expand(model, {"Demo", "MainForm"}).data(Qt::DecorationRole).value<QIcon>()),
              pixels(NodeIcon("Unit_Intf", true)));
    for (const QString& name : NodeImageNames()) {
        QImage blank(16, 16, NamedNodeImage(name).format());
        blank.fill(Qt::transparent);
        EXPECT_NE(NamedNodeImage(name), blank) << name.toStdString();
    }
    EXPECT_NE(pixels(NodeIcon("Unit_Intf", false)), pixels(NodeIcon("Unit_Intf", true)));
}

// Guards against a name found through a unit scope shown as written alone ("Forms" for the
// unit Vcl.Forms).
TEST(UnitTreeModelScopeTest, ANameFoundThroughAScopeShowsTheUnitItIs) {
    QTemporaryDir dir;
    for (const auto& [name, text] :
         {std::pair{"P.dpr", "program P;\nuses Forms, Solo;\nbegin end.\n"},
          {"Vcl.Forms.pas", "unit Vcl.Forms;\ninterface\nimplementation\nend.\n"},
          {"Solo.pas", "unit Solo;\ninterface\nimplementation\nend.\n"}}) {
        QFile file(dir.filePath(QLatin1String(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }
    SilentFrontEnd frontEnd;
    ProjectScan scan(frontEnd);
    scan.Inputs.UnitScopes = "Vcl";
    const std::string project = dir.filePath(QStringLiteral("P.dpr")).toStdString();
    ASSERT_TRUE(scan.ScanProject(project)) << frontEnd.Log;
    const TreeFilters filters;
    Model model(scan, filters, tdUses);
    model.BuildRoots();
    model.fetchMore(model.index(0, 0));
    EXPECT_EQ(ChildTexts(model, model.index(0, 0)), QStringList({"Forms (Vcl.Forms)", "Solo"}));
}

} // namespace
} // namespace ut::gui::testing
