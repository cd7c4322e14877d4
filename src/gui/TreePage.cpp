#include "gui/TreePage.h"

#include "gui/ActivateKey.h"
#include "gui/ScanAnalysis.h"
#include "gui/ScanHygiene.h"
#include "gui/ScanRules.h"
#include "gui/UnitTreeModel.h"
#include "gui/WaitCursor.h"

#include <QEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QSplitter>
#include <QStyle>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdlib>
#include <iterator>

namespace ut::gui {

namespace {

// Initial section widths: name, "Location", "Size", "Exclusive", "Recompile", "Level".
constexpr int UsesWidths[] = {200, 200, 64, 72, 72, 48};
constexpr int UsedByWidths[] = {255, 255, 64, 72, 72, 48};
static_assert(std::size(UsesWidths) == UnitTreeModel::ColumnCount &&
              std::size(UsedByWidths) == UnitTreeModel::ColumnCount);
constexpr int TreeIndent = 19;
// Room kept free between the last section and the vertical scroll bar.
constexpr int SectionMargin = 4;

} // namespace

TreePage::TreePage(ProjectScan& scan, const TreeFilters& filters, int direction, QWidget* parent)
    : QWidget(parent), FDirection(direction),
      FModel(new UnitTreeModel(scan, filters, direction, this)), FTree(new QTreeView(this)) {
    FTree->setObjectName(direction == tdUses ? QStringLiteral("usesTree")
                                             : QStringLiteral("usedByTree"));
    FTree->setModel(FModel);
    FTree->setIndentation(TreeIndent);
    FTree->setRootIsDecorated(direction != tdUses);
    FTree->setUniformRowHeights(true);
    FTree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    FTree->setSelectionMode(QAbstractItemView::SingleSelection);
    FTree->setSortingEnabled(false);
    FTree->installEventFilter(this);

    QHeaderView* header = FTree->header();
    header->setObjectName(direction == tdUses ? QStringLiteral("usesHeader")
                                              : QStringLiteral("usedByHeader"));
    header->setSectionsMovable(false);
    header->setSectionsClickable(true);
    header->setStretchLastSection(false);
    header->setMinimumSectionSize(0);
    header->setSortIndicatorShown(true);
    header->setSortIndicator(-1, Qt::AscendingOrder);
    header->setSectionResizeMode(QHeaderView::Interactive);
    const int* widths = direction == tdUses ? UsesWidths : UsedByWidths;
    for (int i = 0; i < UnitTreeModel::ColumnCount; ++i)
        header->resizeSection(i, widths[i]);

    connect(header, &QHeaderView::sectionClicked, this, &TreePage::SectionClicked);
    connect(header, &QHeaderView::sectionResized, this,
            [this](int section, int, int) { SectionResized(section); });
    // The children are built as the node expands, not at the view's next layout, so that
    // they exist as soon as expand() returns.
    connect(FTree, &QTreeView::expanded, this, [this](const QModelIndex& index) {
        if (FModel->canFetchMore(index))
            FModel->fetchMore(index);
    });
    connect(FTree, &QTreeView::collapsed, FModel, &UnitTreeModel::Collapse);
    connect(FTree, &QTreeView::doubleClicked, this, [this](const QModelIndex& index) {
        if (FHasCommand)
            Activate(index);
    });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(FTree);
}

TreePage::~TreePage() = default;

QHeaderView* TreePage::Header() const {
    return FTree->header();
}

bool TreePage::Build() {
    if (!FModel->IsEmpty())
        return false;
    WaitCursor wait;
    if (!FModel->BuildRoots())
        return false;
    if (FDirection == tdUses) {
        FTree->expand(FModel->index(0, 0));
    }
    return true;
}

void TreePage::BuildUnit(TUnit& unit) {
    FModel->BuildUnitRoot(unit);
    FTree->expand(FModel->index(0, 0));
}

void TreePage::SetSidePanel(QWidget* panel) {
    auto* splitter = new QSplitter(Qt::Horizontal, this);
    splitter->setHandleWidth(3);
    delete layout()->replaceWidget(FTree, splitter);
    splitter->addWidget(FTree);
    splitter->addWidget(panel);
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 0);
}

