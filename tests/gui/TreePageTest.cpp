// A dependency tree page through its view: building, expanding and collapsing, the header's
// sort clicks and sections, double-clicks, and the selection's colours.
#include "gui/TreePage.h"
#include "GuiTestSupport.h"
#include "TreeTestProject.h"
#include "gui/UnitTreeModel.h"

#include <QSignalSpy>
#include <QStyle>
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
    /// The page on screen, built.
    static void Show(TreePage& page, int width = 600) {
        page.resize(width, 400);
        page.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&page));
        page.Build();
    }
};

TEST_F(TreePageTest, UsesRootIsBuiltExpandedUsedByRootsCollapsedAndCollapseRecreates) {
    TreePage usedBy(scan, filters, tdUsedBy);
    ASSERT_TRUE(usedBy.Build());
    EXPECT_EQ(Texts(usedBy), QStringList({"Deep", "Demo", "MainForm", "UnitA", "UnitB", "utils"}));
    for (int row = 0; row < usedBy.Tree()->model()->rowCount(); ++row) {
        const QModelIndex root = usedBy.Tree()->model()->index(row, 0);
        EXPECT_FALSE(usedBy.Tree()->isExpanded(root));
        EXPECT_TRUE(usedBy.Tree()->model()->hasChildren(root));
    }

    TreePage page(scan, filters, tdUses);
    Show(page);
    EXPECT_FALSE(page.Build()) << "nodes present: nothing more happens";
    QTreeView* tree = page.Tree();
    const QModelIndex root = tree->model()->index(0, 0);
    EXPECT_TRUE(tree->isExpanded(root));
    EXPECT_EQ(Texts(page, root), QStringList({"SysUtils", "UnitA", "MainForm", "Missing", "Deep"}));
    const QPersistentModelIndex a = Find(page, root, "UnitA");
    tree->expand(a);
    tree->expand(Find(page, a, "UnitB"));
    tree->collapse(a);
    EXPECT_TRUE(tree->model()->hasChildren(a));
    filters.ShowIgnored = false;
    // Keyboard: Right expands through the same path; the recreated UnitB is collapsed again.
    tree->setCurrentIndex(a);
    QTest::keyClick(tree, Qt::Key_Right);
    EXPECT_EQ(Texts(page, a), QStringList({"UnitB"}));
    EXPECT_FALSE(tree->isExpanded(tree->model()->index(0, 0, a)));
    QTest::keyClick(tree, Qt::Key_Left);
    EXPECT_EQ(tree->model()->rowCount(a), 0);
    page.Clear();
    EXPECT_EQ(tree->model()->rowCount(), 0);
    EXPECT_TRUE(page.Build());
}

TEST_F(TreePageTest, HeaderClicksSortAndShowTheOrderAndLaterChildrenFollowTheKey) {
    scan.FUnitSizes.AddObject("UnitA", 300);
    scan.FUnitSizes.AddObject("MainForm", 500);
    scan.FUnitSizes.AddObject("Deep", 100);
    TreePage page(scan, filters, tdUses);
    Show(page);
    const QModelIndex root = page.Tree()->model()->index(0, 0);
    struct Click {
        int Section, Key;
        Qt::SortOrder Arrow; ///< largest first is descending
        QStringList Order;
    };
    const Click clicks[] = {
        {2, 3, Qt::DescendingOrder, {"MainForm", "UnitA", "Deep", "Missing", "SysUtils"}},
        {2, -3, Qt::AscendingOrder, {"SysUtils", "Missing", "Deep", "UnitA", "MainForm"}},
        {0, 1, Qt::AscendingOrder, {"Deep", "MainForm", "UnitA", "Missing", "SysUtils"}},
        {0, -1, Qt::DescendingOrder, {"SysUtils", "Missing", "UnitA", "MainForm", "Deep"}},
        // By the whole path: .../lib/Deep.pas < .../MainForm.pas < .../UnitA.pas.
        {1, 2, Qt::AscendingOrder, {"Deep", "MainForm", "UnitA", "Missing", "SysUtils"}}};
    for (const Click& c : clicks) {
        test::ClickSection(page.Header(), c.Section);
        EXPECT_EQ(page.SortKey(), c.Key);
        EXPECT_EQ(page.Header()->sortIndicatorSection(), c.Section);
        EXPECT_EQ(page.Header()->sortIndicatorOrder(), c.Arrow) << c.Key;
        EXPECT_EQ(Texts(page, root), c.Order) << c.Key;
    }
    page.SetSortKey(-3);
    const QModelIndex form = Find(page, root, "MainForm");
    page.Tree()->expand(form);
    EXPECT_EQ(Texts(page, form), QStringList({"Windows", "Missing", "Utils", "UnitA"}));
    page.SetSortKey(0);
    EXPECT_EQ(page.Header()->sortIndicatorSection(), -1) << "a new scan starts unsorted";
}

