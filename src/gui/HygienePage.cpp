#include "gui/HygienePage.h"

#include "gui/ActivateKey.h"
#include "gui/Prompts.h"
#include "gui/QtText.h"
#include "gui/ScanAnalysis.h"
#include "gui/ScanHygiene.h"
#include "gui/WaitCursor.h"
#include "platform/FileSystem.h"
#include "report/HygieneRows.h"
#include "report/UsesPatch.h"
#include "support/Exceptions.h"
#include "trees/TreeRules.h"

#include <QCheckBox>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QSaveFile>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace ut::gui {

namespace {

constexpr int LineRole = Qt::UserRole + 1;
constexpr int OrderRole = Qt::UserRole + 3;

// Sorts "Location" by file, then by line as a number.
class RowItem : public QTreeWidgetItem {
  public:
    using QTreeWidgetItem::QTreeWidgetItem;
    bool operator<(const QTreeWidgetItem& other) const override {
        const int column = treeWidget() ? treeWidget()->sortColumn() : 0;
        // Rows alike in the column keep the order of the units' entries.
        if (column != HygienePage::SiteCol && text(column) == other.text(column))
            return data(0, OrderRole).toInt() < other.data(0, OrderRole).toInt();
        if (column != HygienePage::SiteCol)
            return QTreeWidgetItem::operator<(other);
        const int files = QString::compare(data(column, LineRole + 1).toString(),
                                           other.data(column, LineRole + 1).toString());
        return files != 0 ? files < 0
                          : data(column, LineRole).toInt() < other.data(column, LineRole).toInt();
    }
};

} // namespace

HygienePage::HygienePage(const ProjectScan& scan, ScanHygiene& hygiene, ScanAnalysis& analysis,
                         Prompts& prompts, QWidget* parent)
    : QWidget(parent), FScan(scan), FHygiene(hygiene), FPrompts(prompts),
      FSummary(new QLabel(this)), FShowKept(new QCheckBox(tr("Show &kept entries"), this)),
      FSavePatch(new QPushButton(tr("Save &patch..."), this)), FList(new QTreeWidget(this)) {
    FSummary->setObjectName(QStringLiteral("hygieneSummary"));
    FShowKept->setObjectName(QStringLiteral("showKeptCheck"));
    FShowKept->setChecked(true);
    FSavePatch->setObjectName(QStringLiteral("savePatchButton"));
    FSavePatch->setEnabled(false);
    FList->setObjectName(QStringLiteral("hygieneList"));
    FList->setHeaderLabels({tr("Unit"), tr("Entry"), tr("Section"), tr("Verdict"), tr("Reasons"),
                            tr("Evidence"), tr("Location")});
    FList->setRootIsDecorated(false);
    FList->setUniformRowHeights(true);
    FList->setSelectionMode(QAbstractItemView::SingleSelection);
    FList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // The rows stay in the order of the units and their entries until a header is clicked.
    FList->header()->setSortIndicator(-1, Qt::AscendingOrder);
    FList->setSortingEnabled(true);
    FList->header()->setSortIndicatorShown(true);
    FList->installEventFilter(this);
    connect(FList, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* item) { Activate(item); });
    connect(FShowKept, &QCheckBox::toggled, this, [this] { ApplyShowKept(); });
    connect(FSavePatch, &QPushButton::clicked, this, [this] { savePatch(); });
    // Pruning takes units out of the result, and new verdicts replace the old: list again.
    auto relist = [this] {
        if (!FBuilt)
            return;
        Clear();
        if (isVisible())
            Build();
    };
    connect(&analysis, &ScanAnalysis::changed, this, relist);
    connect(&FHygiene, &ScanHygiene::changed, this, relist);

    auto* bar = new QHBoxLayout;
    bar->addWidget(FSummary, 1);
    bar->addWidget(FShowKept);
    bar->addWidget(FSavePatch);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 4, 0, 0);
    layout->addLayout(bar);
    layout->addWidget(FList, 1);
}

