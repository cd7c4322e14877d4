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
    void Popup(TreePage& page, const QModelIndex& index) {
        QTreeView* tree = page.Tree();
        const QPoint at = tree->visualRect(index).center();
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
    static QStringList AllBut(const QStringList& gone) {
        QStringList keys = {"Big",   "Cyc1", "Cyc2", "Cyc3",   "Exact", "FormA", "FormB",
                            "FormC", "LibX", "LibY", "NoSize", "Plain", "Prune", "Small"};
        for (const QString& key : gone)
            keys.removeAll(key);
        return keys;
    }
    void Key(TreePage& page, const QStringList& path, int key, Qt::KeyboardModifiers mods = {}) {
        Select(page, Node(page, path));
        QTest::keyClick(page.Tree(), Qt::Key(key), mods);
    }
    static bool Idle(TreePage& page) {
        return page.Tree()->updatesEnabled() && QGuiApplication::overrideCursor() == nullptr;
    }
};

TEST_F(WindowTest, DeleteItemsAreDisabledBeforeAScanAndCopeWhenTriggered) {
    Open();
    TreeCommands& commands = Window->Commands();
    commands.prepareMenu(Window->usesPage->Tree());
    EXPECT_FALSE(commands.deleteSmallAction->isEnabled());
    EXPECT_FALSE(commands.deleteByLocationAction->isEnabled());
    for (QAction* item : {commands.deleteSmallAction, commands.deleteByLocationAction}) {
        item->setEnabled(true);
        item->trigger();
    }
    EXPECT_TRUE(Prompts.Inputs.isEmpty());
}

TEST_F(TreeCommandsTest, DelAsksAndRemovesTheUnitEverywhereLeavingNothingThatReachesIt) {
    TreePage& uses = UsesTree();
    // Small in the uses tree three times (once below a cycle), in the used-by tree as a root
    // and a child, in its own window and as a node of Exact's.
    for (const QStringList& path : {QStringList{"Prune", "Small", "Exact"},
                                    {"Prune", "Big", "Small"},
                                    {"Prune", "Cyc1", "Cyc2", "Cyc3", "Small"}})
        uses.Tree()->expand(Node(uses, path));
    TreePage& usedBy = UsedByTree();
    usedBy.Tree()->expand(Node(usedBy, {"Exact", "Small"}));
    Window->UnitWindows().showUnitWindow(Unit("Small"), tdUses);
    Window->UnitWindows().showUnitWindow(Unit("Exact"), tdUses);
    const QPointer<UnitWindow> smallWindow = Window->UnitWindows().Windows().front();
    TreePage& exactWindow = *Window->UnitWindows().Windows().back()->Tree();
    const ut::TUnit* small = Unit("Small");
    const QList<TreePage*> pages = {&uses, &usedBy, &exactWindow};
    const auto counts = [&] {
        QList<int> n;
        for (TreePage* page : pages)
            n << NodesOf(*page, small);
        return n;
    };
    ASSERT_EQ(counts(), QList<int>({3, 2, 1}));

    FocusTree(uses, pgUses);
    Key(uses, {"Prune", "Big", "Small"}, Qt::Key_Delete); // answered No: nothing happens
    EXPECT_EQ(Prompts.Questions,
              QStringList({"Do you really want to hide all nodes with this unit?"}));
    EXPECT_EQ(Keys(), AllBut({}));
    Prompts.ConfirmAnswer = true;
    QTest::keyClick(uses.Tree(), Qt::Key_Delete);
    EXPECT_EQ(Keys(), AllBut({"Small"}));
    EXPECT_EQ(Scan().UnitSize("Small"), 0);
    EXPECT_EQ(counts(), QList<int>({0, 0, 0}));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(smallWindow.isNull());

    // Everything that reads units still works (the record is freed: any stale reference
    // would be a use after free): sorting, expanding, painting, double-clicking, the list.
    uses.Tree()->collapse(Node(uses, {"Prune", "Big"}));
    EXPECT_EQ(uses.Model()->Data(Node(uses, {"Prune", "Big", "Small"})).Kind(), NodeKind::BareName);
    for (TreePage* page : pages) {
        page->Header()->sectionClicked(2);
        EXPECT_TRUE(ExpandAll(*page, page->Model()->index(0, 0)));
        EXPECT_FALSE(page->Tree()->grab().isNull());
    }
    DoubleClick(uses, Node(uses, {"Prune", "Big", "Small"}));
    Select(uses, Node(uses, {"Prune", "Exact"}));
    Window->neighbourList->showNeighbours();
    EXPECT_EQ(Window->neighbourList->count(), 7); // Exact: SysUtils; used by Prune only
}

