#include "gui/NeighbourList.h"

#include "gui/QtText.h"
#include "gui/TreePage.h"
#include "gui/UnitTreeModel.h"
#include "scan/ProjectScan.h"

#include <QItemSelectionModel>
#include <QTreeView>

namespace ut::gui {

NeighbourList::NeighbourList(const ProjectScan& scan, TreePage& tree, QWidget* parent)
    : QListWidget(parent), FScan(scan), FTree(tree) {
    setObjectName(QStringLiteral("neighbourList"));
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    FDelay.setSingleShot(true);
    FDelay.setInterval(ChangeDelayMs);
    connect(&FDelay, &QTimer::timeout, this, &NeighbourList::showNeighbours);

    // Removed or rebuilt nodes change what is current without always saying so through the
    // selection; every such change restarts the delay too.
    auto restart = [this] { FDelay.start(); };
    connect(tree.Tree()->selectionModel(), &QItemSelectionModel::currentChanged, this, restart);
    UnitTreeModel* model = tree.Model();
    connect(model, &QAbstractItemModel::modelReset, this, restart);
    connect(model, &QAbstractItemModel::rowsRemoved, this, restart);
    connect(model, &QAbstractItemModel::layoutChanged, this, restart);
}

QSize NeighbourList::sizeHint() const {
    return {DesignedWidth, QListWidget::sizeHint().height()};
}

void NeighbourList::showNeighbours() {
    FDelay.stop();
    setUpdatesEnabled(false);
    clear();
    const QModelIndex current = FTree.Tree()->currentIndex().siblingAtColumn(0);
    const TUnit* unit = FTree.Model()->NodeUnit(current);
    if (unit) {
        QStringList items{tr("Uses:"), QString()};
        for (int i = 0; i < unit->Uses.Count(); ++i)
            items << ToQt(unit->Uses[i]);
        items << QString() << tr("Used by:") << QString();
        for (int i = 0; i < FScan.FUnits.Count(); ++i) {
            const TUnit* user = FScan.FUnits.Objects(i).get();
            if (user != unit && IndexOfText(user->Uses, unit->UnitName) >= 0)
                items << ToQt(user->UnitName);
        }
        addItems(items);
    }
    setUpdatesEnabled(true);
}

} // namespace ut::gui
