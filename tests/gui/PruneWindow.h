#pragma once
// The main window scanned on the pruning fixture, for the tests of the detail windows, the
// neighbour list and the pruning commands:
//   Prune: Small, Exact, Big, NoSize, Cyc1, FormA, LibX     (sizes: Small 255, Exact 256,
//   Small: Exact   Big: Small   NoSize: Big                  Big 257; NoSize not in the map)
//   Cyc1: Cyc2   Cyc2: Cyc3; implementation Cyc1   Cyc3: Cyc1, Small
//   forms/FormA (form): FormB, Plain   forms/FormB (form): Small   forms/Plain: FormC (form)
//   lib/LibX: LibY
#include "GuiTestSupport.h"

#include "gui/FileNameEdit.h"
#include "gui/TreeCommands.h"
#include "gui/TreePage.h"
#include "gui/UnitTreeModel.h"
#include "gui/UnitWindow.h"
#include "gui/UnitWindowList.h"

#include <QTreeView>

namespace ut::gui::test {

class PruneWindowTest : public WindowTest {
  protected:
    void SetUp() override {
        Open();
        Window->Commands().OpenFile = [this](const QString& file) { Opened << file; };
        Window->resize(700, 500);
        Page().projectEdit->setText(QString::fromUtf8(UNITRACE_FIXTURES "/prune/Prune.dpr"));
        Window->startScan();
        ASSERT_EQ(Log().back(), QStringLiteral("Done")) << Log().join(u'\n').toStdString();
    }

    TreePage& UsesPage() { return *Window->usesPage; }
    TreePage& UsedByPage() { return *Window->usedByPage; }
    ut::ProjectScan& Scan() { return Window->Scan(); }
    TreeCommands& Commands() { return Window->Commands(); }

    /// The uses (used-by) tree on view, built, with the focus in it.
    TreePage& UsesTree() { return FocusTree(UsesPage(), pgUses); }
    TreePage& UsedByTree() { return FocusTree(UsedByPage(), pgUsedBy); }
    TreePage& FocusTree(TreePage& page, int pageIndex = -1) {
        if (pageIndex >= 0)
            ShowPage(pageIndex);
        page.window()->activateWindow();
        QApplication::setActiveWindow(page.window());
        page.Tree()->setFocus();
        return page;
    }

    ut::TUnit* Unit(const char* key) {
        ut::TUnit* unit = Scan().FindUnit(key);
        EXPECT_NE(unit, nullptr) << key;
        return unit;
    }

    static QStringList Texts(TreePage& page, const QModelIndex& parent = {}) {
        QStringList texts;
        const UnitTreeModel& model = *page.Model();
        for (int row = 0; row < model.rowCount(parent); ++row)
            texts << model.NodeText(model.index(row, 0, parent));
        return texts;
    }
    /// The node reached by the texts of `path` from the top level, each step expanded.
    static QModelIndex Node(TreePage& page, const QStringList& path) {
        QModelIndex index;
        for (const QString& text : path) {
            if (index.isValid())
                page.Tree()->expand(index);
            const int row = static_cast<int>(Texts(page, index).indexOf(text));
            if (row < 0) {
                ADD_FAILURE() << "no node " << path.join(u'/').toStdString();
                return {};
            }
            index = page.Model()->index(row, 0, index);
        }
        return index;
    }
    static void Select(TreePage& page, const QModelIndex& index) {
        page.Tree()->setCurrentIndex(index);
    }
    static void DoubleClick(TreePage& page, const QModelIndex& index) {
        test::DoubleClick(page.Tree(), index);
    }

    /// Calls `visit` for every node that exists in the page's model, depth first.
    static void ForEachNode(TreePage& page, const std::function<void(const QModelIndex&)>& visit,
                            const QModelIndex& parent = {}) {
        for (int row = 0; row < page.Model()->rowCount(parent); ++row) {
            const QModelIndex child = page.Model()->index(row, 0, parent);
            visit(child);
            ForEachNode(page, visit, child);
        }
    }
    /// How many existing nodes of the page refer to `unit` (ordinary or repeat).
    static int NodesOf(TreePage& page, const ut::TUnit* unit) {
        int count = 0;
        ForEachNode(page, [&](const QModelIndex& index) {
            count += page.Model()->NodeUnit(index) == unit ? 1 : 0;
        });
        return count;
    }

    QStringList Opened;
};

} // namespace ut::gui::test
