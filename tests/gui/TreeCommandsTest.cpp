// The pruning commands through the real window: the popup menu, Del with its question,
// numpad * and its Escape, only forms, F4, delete small units and delete by location; and
// that a removed unit leaves no node, window or list behind that could still reach it.
#include "PruneWindow.h"

#include "gui/CheckListDialog.h"
#include "gui/NeighbourList.h"
#include "gui/TreeExpansion.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QListWidget>
#include <QMenu>
#include <QPointer>
#include <QPushButton>

namespace ut::gui::test {
namespace {

class TreeCommandsTest : public PruneWindowTest {
  protected:
    /// Right-click on the node's row: the popup opens on the tree.
    void Popup(TreePage& page, const QModelIndex& index = {}) {
        QTreeView* tree = page.Tree();
        const QPoint at = index.isValid() ? tree->visualRect(index).center() : QPoint(5, 5);
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, tree->viewport()->mapToGlobal(at));
        QApplication::sendEvent(tree->viewport(), &event);
        EXPECT_TRUE(Commands().treeMenu->isVisible());
        Commands().treeMenu->hide();
    }
    /// The units of FUnits by key.
    QStringList Keys() {
        QStringList keys;
        for (int i = 0; i < Scan().FUnits.Count(); ++i)
            keys << QString::fromStdString(Scan().FUnits[i]);
        return keys;
    }
    static QStringList Without(QStringList keys, const QStringList& gone) {
        for (const QString& key : gone)
            keys.removeAll(key);
        return keys;
    }
    const QStringList AllKeys = {"Big",   "Cyc1", "Cyc2", "Cyc3",   "Exact", "FormA", "FormB",
                                 "FormC", "LibX", "LibY", "NoSize", "Plain", "Prune", "Small"};
    static bool NoWaitCursor() { return QGuiApplication::overrideCursor() == nullptr; }
};

TEST_F(TreeCommandsTest, MenuCaptionFollowsTheTreeAndTreeCommandsNeedATree) {
    EXPECT_EQ(Commands().treeMenu->defaultAction(), Commands().openUnitWindowAction);
    Popup(UsesTree());
    EXPECT_EQ(Commands().openUnitWindowAction->text(), QStringLiteral("Used by..."));
    Popup(UsedByTree());
    EXPECT_EQ(Commands().openUnitWindowAction->text(), QStringLiteral("Uses..."));
    for (QAction* item : Commands().treeMenu->actions())
        EXPECT_TRUE(item->isEnabled()) << item->text().toStdString();

    // In a detail window the caption follows the window's own direction.
    TreePage& usedBy = UsedByPage();
    Select(usedBy, Node(usedBy, {"Small"}));
    Commands().openUnitWindowAction->trigger(); // the remembered tree, the used-by tree
    ASSERT_EQ(Window->UnitWindows().Windows().size(), 1);
    TreePage& sub = *Window->UnitWindows().Windows().front()->Tree();
    EXPECT_EQ(sub.Direction(), tdUses);
    Popup(sub, Node(sub, {"Small"}));
    EXPECT_EQ(Commands().openUnitWindowAction->text(), QStringLiteral("Used by..."));

    // On a control that is no dependency tree the tree commands are off.
    Commands().prepareMenu(Window->neighbourList);
    for (QAction* item : {Commands().openUnitWindowAction, Commands().onlyFormsAction,
                          Commands().expandFormsAction, Commands().editSourceAction})
        EXPECT_FALSE(item->isEnabled()) << item->text().toStdString();
    EXPECT_TRUE(Commands().deleteSmallAction->isEnabled());
    EXPECT_TRUE(Commands().deleteByLocationAction->isEnabled());
}

using TreeCommandsBeforeAScan = WindowTest;

TEST_F(TreeCommandsBeforeAScan, DeleteItemsAreDisabledAndCopeWhenTriggered) {
    Open();
    TreeCommands& commands = Window->Commands();
    commands.prepareMenu(Window->usesPage->Tree());
    EXPECT_FALSE(commands.deleteSmallAction->isEnabled());
    EXPECT_FALSE(commands.deleteByLocationAction->isEnabled());
    EXPECT_TRUE(commands.onlyFormsAction->isEnabled());
    // The commands themselves cope: nothing to ask, nothing to remove.
    for (QAction* item : {commands.deleteSmallAction, commands.deleteByLocationAction}) {
        item->setEnabled(true);
        item->trigger();
    }
    EXPECT_TRUE(Prompts.Inputs.isEmpty());
}

TEST_F(TreeCommandsTest, DelAsksAndRemovesTheUnitEverywhereLeavingNothingThatReachesIt) {
    TreePage& uses = UsesTree();
    // Small in the uses tree four times (also below a cycle), in the used-by tree as a root and a
    // child, in its own window and as a node of two other windows.
    for (const QStringList& path : {QStringList{"Prune", "Small", "Exact"},
                                    {"Prune", "Big", "Small"},
                                    {"Prune", "Cyc1", "Cyc2", "Cyc3", "Small"},
                                    {"Prune", "FormA", "FormB", "Small"}})
        uses.Tree()->expand(Node(uses, path));
    TreePage& usedBy = UsedByTree();
    usedBy.Tree()->expand(Node(usedBy, {"Exact", "Small"}));
    Window->UnitWindows().showUnitWindow(Unit("Small"), tdUses);
    Window->UnitWindows().showUnitWindow(Unit("Exact"), tdUses);
    Window->UnitWindows().showUnitWindow(Unit("Cyc3"), tdUsedBy);
    QList<QPointer<UnitWindow>> windows;
    for (UnitWindow* w : Window->UnitWindows().Windows())
        windows << w;
    ASSERT_EQ(windows.size(), 3);
    TreePage& exactWindow = *windows[1]->Tree();
    TreePage& cyc3Window = *windows[2]->Tree();
    cyc3Window.Tree()->expand(Node(cyc3Window, {"Cyc3", "Small"}));
    const ut::TUnit* small = Unit("Small");
    ASSERT_EQ(NodesOf(uses, small), 4);
    ASSERT_EQ(NodesOf(usedBy, small), 2);
    ASSERT_EQ(NodesOf(exactWindow, small), 1);
    ASSERT_EQ(NodesOf(cyc3Window, small), 1);

    // No: nothing happens.
    ShowPage(pgUses);
    FocusTree(uses);
    Select(uses, Node(uses, {"Prune", "Big", "Small"}));
    QTest::keyClick(uses.Tree(), Qt::Key_Delete);
    EXPECT_EQ(Prompts.Questions,
              QStringList({"Do you really want to hide all nodes with this unit?"}));
    EXPECT_EQ(Keys(), AllKeys);

    Prompts.ConfirmAnswer = true;
    QTest::keyClick(uses.Tree(), Qt::Key_Delete);
    EXPECT_EQ(Keys(), Without(AllKeys, {"Small"}));
    EXPECT_EQ(Scan().UnitSize("Small"), 0);
    EXPECT_EQ(NodesOf(uses, small), 0);
    EXPECT_EQ(NodesOf(usedBy, small), 0);
    EXPECT_EQ(NodesOf(exactWindow, small), 0);
    EXPECT_EQ(NodesOf(cyc3Window, small), 0);
    // Its own window lets go at once and is gone with the next round of events.
    EXPECT_FALSE(windows[0] && windows[0]->isVisible());
    EXPECT_EQ(Window->UnitWindows().Windows().size(), 2);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(windows[0].isNull());
    // What it reached stays.
    EXPECT_EQ(Texts(uses, Node(uses, {"Prune", "FormA", "FormB"})), QStringList());
    EXPECT_NE(Scan().FindUnit("Exact"), nullptr);

    // Everything that reads units still works (the record is freed: any stale reference
    // would be a use after free): painting, sorting, expanding, double-clicking, the list.
    ShowPage(pgUses);
    uses.Tree()->collapse(Node(uses, {"Prune", "Big"}));
    uses.Tree()->expand(Node(uses, {"Prune", "Big"}));
    const QModelIndex bare = Node(uses, {"Prune", "Big", "Small"});
    EXPECT_EQ(uses.Model()->Data(bare).Kind(), NodeKind::BareName);
    for (int section : {0, 1, 2, 2}) {
        uses.Header()->sectionClicked(section);
        usedBy.Header()->sectionClicked(section);
    }
    EXPECT_TRUE(ExpandAll(uses, uses.Model()->index(0, 0)));
    EXPECT_TRUE(ExpandAll(exactWindow, exactWindow.Model()->index(0, 0)));
    EXPECT_TRUE(ExpandAll(cyc3Window, cyc3Window.Model()->index(0, 0)));
    for (TreePage* page : {&uses, &usedBy, &exactWindow, &cyc3Window})
        EXPECT_FALSE(page->Tree()->grab().isNull());
    DoubleClick(uses, Node(uses, {"Prune", "Big", "Small"}));
    DoubleClick(uses, Node(uses, {"Prune", "Big"}));
    DoubleClick(exactWindow, exactWindow.Model()->index(0, 0));
    Select(uses, Node(uses, {"Prune", "Exact"}));
    Window->neighbourList->showNeighbours();
    EXPECT_EQ(Window->neighbourList->count(), 7); // Exact: SysUtils; used by Prune only
    EXPECT_TRUE(NoWaitCursor());
}

TEST_F(TreeCommandsTest, DelOnTheProjectRootLogsTheRefusal) {
    TreePage& uses = UsesTree();
    Prompts.ConfirmAnswer = true;
    Select(uses, uses.Model()->index(0, 0));
    QTest::keyClick(uses.Tree(), Qt::Key_Delete);
    EXPECT_EQ(Log().back(),
              QStringLiteral("EXC: File=, Msg=Cannot remove the project's main unit!"));
    EXPECT_EQ(Keys(), AllKeys);
    EXPECT_EQ(Texts(uses), QStringList({"Prune"}));
    EXPECT_EQ(Texts(uses, uses.Model()->index(0, 0)).size(), 7);
    // A bare name asks nothing.
    Prompts.Questions.clear();
    Select(uses, Node(uses, {"Prune", "Exact", "SysUtils"}));
    QTest::keyClick(uses.Tree(), Qt::Key_Delete);
    EXPECT_TRUE(Prompts.Questions.isEmpty());
}

TEST_F(TreeCommandsTest, NumpadAsteriskExpandsEverythingAndEndsOnEveryCycle) {
    TreePage& uses = UsesTree();
    const QModelIndex root = uses.Model()->index(0, 0);
    // The asterisk of the main keyboard is no command, nor the view's own expand-all.
    Select(uses, Node(uses, {"Prune", "Cyc1"}));
    QTest::keyClick(uses.Tree(), Qt::Key_Asterisk);
    EXPECT_FALSE(uses.Tree()->isExpanded(Node(uses, {"Prune", "Cyc1"})));

    Select(uses, root);
    QTest::keyClick(uses.Tree(), Qt::Key_Asterisk, Qt::KeypadModifier);
    int ordinary = 0, repeats = 0;
    ForEachNode(uses, [&](const QModelIndex& index) {
        const NodeKind kind = uses.Model()->Data(index).Kind();
        if (kind == NodeKind::Ordinary) {
            ++ordinary;
            EXPECT_TRUE(uses.Tree()->isExpanded(index))
                << uses.Model()->NodeText(index).toStdString();
        } else if (kind == NodeKind::Repeat) {
            ++repeats;
            EXPECT_EQ(uses.Model()->rowCount(index), 0);
        }
    });
    EXPECT_GT(ordinary, 20);
    EXPECT_EQ(uses.Model()->Data(Node(uses, {"Prune", "Cyc1", "Cyc2", "Cyc3", "Cyc1"})).Kind(),
              NodeKind::Repeat);
    EXPECT_EQ(uses.Model()->Data(Node(uses, {"Prune", "Cyc1", "Cyc2", "Cyc1"})).Kind(),
              NodeKind::Repeat);
    EXPECT_EQ(repeats, 2); // Cyc1 under Cyc1 > Cyc2 and under Cyc1 > Cyc2 > Cyc3
    EXPECT_TRUE(uses.Tree()->updatesEnabled());
    EXPECT_TRUE(NoWaitCursor());

    // The node expanded is scrolled to the top (in a view too short for all of it).
    uses.Tree()->setFixedHeight(120);
    QCoreApplication::processEvents();
    const QModelIndex cyc1 = Node(uses, {"Prune", "Cyc1"});
    Select(uses, cyc1);
    QTest::keyClick(uses.Tree(), Qt::Key_Asterisk, Qt::KeypadModifier);
    EXPECT_EQ(uses.Tree()->indexAt(QPoint(1, 1)), cyc1);
}

TEST_F(TreeCommandsTest, EscapeStopsExpandAllAfterTheCurrentChild) {
    TreePage& uses = UsesTree();
    const QModelIndex cyc1 = Node(uses, {"Prune", "Cyc1"});
    int expansions = 0;
    const bool completed = ExpandAll(uses, cyc1, [&](const QModelIndex& node) {
        ++expansions;
        if (uses.Model()->NodeText(node) == QStringLiteral("Cyc2"))
            QTest::keyClick(uses.Tree(), Qt::Key_Escape);
    });
    EXPECT_FALSE(completed);
    // Cyc2's first child Cyc3 was under way and was finished; its first child (the repeat
    // Cyc1) is where the press was read.
    EXPECT_EQ(expansions, 3);
    EXPECT_TRUE(uses.Tree()->isExpanded(Node(uses, {"Prune", "Cyc1", "Cyc2", "Cyc3"})));
    EXPECT_FALSE(uses.Tree()->isExpanded(Node(uses, {"Prune", "Cyc1", "Cyc2", "Cyc3", "Small"})));
    EXPECT_TRUE(uses.Tree()->updatesEnabled());
    EXPECT_TRUE(NoWaitCursor());

    // A press before the start does not count.
    QCoreApplication::postEvent(uses.Tree(),
                                new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
    EXPECT_TRUE(ExpandAll(uses, cyc1));
    EXPECT_TRUE(uses.Tree()->isExpanded(Node(uses, {"Prune", "Cyc1", "Cyc2", "Cyc3", "Small"})));
}

TEST_F(TreeCommandsTest, OnlyFormsPrunesTheExpandedPartAndLeavesCollapsedNodes) {
    TreePage& uses = UsesTree();
    for (const QStringList& path :
         {QStringList{"Prune", "FormA", "FormB"}, {"Prune", "FormA", "Plain"}})
        uses.Tree()->expand(Node(uses, path));
    ASSERT_EQ(Texts(uses, Node(uses, {"Prune", "FormA", "Plain"})), QStringList({"FormC"}));

    // A collapsed node: nothing happens.
    Select(uses, Node(uses, {"Prune", "LibX"}));
    QTest::keyClick(uses.Tree(), Qt::Key_F, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(uses.Model()->hasChildren(Node(uses, {"Prune", "LibX"})));

    // Plain goes although a form lies below it; FormB is pruned in turn.
    Select(uses, Node(uses, {"Prune", "FormA"}));
    QTest::keyClick(uses.Tree(), Qt::Key_F, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(Texts(uses, Node(uses, {"Prune", "FormA"})), QStringList({"FormB"}));
    EXPECT_EQ(Texts(uses, Node(uses, {"Prune", "FormA", "FormB"})), QStringList());
    // Collapsed and expanded again, everything is back.
    const QModelIndex formA = Node(uses, {"Prune", "FormA"});
    uses.Tree()->collapse(formA);
    uses.Tree()->expand(formA);
    EXPECT_EQ(Texts(uses, formA), QStringList({"FormB", "Plain"}));
}

TEST_F(TreeCommandsTest, ExpandFormsOnlyKeepsPathsOfFormUnits) {
    TreePage& uses = UsesTree();
    const QModelIndex root = uses.Model()->index(0, 0);
    Select(uses, root);
    QTest::keyClick(uses.Tree(), Qt::Key_F, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(Texts(uses, root), QStringList({"FormA"}));
    EXPECT_EQ(Texts(uses, Node(uses, {"Prune", "FormA"})), QStringList({"FormB"}));
    EXPECT_EQ(Texts(uses, Node(uses, {"Prune", "FormA", "FormB"})), QStringList());
    EXPECT_TRUE(NoWaitCursor());
}

TEST_F(TreeCommandsTest, F4AndEditPasOpenTheSourceOfTheSelectedUnit) {
    TreePage& uses = UsesTree();
    const QString small = QString::fromUtf8(UNITRACE_FIXTURES "/prune/Small.pas");
    const QString formB = QString::fromUtf8(UNITRACE_FIXTURES "/prune/forms/FormB.pas");
    Select(uses, Node(uses, {"Prune", "Small"}));
    QTest::keyClick(uses.Tree(), Qt::Key_F4);
    Select(uses, Node(uses, {"Prune", "FormA", "FormB"}));
    Commands().editSourceAction->trigger();
    // A bare name has no file.
    Select(uses, Node(uses, {"Prune", "Exact", "SysUtils"}));
    QTest::keyClick(uses.Tree(), Qt::Key_F4);
    EXPECT_EQ(Opened, QStringList({small, formB}));
}

struct SmallCase {
    const char* Name;
    std::optional<QString> Answer;
    QStringList Removed;
    QString LogLine; ///< the last line of the log afterwards
};

class DeleteSmallUnitsTest : public TreeCommandsTest,
                             public ::testing::WithParamInterface<SmallCase> {};

TEST_P(DeleteSmallUnitsTest, RemovesUnitsBelowTheSizeEntered) {
    const SmallCase& c = GetParam();
    TreePage& uses = UsesTree();
    Prompts.InputAnswer = c.Answer;
    Select(uses, uses.Model()->index(0, 0));
    QTest::keyClick(uses.Tree(), Qt::Key_Delete, Qt::ControlModifier | Qt::ShiftModifier);
    ASSERT_EQ(Prompts.Inputs.size(), 1);
    EXPECT_EQ(Prompts.Inputs.front(),
              QStringList({"Enter minimal size of unit to keep it", "Min size:", "256"}));
    EXPECT_EQ(Keys(), Without(AllKeys, c.Removed));
    EXPECT_EQ(Log().back(), c.LogLine);
    EXPECT_TRUE(NoWaitCursor());
    for (const QString& key : c.Removed)
        EXPECT_FALSE(Texts(uses, uses.Model()->index(0, 0)).contains(key));
}

INSTANTIATE_TEST_SUITE_P(
    Boundary, DeleteSmallUnitsTest,
    ::testing::Values(
        // 255 < 256 goes; 256 and 257 stay; NoSize has no size and stays.
        SmallCase{"Default256", QStringLiteral("256"), {"Small"}, "Done"},
        SmallCase{"Size257", QStringLiteral("257"), {"Small", "Exact"}, "Done"},
        SmallCase{"LeadingBlanksAndHex", QStringLiteral("  $101"), {"Small", "Exact"}, "Done"},
        SmallCase{"Cancel", std::nullopt, {}, "Done"},
        SmallCase{"NotANumber",
                  QStringLiteral("abc"),
                  {},
                  "EXC: File=, Msg='abc' is not a valid integer value"},
        SmallCase{"TrailingText",
                  QStringLiteral("256 "),
                  {},
                  "EXC: File=, Msg='256 ' is not a valid integer value"}),
    [](const ::testing::TestParamInfo<SmallCase>& info) { return std::string(info.param.Name); });

TEST_F(TreeCommandsTest, DeleteByLocationRemovesTheUnitsOfTheTickedLocationsOnly) {
    UsesTree();
    // Nothing ticked, or ticked and cancelled: nothing goes.
    WhenModal<CheckListDialog>([](CheckListDialog& dialog) { dialog.okButton->click(); });
    Commands().deleteByLocationAction->trigger();
    EXPECT_EQ(Keys(), AllKeys);
    WhenModal<CheckListDialog>([](CheckListDialog& dialog) {
        dialog.SetChecked(1, true);
        dialog.cancelButton->click();
    });
    Commands().deleteByLocationAction->trigger();
    EXPECT_EQ(Keys(), AllKeys);

    QStringList items;
    QString caption;
    bool anyTicked = true;
    WhenModal<CheckListDialog>([&](CheckListDialog& dialog) {
        caption = dialog.windowTitle();
        anyTicked = false;
        for (int i = 0; i < dialog.Count(); ++i) {
            items << dialog.checkList->item(i)->text();
            anyTicked = anyTicked || dialog.Checked(i);
        }
        dialog.SetChecked(static_cast<int>(items.indexOf(QStringLiteral("lib"))), true);
        dialog.okButton->click();
    });
    Commands().deleteByLocationAction->trigger();
    EXPECT_EQ(caption, QStringLiteral("Select locations to ignore all units there!"));
    // Units in the project's own directory show the full directory.
    EXPECT_EQ(items, QStringList({QString::fromUtf8(UNITRACE_FIXTURES "/prune"), "forms", "lib"}));
    EXPECT_FALSE(anyTicked);
    EXPECT_EQ(Keys(), Without(AllKeys, {"LibX", "LibY"}));
    EXPECT_TRUE(UsesPage().Tree()->updatesEnabled());
    EXPECT_TRUE(UsedByPage().Tree()->updatesEnabled());
    EXPECT_TRUE(NoWaitCursor());
}

TEST_F(TreeCommandsTest, CommandsFallBackToTheLastPopupTreeOnlyWhileItLives) {
    UsedByTree();
    Window->UnitWindows().showUnitWindow(Unit("FormA"), tdUsedBy);
    QPointer<UnitWindow> window = Window->UnitWindows().Windows().front();
    TreePage& sub = *window->Tree();
    Popup(sub, Node(sub, {"FormA"}));
    Select(sub, Node(sub, {"FormA"}));
    Window->neighbourList->setFocus();
    // Not focused, but the tree of the last popup.
    Commands().editSourceAction->trigger();
    EXPECT_EQ(Opened, QStringList({QString::fromUtf8(UNITRACE_FIXTURES "/prune/forms/FormA.pas")}));

    QTest::keyClick(sub.Tree(), Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_TRUE(window.isNull());
    const QStringList log = Log();
    Window->neighbourList->setFocus();
    for (QAction* item : {Commands().openUnitWindowAction, Commands().onlyFormsAction,
                          Commands().expandFormsAction, Commands().editSourceAction})
        item->trigger();
    // Silently nothing: no tree to act on.
    EXPECT_EQ(Log(), log);
    EXPECT_EQ(Opened.size(), 1);
    EXPECT_TRUE(Window->UnitWindows().Windows().isEmpty());
}

} // namespace
} // namespace ut::gui::test
