#include "gui/TreePage.h"
#include "GuiTestSupport.h"
#include "TreeTestProject.h"
#include "gui/UnitTreeModel.h"

#include <QHeaderView>
#include <QSignalSpy>
#include <QStyle>
#include <QTest>
#include <QTreeView>

namespace ut::gui::testing {
namespace {

class TreePageTest : public ScannedProject {
  protected:
    static QStringList Texts(TreePage& page, const QModelIndex& parent = {}) {
        return ChildTexts(*page.Tree()->model(), parent);
    }
    static QModelIndex Find(TreePage& page, const QModelIndex& parent, const char* text) {
        const QModelIndex index = Child(*page.Tree()->model(), parent, text);
        EXPECT_TRUE(index.isValid()) << text;
        return index;
    }
    static QList<int> Widths(TreePage& page) {
        QList<int> widths;
        for (int i = 0; i < page.Header()->count(); ++i)
            widths << page.Header()->sectionSize(i);
        return widths;
    }
    static void ClickSection(TreePage& page, int section) {
        test::ClickSection(page.Header(), section);
    }
    /// The page on screen, built.
    static void Show(TreePage& page) {
        page.resize(600, 400);
        page.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&page));
        page.Build();
    }
    static void DoubleClick(TreePage& page, const QModelIndex& index) {
        QTreeView* tree = page.Tree();
        const QPoint at = tree->visualRect(index).center();
        // As a real double-click arrives: press, release, then the double-click event.
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, Qt::NoModifier, at);
        QTest::mouseDClick(tree->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    }
    // The client width that the sections are fitted to, less the scroll bar and margin.
    static int Room(TreePage& page) {
        QTreeView* tree = page.Tree();
        return tree->width() - 2 * tree->frameWidth() -
               tree->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, tree) - 4;
    }
};

TEST_F(TreePageTest, UsesPageBuildsTheProjectRootExpandedUsedByOneCollapsedRootPerUnit) {
    TreePage page(scan, filters, tdUses);
    EXPECT_FALSE(page.Tree()->rootIsDecorated());
    EXPECT_EQ(page.Tree()->indentation(), 19);
    ASSERT_TRUE(page.Build());
    EXPECT_FALSE(page.Build()); // nodes present: nothing more happens
    const QModelIndex root = page.Tree()->model()->index(0, 0);
    EXPECT_EQ(Texts(page), QStringList({"Demo"}));
    EXPECT_TRUE(page.Tree()->isExpanded(root));
    EXPECT_EQ(Texts(page, root), QStringList({"SysUtils", "UnitA", "MainForm", "Missing", "Deep"}));
    page.Clear();
    EXPECT_EQ(page.Tree()->model()->rowCount(), 0);
    EXPECT_TRUE(page.Build());
    EXPECT_EQ(page.Tree()->model()->rowCount(page.Tree()->model()->index(0, 0)), 5);

    TreePage usedBy(scan, filters, tdUsedBy);
    EXPECT_TRUE(usedBy.Tree()->rootIsDecorated());
    ASSERT_TRUE(usedBy.Build());
    EXPECT_EQ(Texts(usedBy), QStringList({"Deep", "Demo", "MainForm", "UnitA", "UnitB", "utils"}));
    auto* model = usedBy.Tree()->model();
    for (int row = 0; row < model->rowCount(); ++row) {
        EXPECT_FALSE(usedBy.Tree()->isExpanded(model->index(row, 0)));
        EXPECT_TRUE(model->hasChildren(model->index(row, 0)));
        EXPECT_EQ(model->rowCount(model->index(row, 0)), 0);
    }
}