bool HygienePage::Build() {
    if (FBuilt)
        return false;
    if (!FHygiene.Judge()) {
        FSummary->setText(FHygiene.Missing());
        return false;
    }
    if (FBuilt) // the verdicts' arrival listed them already
        return false;
    WaitCursor wait;
    const THygiene& hygiene = *FHygiene.Get();
    FSummary->setText(ToQt(report::HygieneSummary(FScan, hygiene)));
    QList<QTreeWidgetItem*> items;
    for (const report::THygieneRow& row : report::HygieneRows(FScan, hygiene)) {
        auto* item =
            new RowItem(QStringList{ToQt(row.Unit), ToQt(row.Entry), ToQt(row.Section),
                                    ToQt(row.Verdict), ToQt(row.Reasons), ToQt(row.Evidence),
                                    QDir::toNativeSeparators(ToQt(row.File)) + QLatin1Char(':') +
                                        QString::number(row.Line)});
        item->setData(SiteCol, LineRole, row.Line);
        item->setData(UnitCol, OrderRole, int(items.size()));
        item->setData(SiteCol, LineRole + 1, ToQt(row.File));
        item->setToolTip(EvidenceCol, item->text(EvidenceCol));
        items << item;
    }
    FList->addTopLevelItems(items);
    // Long evidence is cut short; its tooltip holds all of it.
    for (int c = UnitCol; c <= EvidenceCol; ++c) {
        FList->resizeColumnToContents(c);
        FList->header()->resizeSection(
            c, std::min(FList->header()->sectionSize(c), c == EvidenceCol ? 360 : 200));
    }
    FBuilt = true;
    FSavePatch->setEnabled(true);
    ApplyShowKept();
    return true;
}

void HygienePage::Clear() {
    FList->clear();
    FSummary->clear();
    FSavePatch->setEnabled(false);
    FBuilt = false;
}

void HygienePage::ApplyShowKept() {
    const bool show = FShowKept->isChecked();
    for (int i = 0; i < FList->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = FList->topLevelItem(i);
        item->setHidden(!show && item->text(VerdictCol) == QLatin1String("keep"));
    }
}

void HygienePage::savePatch() {
    const THygiene* hygiene = FHygiene.Get();
    if (!hygiene || !FScan.FProject)
        return;
    std::string patch;
    try {
        WaitCursor wait;
        patch = report::UsesPatch(FScan, *hygiene);
    } catch (const EWarning& e) {
        FPrompts.ErrorMessage(ToQt(e.what()));
        return;
    }
    if (patch.empty()) {
        FPrompts.Warning(tr("No uses entry can go or move: there is no patch to save."));
        return;
    }
    const QString suggested = ToQt(fs::ChangeFileExt(FScan.FProject->FileName, ".patch"));
    const QString file = FPrompts.SaveFileName(
        tr("Save patch"), suggested,
        NameFiltersFromPairs(QStringLiteral("Patches (*.patch,*.diff)|*.patch;*.diff|"
                                            "All files (*.*)|*.*")));
    if (file.isEmpty())
        return;
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly) ||
        out.write(patch.data(), qint64(patch.size())) != qint64(patch.size()) || !out.commit())
        FPrompts.ErrorMessage(
            tr("Cannot write \"%1\": %2").arg(QDir::toNativeSeparators(file), out.errorString()));
}

TUnit* HygienePage::UnitOf(const QTreeWidgetItem* item) const {
    return item ? FScan.FindUnit(FromQt(item->text(UnitCol))) : nullptr;
}

void HygienePage::Activate(QTreeWidgetItem* item) {
    if (TUnit* unit = UnitOf(item))
        emit unitActivated(unit, tdUsedBy);
}

bool HygienePage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == FList && IsActivateKey(event)) {
        Activate(FList->currentItem());
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace ut::gui