TEST_F(TreeCommandsTest, DelOnTheProjectRootLogsTheRefusalAndOnABareNameAsksNothing) {
    TreePage& uses = UsesTree();
    Prompts.ConfirmAnswer = true;
    Key(uses, {"Prune"}, Qt::Key_Delete);
    EXPECT_EQ(Log().back(),
              QStringLiteral("EXC: File=, Msg=Cannot remove the project's main unit!"));
    Prompts.Questions.clear();
    Key(uses, {"Prune", "Exact", "SysUtils"}, Qt::Key_Delete);
    EXPECT_TRUE(Prompts.Questions.isEmpty());
    EXPECT_EQ(Keys(), AllBut({}));
}

TEST_F(TreeCommandsTest, NumpadAsteriskExpandsEverythingEndsOnCyclesAndStopsOnEscape) {
    TreePage& uses = UsesTree();
    // The asterisk of the main keyboard is no command, nor the view's own expand-all.
    Key(uses, {"Prune", "Cyc1"}, Qt::Key_Asterisk);
    EXPECT_FALSE(uses.Tree()->isExpanded(Node(uses, {"Prune", "Cyc1"})));
    const QModelIndex cyc1 = Node(uses, {"Prune", "Cyc1"});
    // Escape: Cyc2's first child Cyc3 was under way and is finished; its first child (the
    // repeat Cyc1) is where the press is read.
    int expansions = 0;
    EXPECT_FALSE(ExpandAll(uses, cyc1, [&](const QModelIndex& node) {
        ++expansions;
        if (uses.Model()->NodeText(node) == QStringLiteral("Cyc2"))
            QTest::keyClick(uses.Tree(), Qt::Key_Escape);
    }));
    EXPECT_EQ(expansions, 3);
    EXPECT_TRUE(uses.Tree()->isExpanded(Node(uses, {"Prune", "Cyc1", "Cyc2", "Cyc3"})));
    EXPECT_FALSE(uses.Tree()->isExpanded(Node(uses, {"Prune", "Cyc1", "Cyc2", "Cyc3", "Small"})));
    EXPECT_TRUE(Idle(uses));
    QCoreApplication::postEvent(uses.Tree(),
                                new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
    EXPECT_TRUE(ExpandAll(uses, cyc1)) << "a press before the start does not count";

    // Everything below the root: each unit node expanded (a repeat has no children).
    Key(uses, {"Prune"}, Qt::Key_Asterisk, Qt::KeypadModifier);
    QStringList collapsed;
    ForEachNode(uses, [&](const QModelIndex& index) {
        if (uses.Model()->Data(index).Kind() == NodeKind::Ordinary &&
            !uses.Tree()->isExpanded(index))
            collapsed << uses.Model()->NodeText(index);
    });
    EXPECT_EQ(collapsed, QStringList());
    EXPECT_TRUE(Idle(uses));
    // The node expanded is scrolled to the top (in a view too short for all of it).
    uses.Tree()->setFixedHeight(120);
    QCoreApplication::processEvents();
    Key(uses, {"Prune", "Cyc1"}, Qt::Key_Asterisk, Qt::KeypadModifier);
    EXPECT_EQ(uses.Tree()->indexAt(QPoint(1, 1)), cyc1);
}

TEST_F(TreeCommandsTest, OnlyFormsPrunesTheExpandedPartAndExpandFormsKeepsFormPaths) {
    TreePage& uses = UsesTree();
    uses.Tree()->expand(Node(uses, {"Prune", "FormA", "Plain"}));
    uses.Tree()->expand(Node(uses, {"Prune", "FormA", "FormB"}));
    const Qt::KeyboardModifiers ctrlShift = Qt::ControlModifier | Qt::ShiftModifier;
    Key(uses, {"Prune", "LibX"}, Qt::Key_F, ctrlShift); // collapsed: nothing happens
    EXPECT_TRUE(uses.Model()->hasChildren(Node(uses, {"Prune", "LibX"})));
    // Plain goes although a form lies below it; FormB is pruned in turn.
    Key(uses, {"Prune", "FormA"}, Qt::Key_F, ctrlShift);
    EXPECT_EQ(Texts(uses, Node(uses, {"Prune", "FormA"})), QStringList({"FormB"}));
    EXPECT_EQ(Texts(uses, Node(uses, {"Prune", "FormA", "FormB"})), QStringList());

    Key(uses, {"Prune"}, Qt::Key_F, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(Texts(uses, Node(uses, {"Prune"})), QStringList({"FormA"}));
    EXPECT_EQ(Texts(uses, Node(uses, {"Prune", "FormA", "FormB"})), QStringList());
    EXPECT_TRUE(Idle(uses));
}

TEST_F(TreeCommandsTest, DeleteSmallUnitsRemovesUnitsBelowTheSizeEntered) {
    // Small 255 < 256 goes; Exact 256 and Big 257 stay; NoSize has no size and stays.
    const std::vector<std::tuple<std::optional<QString>, QStringList, QString>> cases = {
        {std::nullopt, {}, "Done"},
        {"256", {"Small"}, "Done"},
        {"  $101", {"Small", "Exact"}, "Done"},
        {"abc", {"Small", "Exact"}, "EXC: File=, Msg='abc' is not a valid integer value"},
        {"256 ", {"Small", "Exact"}, "EXC: File=, Msg='256 ' is not a valid integer value"}};
    TreePage& uses = UsesTree();
    for (const auto& [answer, removed, logLine] : cases) {
        Prompts.Inputs.clear();
        Prompts.InputAnswer = answer;
        Key(uses, {"Prune"}, Qt::Key_Delete, Qt::ControlModifier | Qt::ShiftModifier);
        EXPECT_EQ(Prompts.Inputs, QList<QStringList>({{"Enter minimal size of unit to keep it",
                                                       "Min size:", "256"}}));
        EXPECT_EQ(Keys(), AllBut(removed));
        EXPECT_EQ(Log().back(), logLine);
        EXPECT_TRUE(Idle(uses));
    }
}

TEST_F(TreeCommandsTest, DeleteByLocationRemovesTheUnitsOfTheTickedLocationsOnly) {
    UsesTree();
    WhenModal<CheckListDialog>([](CheckListDialog& dialog) {
        dialog.SetChecked(1, true);
        dialog.cancelButton->click();
    });
    Commands().deleteByLocationAction->trigger();
    EXPECT_EQ(Keys(), AllBut({}));

    QStringList items;
    WhenModal<CheckListDialog>([&](CheckListDialog& dialog) {
        for (int i = 0; i < dialog.Count(); ++i)
            items << dialog.checkList->item(i)->text() + (dialog.Checked(i) ? "+" : "");
        dialog.SetChecked(2, true);
        dialog.okButton->click();
    });
    Commands().deleteByLocationAction->trigger();
    // Units in the project's own directory show the full directory; none ticked at first.
    EXPECT_EQ(items, QStringList({QString::fromUtf8(UNITRACE_FIXTURES "/prune"), "forms", "lib"}));
    EXPECT_EQ(Keys(), AllBut({"LibX", "LibY"}));
    EXPECT_TRUE(Idle(UsedByPage()));
}

// The popup's caption follows its tree; F4 and the menu's commands act on the focused tree,
// else the tree of the last popup, else on nothing; on a control that is no dependency tree
// the tree commands are off.
TEST_F(TreeCommandsTest, MenuFollowsItsTreeAndCommandsFallBackToTheLastPopupTree) {
    TreePage& usedBy = UsedByTree();
    Popup(usedBy, Node(usedBy, {"Small"}));
    EXPECT_EQ(Commands().openUnitWindowAction->text(), QStringLiteral("Uses..."));
    TreePage& uses = UsesTree();
    Popup(uses, Node(uses, {"Prune"}));
    EXPECT_EQ(Commands().openUnitWindowAction->text(), QStringLiteral("Used by..."));
    Key(uses, {"Prune", "Small"}, Qt::Key_F4);
    Key(uses, {"Prune", "Exact", "SysUtils"}, Qt::Key_F4); // a bare name has no file
    Window->UnitWindows().showUnitWindow(Unit("FormA"), tdUsedBy);
    QPointer<UnitWindow> window = Window->UnitWindows().Windows().front();
    TreePage& sub = *window->Tree();
    Select(sub, Node(sub, {"FormA"}));
    Popup(sub, Node(sub, {"FormA"}));
    Window->neighbourList->setFocus();
    Commands().editSourceAction->trigger(); // not focused, but the tree of the last popup
    EXPECT_EQ(Opened, QStringList({QString::fromUtf8(UNITRACE_FIXTURES "/prune/Small.pas"),
                                   QString::fromUtf8(UNITRACE_FIXTURES "/prune/forms/FormA.pas")}));
    const QList<QAction*> treeCommands = {Commands().openUnitWindowAction,
                                          Commands().onlyFormsAction, Commands().expandFormsAction,
                                          Commands().editSourceAction};
    Commands().prepareMenu(Window->neighbourList);
    for (QAction* item : treeCommands)
        EXPECT_FALSE(item->isEnabled()) << item->text().toStdString();
    EXPECT_TRUE(Commands().deleteSmallAction->isEnabled());

    Popup(sub, Node(sub, {"FormA"})); // the commands on again, for the tree that goes now
    QTest::keyClick(sub.Tree(), Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_TRUE(window.isNull());
    const QStringList log = Log();
    Window->neighbourList->setFocus();
    for (QAction* item : treeCommands)
        item->trigger();
    // Silently nothing: no tree to act on.
    EXPECT_EQ(Log(), log);
    EXPECT_EQ(Opened.size(), 2);
    EXPECT_TRUE(Window->UnitWindows().Windows().isEmpty());
}

} // namespace
} // namespace ut::gui::test