TEST_F(TreePageTest, ViewExpansionFetchesAndCollapseRecreates) {
    TreePage page(scan, filters, tdUses);
    Show(page);
    QTreeView* tree = page.Tree();
    const QModelIndex root = tree->model()->index(0, 0);
    const QPersistentModelIndex a = Find(page, root, "UnitA");
    tree->expand(a);
    EXPECT_EQ(Texts(page, a), QStringList({"SysUtils", "UnitB"}));
    const QModelIndex b = Find(page, a, "UnitB");
    tree->expand(b);
    EXPECT_EQ(Texts(page, b), QStringList({"UnitA", "Classes"}));
    tree->collapse(a);
    EXPECT_EQ(tree->model()->rowCount(a), 0);
    EXPECT_TRUE(tree->model()->hasChildren(a));
    scan.IgnUnits.Lines().Add("SysUtils"); // already ignored: no change
    filters.ShowIgnored = false;
    tree->expand(a);
    EXPECT_EQ(Texts(page, a), QStringList({"UnitB"}));
    // The recreated UnitB is a new node, collapsed again.
    EXPECT_FALSE(tree->isExpanded(tree->model()->index(0, 0, a)));
    // Keyboard: Left collapses the current node through the same path.
    tree->setCurrentIndex(a);
    QTest::keyClick(tree, Qt::Key_Left);
    EXPECT_FALSE(tree->isExpanded(a));
    EXPECT_EQ(tree->model()->rowCount(a), 0);
    QTest::keyClick(tree, Qt::Key_Right);
    EXPECT_TRUE(tree->isExpanded(a));
    EXPECT_EQ(Texts(page, a), QStringList({"UnitB"}));
}

TEST_F(TreePageTest, SizeClicksPutLargestFirstThenSmallestFirst) {
    scan.FUnitSizes.AddObject("SysUtils", 900);
    scan.FUnitSizes.AddObject("UnitA", 300);
    scan.FUnitSizes.AddObject("MainForm", 500);
    scan.FUnitSizes.AddObject("Deep", 100);
    TreePage page(scan, filters, tdUses);
    Show(page);
    const QModelIndex root = page.Tree()->model()->index(0, 0);
    ClickSection(page, 2);
    EXPECT_EQ(page.SortKey(), 3);
    // The header's arrow shows the order on screen: largest first is descending.
    EXPECT_EQ(page.Header()->sortIndicatorSection(), 2);
    EXPECT_EQ(page.Header()->sortIndicatorOrder(), Qt::DescendingOrder);
    // Units by size, largest first; the bare names (no unit) after them, by text.
    EXPECT_EQ(Texts(page, root), QStringList({"MainForm", "UnitA", "Deep", "Missing", "SysUtils"}));
    ClickSection(page, 2);
    EXPECT_EQ(page.SortKey(), -3);
    EXPECT_EQ(page.Header()->sortIndicatorOrder(), Qt::AscendingOrder);
    EXPECT_EQ(Texts(page, root), QStringList({"SysUtils", "Missing", "Deep", "UnitA", "MainForm"}));
    // Children built later follow the key in force.
    const QModelIndex form = Find(page, root, "MainForm");
    page.Tree()->expand(form);
    EXPECT_EQ(Texts(page, form), QStringList({"Windows", "Missing", "Utils", "UnitA"}));
}

TEST_F(TreePageTest, NameClickedThreeTimesGivesAscendingDescendingAscending) {
    TreePage page(scan, filters, tdUsedBy);
    Show(page);
    const QStringList ascending({"Deep", "Demo", "MainForm", "UnitA", "UnitB", "utils"});
    const QStringList descending({"utils", "UnitB", "UnitA", "MainForm", "Demo", "Deep"});
    ClickSection(page, 0);
    EXPECT_EQ(page.SortKey(), 1);
    EXPECT_EQ(Texts(page), ascending);
    ClickSection(page, 0);
    EXPECT_EQ(page.SortKey(), -1);
    EXPECT_EQ(Texts(page), descending);
    EXPECT_EQ(page.Header()->sortIndicatorSection(), 0);
    EXPECT_EQ(page.Header()->sortIndicatorOrder(), Qt::DescendingOrder);
    ClickSection(page, 0);
    EXPECT_EQ(page.SortKey(), 1);
    EXPECT_EQ(Texts(page), ascending);
    ClickSection(page, 1); // by the whole path: .../Demo.dpr < .../lib/Deep.pas < .../MainForm.pas
    EXPECT_EQ(page.SortKey(), 2);
    EXPECT_EQ(Texts(page), QStringList({"Demo", "Deep", "MainForm", "UnitA", "UnitB", "utils"}));
    EXPECT_EQ(page.Header()->sortIndicatorSection(), 1);
    EXPECT_EQ(page.Header()->sortIndicatorOrder(), Qt::AscendingOrder);
    // A new scan starts unsorted: no arrow.
    page.SetSortKey(0);
    EXPECT_EQ(page.Header()->sortIndicatorSection(), -1);
}

