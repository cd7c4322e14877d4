#include "gui/CyclesPage.h"

#include "analysis/CycleCuts.h"
#include "gui/ActivateKey.h"
#include "gui/NodeImages.h"
#include "gui/QtText.h"
#include "gui/ScanAnalysis.h"
#include "gui/UnitTreeModel.h"
#include "gui/WaitCursor.h"
#include "mapfile/MapFile.h"
#include "report/CutsText.h"
#include "trees/TreeRules.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace ut::gui {

namespace {

// A unit row keeps the unit's key, not the record: a pruning command may take the record
// away before the list is rebuilt.
constexpr int KeyRole = Qt::UserRole + 1;
// A cycle row keeps its index into the analysis's cycles.
constexpr int CycleRole = Qt::UserRole + 2;

// The cut list's columns; the entry's using unit is the row's key.
enum CutColumn { EntryCol, SectionCol, SiteCol, ReferencesCol, IdentifiersCol, VerdictCol };

// A group of cut entries: "Cut: 2 entries, 3 references" and a row per entry; the entries to
// move say whether they move as they are.
QTreeWidgetItem* CutGroup(const UnitGraph& graph, const QString& title,
                          const std::vector<CutEntry>& cuts, bool moves) {
    int references = 0;
    for (const CutEntry& cut : cuts)
        references += cut.Cost.References;
    auto* group = new QTreeWidgetItem(
        {QObject::tr("%1: %2, %3")
             .arg(title,
                  cuts.size() == 1 ? QObject::tr("1 entry")
                                   : QObject::tr("%1 entries").arg(cuts.size()),
                  references == 1 ? QObject::tr("1 reference")
                                  : QObject::tr("%1 references").arg(references))});
    group->setFlags(Qt::ItemIsEnabled);
    for (const CutEntry& cut : cuts) {
        const report::CutFields f = report::CutEntryFields(graph, cut);
        auto* row = new QTreeWidgetItem(group, {ToQt(f.Entry), ToQt(f.Section), ToQt(f.Site),
                                                ToQt(f.References), ToQt(f.Identifiers),
                                                moves ? ToQt(f.Verdict) : QString()});
        row->setData(0, KeyRole, ToQt(graph.Node(cut.From).Key));
        row->setTextAlignment(ReferencesCol, Qt::AlignRight | Qt::AlignVCenter);
    }
    return group;
}

} // namespace

CyclesPage::CyclesPage(const ProjectScan& scan, ScanAnalysis& analysis, QWidget* parent)
    : QWidget(parent), FScan(scan), FAnalysis(analysis), FList(new QTreeWidget(this)),
      FCutsHeader(new QLabel(this)), FCuts(new QTreeWidget(this)) {
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
    connect(FList, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        while (item && item->parent())
            item = item->parent();
        const QVariant cycle = item ? item->data(0, CycleRole) : QVariant();
        ShowCuts(cycle.isValid() ? cycle.toInt() : -1);
    });

    FCutsHeader->setObjectName(QStringLiteral("cutsHeader"));
    FCutsHeader->setWordWrap(true);
    FCuts->setObjectName(QStringLiteral("cutList"));
    FCuts->setHeaderLabels({tr("Entry"), tr("Section"), tr("Location"), tr("References"),
                            tr("Identifiers"), tr("Verdict")});
    FCuts->header()->resizeSection(EntryCol, 200);
    FCuts->header()->resizeSection(SectionCol, 110);
    FCuts->header()->resizeSection(SiteCol, 220);
    FCuts->setUniformRowHeights(true);
    FCuts->setSelectionMode(QAbstractItemView::SingleSelection);
    FCuts->setEditTriggers(QAbstractItemView::NoEditTriggers);
    FCuts->setExpandsOnDoubleClick(false);
    FCuts->installEventFilter(this);
    connect(FCuts, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* item) { Activate(item); });
    // The costs are by node of the analysis that goes.
    connect(&FAnalysis, &ScanAnalysis::dropping, this, [this] {
        FCostsAsked = false;
        FCosts.reset();
    });
    // A list of a scan that is gone would name records that are gone: list again.
    connect(&FAnalysis, &ScanAnalysis::changed, this, [this] {
        if (FList->topLevelItemCount() == 0)
            return;
        Clear();
        if (isVisible())
            Build();
    });

    auto* cutsPanel = new QWidget(this);
    auto* cutsLayout = new QVBoxLayout(cutsPanel);
    cutsLayout->setContentsMargins(0, 4, 0, 0);
    cutsLayout->addWidget(FCutsHeader);
    cutsLayout->addWidget(FCuts);
    auto* splitter = new QSplitter(Qt::Vertical, this);
    splitter->setHandleWidth(3);
    splitter->addWidget(FList);
    splitter->addWidget(cutsPanel);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(splitter);
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
        row->setData(0, CycleRole, static_cast<int>(i));
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
    FList->setCurrentItem(rows.front());
    return true;
}

void CyclesPage::Clear() {
    FList->clear();
    ShowCuts(-1);
    FCostsAsked = false;
    FCosts.reset();
}

void CyclesPage::CostsChanged() {
    FCostsAsked = false;
    FCosts.reset();
    const int cycle = FShownCycle;
    ShowCuts(-1);
    ShowCuts(cycle);
}

void CyclesPage::ShowCuts(int cycle) {
    if (cycle == FShownCycle)
        return;
    FCuts->clear();
    FCutsHeader->clear();
    FShownCycle = -1;
    const DependencyAnalysis* analysis = cycle >= 0 ? FAnalysis.Get() : nullptr;
    if (!analysis || cycle >= static_cast<int>(analysis->Cycles().Cycles.size()))
        return;
    WaitCursor wait;
    const UnitGraph& graph = analysis->Graph();
    if (!FCostsAsked) {
        FCostsAsked = true;
        if (Costs)
            FCosts = Costs(graph);
    }
    const UnitCycle& unitCycle = analysis->Cycles().Cycles[static_cast<size_t>(cycle)];
    const CycleCuts cuts = CutCycle(graph, unitCycle, FCosts ? *FCosts : EntryCosts());
    FShownCycle = cycle;
    FCutsHeader->setText(
        tr("Cycle %1, %2%3")
            .arg(cycle + 1)
            .arg(ToQt(report::CutsExactness(cuts.Exact)),
                 FCosts
                     ? tr(" (references counted by the uses hygiene)")
                     : tr(" (each entry counted as one reference: the uses hygiene has not run)")));
    QList<QTreeWidgetItem*> groups{CutGroup(graph, tr("Cut"), cuts.Cuts, false)};
    if (unitCycle.Interface)
        groups << CutGroup(graph, tr("Move to the implementation"), cuts.InterfaceCuts, true);
    FCuts->addTopLevelItems(groups);
    for (QTreeWidgetItem* group : groups)
        group->setFirstColumnSpanned(true);
    FCuts->expandAll();
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
    if ((watched == FList || watched == FCuts) && IsActivateKey(event)) {
        Activate(static_cast<QTreeWidget*>(watched)->currentItem());
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace ut::gui
