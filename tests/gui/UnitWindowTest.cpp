// The neighbour list beside the uses tree and the detail windows: what they show, that a
// unit and direction get one window, the double-click and Ctrl+Enter routes, and every way
// the windows close.
#include "PruneWindow.h"

#include "gui/NeighbourList.h"

#include <algorithm>

#include <QCheckBox>
#include <QElapsedTimer>
#include <QPointer>
#include <QPushButton>

namespace ut::gui::test {
namespace {

class UnitWindowTest : public PruneWindowTest {
  protected:
    NeighbourList& List() { return *Window->neighbourList; }
    QStringList ListItems() {
        QStringList items;
        for (int i = 0; i < List().count(); ++i)
            items << List().item(i)->text();
        return items;
    }
    /// Lets the change delay run out.
    void WaitForList() {
        QElapsedTimer timer;
        timer.start();
        while (List().ChangePending() && timer.elapsed() < 2000)
            QTest::qWait(5);
        ASSERT_FALSE(List().ChangePending());
    }
    QList<UnitWindow*> Windows() { return Window->UnitWindows().Windows(); }
    static QStringList Captions(const QList<UnitWindow*>& windows) {
        QStringList captions;
        for (UnitWindow* window : windows)
            captions << window->windowTitle();
        return captions;
    }
};

TEST_F(UnitWindowTest, NeighbourListShowsUsesThenUsersAfterTheDelay) {
    TreePage& tree = UsesTree();
    Select(tree, Node(tree, {"Prune", "Cyc1", "Cyc2"}));
    // Nothing happens before the delay has run out.
    EXPECT_TRUE(List().ChangePending());
    EXPECT_EQ(List().count(), 0);
    WaitForList();
    // Interface names first, then implementation names; users in registry order.
    EXPECT_EQ(ListItems(), QStringList({"Uses:", "", "Cyc3", "Cyc1", "", "Used by:", "", "Cyc1"}));

    // A quick series of changes fills the list once, for the node selected last.
    Select(tree, Node(tree, {"Prune", "Small"}));
    Select(tree, Node(tree, {"Prune", "Exact"}));
    WaitForList();
    // Ignored names are listed as they are.
    EXPECT_EQ(ListItems(),
              QStringList({"Uses:", "", "SysUtils", "", "Used by:", "", "Prune", "Small"}));

    // A repeat node lists its unit; a bare name lists nothing.
    Select(tree, Node(tree, {"Prune", "Cyc1", "Cyc2", "Cyc1"}));
    WaitForList();
    EXPECT_EQ(ListItems(),
              QStringList({"Uses:", "", "Cyc2", "", "Used by:", "", "Cyc2", "Cyc3", "Prune"}));
    Select(tree, Node(tree, {"Prune", "Exact", "SysUtils"}));
    WaitForList();
    EXPECT_EQ(ListItems(), QStringList());
}

TEST_F(UnitWindowTest, NeighbourListReadsTheNodeCurrentWhenTheDelayEnds) {
    // Guards against a list filled from a unit remembered at the change and removed since.
    TreePage& tree = UsesTree();
    Select(tree, Node(tree, {"Prune", "Big", "Small"}));
    ASSERT_TRUE(List().ChangePending());
    Commands().RemoveUnit(Unit("Small"));
    WaitForList();
    const QModelIndex current = tree.Tree()->currentIndex();
    ASSERT_EQ(tree.Model()->NodeText(current), QStringLiteral("Big"));
    EXPECT_EQ(ListItems(),
              QStringList({"Uses:", "", "Small", "", "Used by:", "", "NoSize", "Prune"}));
}

TEST_F(UnitWindowTest, OneWindowPerUnitAndDirectionWithItsCaption) {
    TreePage& uses = UsesTree();
    DoubleClick(uses, Node(uses, {"Prune", "Small"}));
    ASSERT_EQ(Captions(Windows()), QStringList({"Unit Small is used by:"}));
    UnitWindow* usedBy = Windows().front();
    EXPECT_EQ(usedBy->Direction(), tdUsedBy);
    EXPECT_EQ(usedBy->parentWidget(), Window.get());
    EXPECT_TRUE(usedBy->isVisible());
    // The node keeps its expanded state.
    EXPECT_FALSE(uses.Tree()->isExpanded(Node(uses, {"Prune", "Small"})));
    EXPECT_EQ(Texts(*usedBy->Tree()), QStringList({"Small"}));
    EXPECT_EQ(Texts(*usedBy->Tree(), usedBy->Tree()->Model()->index(0, 0)),
              QStringList({"Big", "Cyc3", "FormB", "Prune"}));

    // Again: the same window, raised, not a second one; also from another node of the unit.
    usedBy->hide();
    DoubleClick(uses, Node(uses, {"Prune", "Big", "Small"}));
    EXPECT_EQ(Windows(), QList<UnitWindow*>({usedBy}));
    EXPECT_TRUE(usedBy->isVisible());

    // From the used-by tree: the other direction, a window of its own.
    TreePage& usedByTree = UsedByTree();
    DoubleClick(usedByTree, Node(usedByTree, {"Small"}));
    ASSERT_EQ(Captions(Windows()), QStringList({"Unit Small is used by:", "Unit Small uses:"}));
    UnitWindow* uses2 = Windows().back();
    EXPECT_EQ(uses2->Direction(), tdUses);
    EXPECT_EQ(Texts(*uses2->Tree(), uses2->Tree()->Model()->index(0, 0)), QStringList({"Exact"}));

    // A repeat node opens its unit's window; a bare name opens nothing.
    ShowPage(pgUses);
    DoubleClick(uses, Node(uses, {"Prune", "Cyc1", "Cyc2", "Cyc3", "Cyc1"}));
    DoubleClick(uses, Node(uses, {"Prune", "Exact", "SysUtils"}));
    EXPECT_EQ(Captions(Windows()),
              QStringList({"Unit Small is used by:", "Unit Small uses:", "Unit Cyc1 is used by:"}));
}

TEST_F(UnitWindowTest, WindowTreesExpandInTheirDirectionAndOpenTheOpposite) {
    TreePage& uses = UsesTree();
    DoubleClick(uses, Node(uses, {"Prune", "Cyc1"}));
    ASSERT_EQ(Windows().size(), 1);
    TreePage& sub = *Windows().front()->Tree();
    EXPECT_EQ(Texts(sub, Node(sub, {"Cyc1"})), QStringList({"Cyc2", "Cyc3", "Prune"}));
    // Cyc1 is on the path: under Cyc1 > Cyc2 it is a repeat node that cannot expand.
    const QModelIndex repeat = Node(sub, {"Cyc1", "Cyc2", "Cyc1"});
    EXPECT_EQ(sub.Model()->Data(repeat).Kind(), NodeKind::Repeat);
    EXPECT_FALSE(sub.Model()->hasChildren(repeat));
    // A node whose unit nothing uses gets its placeholder anyway only when something does.
    EXPECT_FALSE(sub.Model()->hasChildren(Node(sub, {"Cyc1", "Prune"})));

    // Double-click inside the used-by window opens the uses window of the node's unit.
    DoubleClick(sub, Node(sub, {"Cyc1", "Cyc3"}));
    EXPECT_EQ(Captions(Windows()), QStringList({"Unit Cyc1 is used by:", "Unit Cyc3 uses:"}));
    // Ctrl+Enter in the uses window opens the used-by window of the selected node's unit.
    TreePage& sub2 = *Windows().back()->Tree();
    FocusTree(sub2);
    Select(sub2, Node(sub2, {"Cyc3", "Small"}));
    QTest::keyClick(sub2.Tree(), Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(Captions(Windows()),
              QStringList({"Unit Cyc1 is used by:", "Unit Cyc3 uses:", "Unit Small is used by:"}));
}

TEST_F(UnitWindowTest, EscapeClosesOneWindowFilterChangeNewScanAndExitCloseEveryWindow) {
    TreePage& uses = UsesTree();
    auto openTwo = [&] {
        ShowPage(pgSetup);
        ShowPage(pgUses);
        DoubleClick(uses, Node(uses, {"Prune", "Small"}));
        DoubleClick(uses, Node(uses, {"Prune", "Big"}));
        QList<QPointer<UnitWindow>> windows;
        for (UnitWindow* window : Windows())
            windows << window;
        EXPECT_EQ(windows.size(), 2);
        return windows;
    };
    auto allGone = [](const QList<QPointer<UnitWindow>>& windows) {
        return std::all_of(windows.begin(), windows.end(),
                           [](const auto& w) { return w.isNull(); });
    };

    // Escape closes its own window and nothing else; it can be opened again.
    auto windows = openTwo();
    QTest::keyClick(windows[0]->Tree()->Tree(), Qt::Key_Escape);
    EXPECT_FALSE(windows[0] && windows[0]->isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(windows[0].isNull());
    EXPECT_EQ(Windows(), QList<UnitWindow*>({windows[1].data()}));
    EXPECT_TRUE(Window->isVisible());
    DoubleClick(uses, Node(uses, {"Prune", "Small"}));
    EXPECT_EQ(Captions(Windows()), QStringList({"Unit Big is used by:", "Unit Small is used by:"}));

    windows.clear();
    for (UnitWindow* window : Windows())
        windows << window;
    QTest::mouseClick(Window->Setup().showIgnoredCheck, Qt::LeftButton);
    EXPECT_TRUE(allGone(windows)); // destroyed at once, not later
    EXPECT_TRUE(Window->UnitWindows().Windows().isEmpty());
    QTest::mouseClick(Window->Setup().showIgnoredCheck, Qt::LeftButton);

    windows = openTwo();
    Window->startScan();
    EXPECT_TRUE(allGone(windows));
    EXPECT_EQ(Log().back(), QStringLiteral("Done"));

    windows = openTwo();
    Window->close();
    EXPECT_TRUE(allGone(windows));
}

TEST_F(UnitWindowTest, WindowsTakeTheSortKeyOfTheMainTreeForNewLevels) {
    TreePage& uses = UsesTree();
    ClickSection(uses.Header(), 0);
    ClickSection(uses.Header(), 0); // name, descending
    ASSERT_EQ(uses.SortKey(), -1);

    TreePage& usedBy = UsedByTree();
    DoubleClick(usedBy, Node(usedBy, {"Prune"}));
    ASSERT_EQ(Captions(Windows()), QStringList({"Unit Prune uses:"}));
    TreePage& sub = *Windows().front()->Tree();
    const QStringList descending = {"Small", "NoSize", "LibX", "FormA", "Exact", "Cyc1", "Big"};
    EXPECT_EQ(Texts(sub, Node(sub, {"Prune"})), descending);

    // A click on the main tree's header changes the key for the levels built later only.
    ShowPage(pgUses);
    ClickSection(uses.Header(), 0);
    ASSERT_EQ(uses.SortKey(), 1);
    EXPECT_EQ(Texts(sub, Node(sub, {"Prune"})), descending);
    const QModelIndex root = Node(sub, {"Prune"});
    sub.Tree()->collapse(root);
    sub.Tree()->expand(root);
    EXPECT_EQ(Texts(sub, root),
              QStringList({"Big", "Cyc1", "Exact", "FormA", "LibX", "NoSize", "Small"}));
}

} // namespace
} // namespace ut::gui::test