TEST_F(TreePageTest, ResizedSectionsMakeLocationOrNameAbsorbTheChange) {
    TreePage page(scan, filters, tdUses);
    page.resize(700, 300);
    page.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&page));
    int room = Room(page);
    QHeaderView* header = page.Header();
    // The name takes what the window leaves, also when it grows, and never less than 0.
    EXPECT_EQ(Widths(page), QList<int>({room - 336, 200, 64, 72}));
    page.resize(900, 300);
    QCoreApplication::processEvents();
    EXPECT_EQ(Widths(page), QList<int>({Room(page) - 336, 200, 64, 72}));
    page.resize(150, 300);
    QCoreApplication::processEvents();
    EXPECT_EQ(Widths(page), QList<int>({0, 200, 64, 72}));
    page.resize(700, 300);
    QCoreApplication::processEvents();
    room = Room(page);
    header->resizeSection(0, 300); // the name section: "Location" gives way
    EXPECT_EQ(Widths(page), QList<int>({300, room - 436, 64, 72}));
    header->resizeSection(0, room); // wider than the room left: "Location" stops at 0
    EXPECT_EQ(Widths(page), QList<int>({room, 0, 64, 72}));
    header->resizeSection(1, 150); // "Location" resized: the name absorbs
    EXPECT_EQ(Widths(page), QList<int>({room - 286, 150, 64, 72}));
    header->resizeSection(2, 100); // "Size" resized: the name absorbs
    EXPECT_EQ(Widths(page), QList<int>({room - 322, 150, 100, 72}));
}

TEST_F(TreePageTest, DoubleClickTogglesWithoutACommandAndActivatesWithOne) {
    TreePage page(scan, filters, tdUsedBy);
    Show(page);
    QSignalSpy activated(&page, &TreePage::nodeActivated);
    const QPersistentModelIndex a = Find(page, {}, "UnitA");
    DoubleClick(page, a);
    EXPECT_TRUE(page.Tree()->isExpanded(a));
    EXPECT_EQ(Texts(page, a), QStringList({"Demo", "MainForm", "UnitB"}));
    DoubleClick(page, a);
    EXPECT_FALSE(page.Tree()->isExpanded(a));
    EXPECT_EQ(page.Tree()->model()->rowCount(a), 0);
    EXPECT_EQ(activated.count(), 0);

    page.SetDoubleClickCommand(true);
    DoubleClick(page, a);
    EXPECT_FALSE(page.Tree()->isExpanded(a));
    ASSERT_EQ(activated.count(), 1);
    EXPECT_EQ(activated[0][0].value<ut::TUnit*>(), Unit("UnitA"));
    EXPECT_EQ(activated[0][1].toInt(), tdUsedBy);
    EXPECT_EQ(page.SelectedUnit(), Unit("UnitA"));
    // An expanded node stays expanded as well.
    page.Tree()->expand(a);
    DoubleClick(page, a);
    EXPECT_TRUE(page.Tree()->isExpanded(a));
    EXPECT_EQ(activated.count(), 2);
    // Ctrl+Enter runs the same command on the current node.
    QTest::keyClick(page.Tree(), Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(activated.count(), 3);
}

// The selection marks the name only; "Location" and "Size" stay in the window's colours.
TEST_F(TreePageTest, SelectionColoursTheNameCellOnly) {
    TreePage page(scan, filters, tdUsedBy);
    Show(page);
    page.Tree()->setFocus();
    const QModelIndex unitA = Find(page, {}, "UnitA");
    page.Tree()->setCurrentIndex(unitA);
    QCoreApplication::processEvents();
    const QImage shot = page.Tree()->viewport()->grab().toImage();
    const auto colourAt = [&](int column, bool rightEdge) {
        const QRect cell = page.Tree()->visualRect(unitA.siblingAtColumn(column));
        return shot.pixelColor(rightEdge ? cell.right() - 2 : cell.center().x(), cell.center().y());
    };
    const QPalette palette = page.Tree()->palette();
    EXPECT_NE(colourAt(0, true), palette.color(QPalette::Active, QPalette::Base));
    EXPECT_EQ(colourAt(2, false), palette.color(QPalette::Active, QPalette::Base));
    EXPECT_EQ(colourAt(1, true), palette.color(QPalette::Active, QPalette::Base));
}

} // namespace
} // namespace ut::gui::testing
