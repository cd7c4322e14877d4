#include "gui/RulesPage.h"

#include "gui/ActivateKey.h"
#include "gui/QtText.h"
#include "gui/ScanRules.h"
#include "gui/UnitTreeModel.h"
#include "gui/WaitCursor.h"
#include "report/RulesReport.h"
#include "scan/ProjectScan.h"
#include "trees/TreeRules.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace ut::gui {

namespace {

constexpr int LineRole = Qt::UserRole + 1;

// Rows sort by the text of a column, except that locations of one file go by line number.
class ViolationRow : public QTreeWidgetItem {
  public:
    using QTreeWidgetItem::QTreeWidgetItem;
    bool operator<(const QTreeWidgetItem& other) const override {
        const int column = treeWidget() ? treeWidget()->sortColumn() : 0;
        if (column == RulesPage::LocationCol) {
            const QString file = data(column, Qt::UserRole).toString();
            const QString otherFile = other.data(column, Qt::UserRole).toString();
            if (file != otherFile)
                return file.compare(otherFile, Qt::CaseInsensitive) < 0;
            return data(column, LineRole).toInt() < other.data(column, LineRole).toInt();
        }
        return text(column).compare(other.text(column), Qt::CaseInsensitive) < 0;
    }
};

} // namespace

RulesPage::RulesPage(const ProjectScan& scan, ScanRules& rules, QWidget* parent)
    : QWidget(parent), FScan(scan), FRules(rules), FSummary(new QLabel(this)),
      FList(new QTreeWidget(this)) {
    FSummary->setObjectName(QStringLiteral("rulesSummary"));
    FSummary->setWordWrap(true);
    FSummary->setTextInteractionFlags(Qt::TextSelectableByMouse);
    FList->setObjectName(QStringLiteral("violationList"));
    FList->setHeaderLabels(
        {tr("Rule"), tr("Severity"), tr("From"), tr("To"), tr("Location"), tr("Baseline")});
    FList->setRootIsDecorated(false);
    FList->setUniformRowHeights(true);
    FList->setSelectionMode(QAbstractItemView::SingleSelection);
    FList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // The rules file's order until a header is clicked.
    FList->header()->setSectionsClickable(true);
    FList->header()->setSortIndicatorShown(true);
    FList->header()->setSortIndicator(-1, Qt::AscendingOrder);
    connect(FList->header(), &QHeaderView::sortIndicatorChanged, FList,
            [this](int column, Qt::SortOrder order) { FList->sortItems(column, order); });
    FList->installEventFilter(this);
    connect(FList, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* item) { Activate(item); });
    // Another verdict (other files, a pruned scan): list again.
    connect(&FRules, &ScanRules::changed, this, [this] {
        if (!FBuilt)
            return;
        FList->clear();
        FBuilt = false;
        if (isVisible())
            Build();
    });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(FSummary);
    layout->addWidget(FList, 1);
}

bool RulesPage::Build() {
    if (FBuilt || !FScan.FProject || FScan.Busy())
        return false;
    WaitCursor wait;
    FBuilt = true;
    const rules::RulesOutcome* outcome = FRules.Get();
    QPalette palette = FSummary->palette();
    palette.setColor(QPalette::WindowText, outcome || FRules.Error().isEmpty()
                                               ? FList->palette().color(QPalette::Text)
                                               : UnitTreeModel::ViolationColor());
    FSummary->setPalette(palette);
    if (!outcome) {
        FSummary->setText(FRules.Error().isEmpty() ? tr("No rules file is chosen on the Setup page")
                                                   : FRules.Error());
        return true;
    }
    QStringList lines{
        tr("Rules of %1: %2").arg(FRules.RulesFile(), ToQt(report::RulesSummary(*outcome)))};
    for (const std::string& entry : outcome->Fixed)
        lines << tr("Fixed, still in the baseline: %1").arg(ToQt(entry));
    for (const std::string& warning : report::RulesWarnings(*outcome))
        lines << ToQt(warning);
    FSummary->setText(lines.join(QLatin1Char('\n')));

    QList<QTreeWidgetItem*> rows;
    for (const rules::Violation& v : outcome->Violations) {
        auto* row = new ViolationRow;
        row->setText(RuleCol, ToQt(v.Rule));
        row->setText(SeverityCol, QLatin1String(rules::SeverityName(v.Level)));
        row->setText(FromCol, ToQt(v.From));
        row->setText(ToCol, ToQt(report::ViolationTarget(v)));
        row->setText(LocationCol, ToQt(report::ViolationSite(v, FScan.FProjectDir)));
        row->setToolTip(LocationCol, ToQt(report::ViolationSite(v)));
        row->setData(LocationCol, Qt::UserRole, ToQt(v.File));
        row->setData(LocationCol, LineRole, v.Line);
        if (outcome->HasBaseline)
            row->setText(BaselineCol, v.Known ? tr("known") : tr("new"));
        if (v.Path.size() > 1)
            row->setToolTip(ToCol, ToQt(report::ViolationText(v)).trimmed());
        if (v.Level == rules::Severity::Error && !v.Known)
            row->setForeground(RuleCol, UnitTreeModel::ViolationColor());
        rows << row;
    }
    FList->addTopLevelItems(rows);
    return true;
}

void RulesPage::Clear() {
    FList->clear();
    FSummary->clear();
    FBuilt = false;
    FRules.Invalidate();
}

TUnit* RulesPage::UnitOf(const QTreeWidgetItem* item) const {
    return item ? FScan.FindUnit(FromQt(item->text(FromCol))) : nullptr;
}

void RulesPage::Activate(QTreeWidgetItem* item) {
    if (TUnit* unit = UnitOf(item))
        emit unitActivated(unit, tdUsedBy);
}

bool RulesPage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == FList && IsActivateKey(event)) {
        Activate(FList->currentItem());
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace ut::gui
