#include "gui/TreeExpansion.h"

#include "gui/TreePage.h"
#include "gui/UnitTreeModel.h"
#include "gui/WaitCursor.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QPointer>
#include <QTreeView>

#include <utility>
#include <vector>

namespace ut::gui {

namespace {

/// While it lives, the user's input is held off (only Escape is noted), so nothing can
/// change the tree under a running walk; Pressed() says whether Escape came since the
/// previous reading. Pending events run at most every few milliseconds.
class EscapeWatch : public QObject {
  public:
    EscapeWatch() {
        QCoreApplication::instance()->installEventFilter(this);
        Pressed(); // an earlier press does not count
    }
    ~EscapeWatch() override { QCoreApplication::instance()->removeEventFilter(this); }

    bool Pressed() {
        if (!FSince.isValid() || FSince.elapsed() >= IntervalMs) {
            QCoreApplication::processEvents();
            FSince.start();
        }
        return std::exchange(FPressed, false);
    }

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        switch (event->type()) {
        case QEvent::KeyPress:
            if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape)
                FPressed = true;
            return true;
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::ContextMenu:
            return true;
        case QEvent::Close:
            return event->spontaneous(); // the user's, not the program's
        default:
            return false;
        }
    }

  private:
    static constexpr int IntervalMs = 10;
    QElapsedTimer FSince;
    bool FPressed = false;
};

} // namespace

bool ExpandAll(TreePage& page, const QModelIndex& node, const NodeAction& onExpanded) {
    QPointer<QTreeView> tree = page.Tree();
    UnitTreeModel* model = page.Model();
    const QPersistentModelIndex start = node.siblingAtColumn(0);
    if (!start.isValid())
        return true;

    WaitCursor wait;
    tree->setUpdatesEnabled(false);
    struct Resume {
        QPointer<QTreeView>& Tree;
        const QPersistentModelIndex& Start;
        ~Resume() {
            if (!Tree)
                return;
            Tree->setUpdatesEnabled(true);
            if (Start.isValid())
                Tree->scrollTo(Start, QAbstractItemView::PositionAtTop);
        }
    } resume{tree, start};
    EscapeWatch escape;

    // Depth first without recursion (a path can be as long as the project has units): each
    // level keeps the sibling it visits next, taken before the current one is handled.
    std::vector<QPersistentModelIndex> next;
    auto expand = [&](const QPersistentModelIndex& index) {
        tree->expand(index);
        if (onExpanded && index.isValid())
            onExpanded(index);
        next.emplace_back(index.isValid() ? model->index(0, 0, index) : QModelIndex());
    };
    expand(start);
    while (!next.empty()) {
        if (!tree)
            return false;
        const QPersistentModelIndex child = next.back();
        if (!child.isValid()) {
            // A level is done: that counts as the end of its parent, a child one level up.
            next.pop_back();
            if (!next.empty() && escape.Pressed())
                return false;
            continue;
        }
        next.back() = child.sibling(child.row() + 1, 0);
        if (model->Data(child).Kind() == NodeKind::Ordinary) {
            expand(child);
            continue;
        }
        if (escape.Pressed())
            return false;
    }
    return true;
}

void KeepOnlyForms(TreePage& page, const QModelIndex& node) {
    QTreeView* tree = page.Tree();
    UnitTreeModel* model = page.Model();
    const QModelIndex start = node.siblingAtColumn(0);
    if (!start.isValid() || !tree->isExpanded(start))
        return;
    // The expanded levels still to prune, on a stack: an expanded path can be as long as
    // the project has units.
    std::vector<QPersistentModelIndex> parents{start};
    while (!parents.empty()) {
        const QPersistentModelIndex parent = parents.back();
        parents.pop_back();
        if (!parent.isValid())
            continue;
        int row = 0;
        while (row < model->rowCount(parent)) {
            const QModelIndex child = model->index(row, 0, parent);
            if (!model->HasFormOverlay(child)) {
                model->removeRow(row, parent);
                continue;
            }
            if (tree->isExpanded(child))
                parents.emplace_back(child);
            ++row;
        }
    }
}

} // namespace ut::gui