TEST_F(TreePageTest, ResizedSectionsMakeLocationOrNameAbsorbTheChange) {
    TreePage page(scan, filters, tdUses);
    Show(page, 700);
    QTreeView* tree = page.Tree();
    QHeaderView* header = page.Header();
    // The client width that the sections are fitted to, less the scroll bar and margin.
    const auto room = [&] {
        return tree->width() - 2 * tree->frameWidth() -
               tree->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, tree) - 4;
    };
    const auto widths = [&] {
        QList<int> sizes;
        for (int i = 0; i < header->count(); ++i)
            sizes << header->sectionSize(i);
        return sizes;
    };
    // The name takes what the window leaves; too narrow a window takes "Location"'s room
    // first, then the tree scrolls: the names stay readable.
    EXPECT_EQ(widths(), QList<int>({room() - 456, 200, 64, 72, 72, 48}));
    const int least = tree->fontMetrics().averageCharWidth() * TreePage::NameLeastChars;
    page.resize(150, 300);
    QCoreApplication::processEvents();
    EXPECT_EQ(widths(), QList<int>({least, least / 2, 64, 72, 72, 48}));
    page.resize(700, 300);
    QCoreApplication::processEvents();
    header->resizeSection(0, room()); // the name section: "Location" gives way, down to 0
    EXPECT_EQ(widths(), QList<int>({room(), 0, 64, 72, 72, 48}));
    header->resizeSection(2, 100); // "Size" resized: the name absorbs
    EXPECT_EQ(widths(), QList<int>({room() - 292, 0, 100, 72, 72, 48}));
}

TEST_F(TreePageTest, DoubleClickTogglesWithoutACommandAndActivatesWithOne) {
    TreePage page(scan, filters, tdUsedBy);
    Show(page);
    QSignalSpy activated(&page, &TreePage::nodeActivated);
    const QPersistentModelIndex a = Find(page, {}, "UnitA");
    test::DoubleClick(page.Tree(), a);
    EXPECT_EQ(Texts(page, a), QStringList({"Demo", "MainForm", "UnitB"}));
    test::DoubleClick(page.Tree(), a);
    EXPECT_FALSE(page.Tree()->isExpanded(a));
    EXPECT_EQ(activated.count(), 0);

    page.SetDoubleClickCommand(true); // expanded or not, a node stays as it is
    test::DoubleClick(page.Tree(), a);
    EXPECT_FALSE(page.Tree()->isExpanded(a));
    ASSERT_EQ(activated.count(), 1);
    EXPECT_EQ(activated[0][0].value<ut::TUnit*>(), Unit("UnitA"));
    EXPECT_EQ(activated[0][1].toInt(), tdUsedBy);
    page.Tree()->expand(a);
    test::DoubleClick(page.Tree(), a);
    EXPECT_TRUE(page.Tree()->isExpanded(a));
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
    const QColor base = page.Tree()->palette().color(QPalette::Active, QPalette::Base);
    EXPECT_NE(colourAt(0, true), base);
    EXPECT_EQ(colourAt(1, true), base);
    EXPECT_EQ(colourAt(2, false), base);
}

} // namespace
} // namespace ut::gui::testing