void TreePage::ClearResult() {
    Clear();
    SetSortKey(0);
}

void TreePage::Clear() {
    FModel->Clear();
}

void TreePage::SetAnalysis(ScanAnalysis& analysis) {
    FModel->SetAnalysis(&analysis);
    // The model asks the analysis whenever it draws.
    connect(&analysis, &ScanAnalysis::changed, FTree->viewport(), qOverload<>(&QWidget::update));
}

void TreePage::SetHygiene(const ScanHygiene& hygiene) {
    FModel->SetHygiene(&hygiene);
    connect(&hygiene, &ScanHygiene::changed, FTree->viewport(), qOverload<>(&QWidget::update));
}

void TreePage::SetRules(ScanRules& rules) {
    FModel->SetRules(&rules);
    connect(&rules, &ScanRules::changed, FTree->viewport(), qOverload<>(&QWidget::update));
}

int TreePage::SortKey() const {
    return FModel->SortKey();
}

void TreePage::SetSortKey(int key) {
    FModel->SetSortKey(key);
    // The arrow shows the order on screen: a positive size key puts the largest first.
    const int section = key == 0 ? -1 : std::abs(key) - 1;
    const bool bySize =
        section == UnitTreeModel::SizeCol || UnitTreeModel::IsAnalysisColumn(section);
    const bool ascending = (key > 0) != bySize;
    FTree->header()->setSortIndicator(section,
                                      ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
}

void TreePage::SortTree() {
    WaitCursor wait;
    FModel->SortTree();
}

void TreePage::SetDoubleClickCommand(bool enabled) {
    FHasCommand = enabled;
    FTree->setExpandsOnDoubleClick(!enabled);
}

void TreePage::RemoveUnitNodes(const TUnit* unit) {
    FModel->RemoveUnitNodes(unit);
}

TUnit* TreePage::SelectedUnit() const {
    return FModel->NodeUnit(FTree->currentIndex());
}

void TreePage::FitHeaderSection(int index) {
    QHeaderView* header = FTree->header();
    if (index < 0 || index >= header->count())
        return;
    // The header spans the tree's client area, scroll bar included.
    int width = FTree->width() - 2 * FTree->frameWidth() -
                FTree->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, FTree) -
                SectionMargin;
    for (int i = 0; i < header->count(); ++i)
        if (i != index)
            width -= header->sectionSize(i);
    FFitting = true;
    const int least = index == 0 ? FTree->fontMetrics().averageCharWidth() * NameLeastChars : 0;
    if (width < least && header->count() > 1) {
        const int location = header->sectionSize(1);
        const int given = std::min(least - width, std::max(location - least / 2, 0));
        header->resizeSection(1, location - given);
        width += given;
    }
    header->resizeSection(index, std::max(width, least));
    FFitting = false;
}

void TreePage::SectionClicked(int section) {
    SetSortKey(NextSortKey(SortKey(), section));
    SortTree();
}

void TreePage::SectionResized(int section) {
    if (FFitting)
        return;
    // Dragging the name section makes "Location" give way; any other drag, the name.
    FitHeaderSection(section == 0 ? 1 : 0);
    FTree->viewport()->update();
}

void TreePage::Activate(const QModelIndex& index) {
    if (TUnit* unit = FModel->NodeUnit(index.siblingAtColumn(0)))
        emit nodeActivated(unit, FDirection);
}

bool TreePage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == FTree) {
        if (event->type() == QEvent::Resize) {
            FitHeaderSection(0);
        } else if (FHasCommand && IsActivateKey(event)) {
            Activate(FTree->currentIndex());
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TreePage::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    FitHeaderSection(0);
}

} // namespace ut::gui
