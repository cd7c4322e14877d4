#include "gui/CyclesPage.h"

#include "gui/NodeImages.h"
#include "gui/QtText.h"
#include "gui/ScanAnalysis.h"
#include "gui/UnitTreeModel.h"
#include "gui/WaitCursor.h"
#include "mapfile/MapFile.h"
#include "trees/TreeRules.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace ut::gui {

namespace {

// A unit row keeps the unit's key, not the record: a pruning command may take the record
// away before the list is rebuilt.
constexpr int KeyRole = Qt::UserRole + 1;

} // namespace

CyclesPage::CyclesPage(const ProjectScan& scan, ScanAnalysis& analysis, QWidget* parent)
    : QWidget(parent), FScan(scan), FAnalysis(analysis), FList(new QTreeWidget(this)) {
    FList->setObjectName(QStringLiteral("cycleList"));
    FList->setColumnCount(2);
    FList->setHeaderLabels({tr("Cycle"), tr("Location")});
    FList->header()->resizeSection(0, 260);
    // Rows differ: a cycle's row has no icon, its units' rows do; one height for all would
    // be the first row's and clip the icons.
    FList->setUniformRowHeights(false);
    FList->setSelectionMode(QAbstractItemView::SingleSelection);
    FList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    FList->setExpandsOnDoubleClick(true);
    FList->installEventFilter(this);
    connect(FList, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* item) { Activate(item); });
    // A list of a scan that is gone would name records that are gone: list again.
    connect(&FAnalysis, &ScanAnalysis::changed, this, [this] {
        if (FList->topLevelItemCount() == 0)
            return;
        Clear();
        if (isVisible())
            Build();
    });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(FList);
}

bool CyclesPage::Build() {
    if (FList->topLevelItemCount() > 0)
        return false;
    const DependencyAnalysis* analysis = FAnalysis.Get();
    if (!analysis)
        return false;
    WaitCursor wait;
    const UnitGraph& graph = analysis->Graph();
    const auto& cycles = analysis->Cycles().Cycles;
    if (cycles.empty()) {
        auto* none = new QTreeWidgetItem(
            FList, {tr("No cycles among the %1 parsed units").arg(graph.Count())});
        none->setFlags(Qt::ItemIsEnabled);
        return true;
    }
    const TColumnContext context = FScan.ColumnContext();
    const QIcon unitIcon = NodeIcon(QStringLiteral("Unit"), false);
    QList<QTreeWidgetItem*> rows;
    for (size_t i = 0; i < cycles.size(); ++i) {
        const UnitCycle& cycle = cycles[i];
        auto* row = new QTreeWidgetItem;
        // The row spans the "Location" column: what it tells is no location.
        row->setText(
            0, (cycle.Units.size() == 1 ? tr("%1: 1 unit").arg(i + 1)
                                        : tr("%1: %2 units").arg(i + 1).arg(cycle.Units.size())) +
                   (cycle.Interface ? tr(", a circular unit reference: the compiler rejects it")
                                    : tr(", through implementation uses")));
        row->setForeground(0, cycle.Interface ? UnitTreeModel::InterfaceCycleColor()
                                              : UnitTreeModel::CycleColor());
        row->setToolTip(0, CycleDescription(*analysis, cycle));
        row->setFlags(Qt::ItemIsEnabled);
        for (const int v : cycle.Units) {
            const GraphNode& node = graph.Node(v);
            auto* unitRow = new QTreeWidgetItem(row);
            unitRow->setText(0, ToQt(node.Key));
            unitRow->setIcon(0, unitIcon);
            unitRow->setData(0, KeyRole, ToQt(node.Key));
            unitRow->setText(
                1, ToQt(GetColumnText(&node.FileName, node.Key, LocationColumn, context).Text));
        }
        rows << row;
    }
    FList->addTopLevelItems(rows);
    for (QTreeWidgetItem* row : rows)
        row->setFirstColumnSpanned(true);
    FList->expandAll();
    return true;
}

void CyclesPage::Clear() {
    FList->clear();
}

TUnit* CyclesPage::UnitOf(const QTreeWidgetItem* item) const {
    if (!item)
        return nullptr;
    const QString key = item->data(0, KeyRole).toString();
    return key.isEmpty() ? nullptr : FScan.FindUnit(FromQt(key));
}

void CyclesPage::Activate(QTreeWidgetItem* item) {
    if (TUnit* unit = UnitOf(item))
        emit unitActivated(unit, tdUsedBy);
}

bool CyclesPage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == FList && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
            key->modifiers().testFlag(Qt::ControlModifier)) {
            Activate(FList->currentItem());
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace ut::gui
