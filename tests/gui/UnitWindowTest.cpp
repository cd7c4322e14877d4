// The neighbour list beside the uses tree and the detail windows: what they show, that a
// unit and direction get one window, the double-click and Ctrl+Enter routes, and every way
// the windows close.
#include "PruneWindow.h"

#include "gui/NeighbourList.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QPointer>

namespace ut::gui::test {
namespace {

class UnitWindowTest : public PruneWindowTest {
  protected:
    /// The list once the change delay has run out.
    QStringList ListAfterDelay() {
        NeighbourList& list = *Window->neighbourList;
        QElapsedTimer timer;
        timer.start();
        while (list.ChangePending() && timer.elapsed() < 2000)
            QTest::qWait(5);
        EXPECT_FALSE(list.ChangePending());
        QStringList items;
        for (int i = 0; i < list.count(); ++i)
            items << list.item(i)->text();
        return items;
    }
    QStringList Captions() {
        QStringList captions;
        for (UnitWindow* window : Window->UnitWindows().Windows())
            captions << window->windowTitle();
        return captions;
    }
};

TEST_F(UnitWindowTest, NeighbourListShowsUsesThenUsersOfTheNodeCurrentAfterTheDelay) {
    TreePage& tree = UsesTree();
    Select(tree, Node(tree, {"Prune", "Cyc1", "Cyc2"}));
    EXPECT_TRUE(Window->neighbourList->ChangePending());
    EXPECT_EQ(Window->neighbourList->count(), 0) << "nothing before the delay has run out";
    // Interface names first, then implementation names; users in registry order.
    EXPECT_EQ(ListAfterDelay(),
              QStringList({"Uses:", "", "Cyc3", "Cyc1", "", "Used by:", "", "Cyc1"}));
    // A quick series of changes fills the list once, for the node selected last; ignored
    // names are listed as they are; a repeat node lists its unit; a bare name nothing.
    Select(tree, Node(tree, {"Prune", "Small"}));
    Select(tree, Node(tree, {"Prune", "Exact"}));
    EXPECT_EQ(ListAfterDelay(),
              QStringList({"Uses:", "", "SysUtils", "", "Used by:", "", "Prune", "Small"}));
    Select(tree, Node(tree, {"Prune", "Exact", "SysUtils"}));
    EXPECT_EQ(ListAfterDelay(), QStringList());
    // Guards against a list filled from a unit remembered at the change and removed since.
    Select(tree, Node(tree, {"Prune", "Big", "Small"}));
    Commands().RemoveUnit(Unit("Small"));
    ASSERT_EQ(tree.Model()->NodeText(tree.Tree()->currentIndex()), QStringLiteral("Big"));
    EXPECT_EQ(ListAfterDelay(),
              QStringList({"Uses:", "", "Small", "", "Used by:", "", "NoSize", "Prune"}));
}

TEST_F(UnitWindowTest, OneWindowPerUnitAndDirectionWhoseTreeOpensTheOpposite) {
    TreePage& uses = UsesTree();
    DoubleClick(uses, Node(uses, {"Prune", "Small"}));
    ASSERT_EQ(Captions(), QStringList({"Unit Small is used by:"}));
    UnitWindow* usedBy = Window->UnitWindows().Windows().front();
    EXPECT_EQ(Texts(*usedBy->Tree(), Node(*usedBy->Tree(), {"Small"})),
              QStringList({"Big", "Cyc3", "FormB", "Prune"}));
    // Again, also from another node of the unit: the same window, raised.
    usedBy->hide();
    DoubleClick(uses, Node(uses, {"Prune", "Big", "Small"}));
    EXPECT_EQ(Window->UnitWindows().Windows(), QList<UnitWindow*>({usedBy}));
    EXPECT_TRUE(usedBy->isVisible());
    // From the used-by tree: the other direction, a window of its own.
    TreePage& usedByTree = UsedByTree();
    DoubleClick(usedByTree, Node(usedByTree, {"Small"}));
    EXPECT_EQ(Captions(), QStringList({"Unit Small is used by:", "Unit Small uses:"}));
    // A repeat node opens its unit's window; a bare name opens nothing.
    ShowPage(pgUses);
    DoubleClick(uses, Node(uses, {"Prune", "Cyc1", "Cyc2", "Cyc3", "Cyc1"}));
    DoubleClick(uses, Node(uses, {"Prune", "Exact", "SysUtils"}));
    EXPECT_EQ(Captions().back(), QStringLiteral("Unit Cyc1 is used by:"));
    TreePage& sub = *Window->UnitWindows().Windows().back()->Tree();
    // Double-click in the used-by window opens the uses window of the node's unit; Ctrl+Enter
    // in that one the used-by window of the selected node's unit.
    DoubleClick(sub, Node(sub, {"Cyc1", "Cyc3"}));
    EXPECT_EQ(Captions().back(), QStringLiteral("Unit Cyc3 uses:"));
    TreePage& sub2 = *Window->UnitWindows().Windows().back()->Tree();
    FocusTree(sub2);
    Select(sub2, Node(sub2, {"Cyc3", "Small"}));
    usedBy->hide();
    QTest::keyClick(sub2.Tree(), Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(Captions().size(), 4);
    EXPECT_TRUE(usedBy->isVisible());
}

TEST_F(UnitWindowTest, EscapeClosesOneWindowFilterChangeNewScanAndExitCloseEveryWindow) {
    TreePage& uses = UsesTree();
    const auto openTwo = [&] {
        ShowPage(pgSetup);
        ShowPage(pgUses);
        DoubleClick(uses, Node(uses, {"Prune", "Small"}));
        DoubleClick(uses, Node(uses, {"Prune", "Big"}));
        EXPECT_EQ(Captions(), QStringList({"Unit Small is used by:", "Unit Big is used by:"}));
        const QList<UnitWindow*> open = Window->UnitWindows().Windows();
        return QList<QPointer<UnitWindow>>(open.begin(), open.end());
    };
    const auto allGone = [](const QList<QPointer<UnitWindow>>& windows) {
        return std::ranges::all_of(windows, [](const auto& w) { return w.isNull(); });
    };
    auto windows = openTwo();
    QTest::keyClick(windows[0]->Tree()->Tree(), Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(windows[0].isNull());
    EXPECT_EQ(Captions(), QStringList({"Unit Big is used by:"}));

    QTest::mouseClick(Window->Setup().showIgnoredCheck, Qt::LeftButton);
    EXPECT_TRUE(allGone(windows)) << "destroyed at once, not later";
    QTest::mouseClick(Window->Setup().showIgnoredCheck, Qt::LeftButton);
    windows = openTwo();
    Window->startScan();
    EXPECT_TRUE(allGone(windows));
    windows = openTwo();
    Window->close();
    EXPECT_TRUE(allGone(windows));
}

TEST_F(UnitWindowTest, WindowsTakeTheSortKeyOfTheMainTreeForNewLevels) {
    TreePage& uses = UsesTree();
    ClickSection(uses.Header(), 0);
    ClickSection(uses.Header(), 0); // name, descending
    TreePage& usedBy = UsedByTree();
    DoubleClick(usedBy, Node(usedBy, {"Prune"}));
    TreePage& sub = *Window->UnitWindows().Windows().front()->Tree();
    const QStringList descending = {"Small", "NoSize", "LibX", "FormA", "Exact", "Cyc1", "Big"};
    EXPECT_EQ(Texts(sub, Node(sub, {"Prune"})), descending);
    // A click on the main tree's header changes the key for the levels built later.
    ShowPage(pgUses);
    ClickSection(uses.Header(), 0);
    sub.Tree()->collapse(Node(sub, {"Prune"}));
    sub.Tree()->expand(Node(sub, {"Prune"}));
    EXPECT_EQ(Texts(sub, Node(sub, {"Prune"})),
              QStringList({"Big", "Cyc1", "Exact", "FormA", "LibX", "NoSize", "Small"}));
}

} // namespace
} // namespace ut::gui::test
