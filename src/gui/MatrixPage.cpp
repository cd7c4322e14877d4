#include "gui/MatrixPage.h"

#include "gui/MatrixView.h"
#include "gui/QtText.h"
#include "gui/ScanAnalysis.h"
#include "gui/WaitCursor.h"
#include "platform/FileSystem.h"
#include "scan/PackageContents.h"
#include "trees/TreeRules.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSplitter>
#include <QVBoxLayout>

namespace ut::gui {

MatrixPage::MatrixPage(const ProjectScan& scan, ScanAnalysis& analysis, QWidget* parent)
    : QWidget(parent), FScan(scan), FAnalysis(analysis), FGroupBy(new QComboBox(this)),
      FView(new MatrixView(this)), FCaption(new QLabel(this)), FEntries(new QListWidget(this)) {
    FGroupBy->setObjectName(QStringLiteral("groupByCombo"));
    FGroupBy->addItem(tr("Units"), int(GroupBy::None));
    FGroupBy->addItem(tr("Folder"), int(GroupBy::Folder));
    FGroupBy->addItem(tr("Unit scope"), int(GroupBy::Scope));
    FGroupBy->addItem(tr("Package"), int(GroupBy::Package));
    auto* expandAll = new QPushButton(tr("Open all"), this);
    expandAll->setObjectName(QStringLiteral("openAllButton"));
    auto* collapseAll = new QPushButton(tr("Close all"), this);
    collapseAll->setObjectName(QStringLiteral("closeAllButton"));
    FEntries->setObjectName(QStringLiteral("cellEntries"));
    FEntries->setUniformItemSizes(true);
    FCaption->setObjectName(QStringLiteral("cellCaption"));
    FView->LineName = [this](int line) { return LineName(line); };
    FView->GroupLabel = [this](int line) {
        const MatrixLine& l = FMatrix->Line(line);
        return l.Node >= 0 && l.Group >= 0 && FMatrix->FirstLineOfGroup(l.Group) == line
                   ? ToQt(FMatrix->Grouping().Names[l.Group])
                   : QString();
    };

    auto* bar = new QHBoxLayout;
    auto* label = new QLabel(tr("&Group by:"), this);
    label->setBuddy(FGroupBy);
    bar->addWidget(label);
    bar->addWidget(FGroupBy);
    bar->addWidget(expandAll);
    bar->addWidget(collapseAll);
    bar->addStretch(1);
    auto* below = new QWidget(this);
    auto* belowLayout = new QVBoxLayout(below);
    belowLayout->setContentsMargins(0, 0, 0, 0);
    belowLayout->addWidget(FCaption);
    belowLayout->addWidget(FEntries);
    auto* split = new QSplitter(Qt::Vertical, this);
    split->addWidget(FView);
    split->addWidget(below);
    split->setStretchFactor(0, 4);
    split->setStretchFactor(1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(bar);
    layout->addWidget(split, 1);

    connect(FGroupBy, &QComboBox::currentIndexChanged, this, [this] { Regroup(); });
    connect(expandAll, &QPushButton::clicked, this, [this] {
        if (FMatrix) {
            WaitCursor wait;
            FMatrix->SetAllExpanded(true);
            FView->MatrixChanged();
        }
    });
    connect(collapseAll, &QPushButton::clicked, this, [this] {
        if (FMatrix) {
            FMatrix->SetAllExpanded(false);
            FView->MatrixChanged();
        }
    });
    connect(FView, &MatrixView::cellClicked, this, &MatrixPage::ShowEntries);
    connect(FView, &MatrixView::expanderClicked, this, &MatrixPage::ToggleGroup);
    connect(FView, &MatrixView::headerClicked, this, [this](int line) {
        if (FMatrix && FMatrix->Line(line).Node >= 0)
            emit unitSelected(ToQt(FMatrix->Graph().Node(FMatrix->Line(line).Node).Key));
    });
    connect(FView, &MatrixView::headerDoubleClicked, this, [this](int line) {
        if (!FMatrix)
            return;
        if (FMatrix->Line(line).Node < 0)
            ToggleGroup(line);
        else if (TUnit* unit = FScan.FindUnit(FMatrix->Graph().Node(FMatrix->Line(line).Node).Key))
            emit unitActivated(unit, tdUsedBy);
    });
    // The matrix points into the analysis: it goes before the analysis does.
    connect(&FAnalysis, &ScanAnalysis::dropping, this, [this] {
        const bool built = FMatrix != nullptr;
        ClearResult();
        if (built)
            connect(
                &FAnalysis, &ScanAnalysis::changed, this,
                [this] {
                    if (isVisible())
                        Build();
                },
                Qt::SingleShotConnection);
    });
}

MatrixPage::~MatrixPage() = default;

bool MatrixPage::Build() {
    if (FMatrix)
        return false;
    const DependencyAnalysis* analysis = FAnalysis.Get();
    if (!analysis)
        return false;
    WaitCursor wait;
    const auto by = static_cast<GroupBy>(FGroupBy->currentData().toInt());
    if (by == GroupBy::Package && !FPackages)
        FPackages = FindPackages(FScan);
    FMatrix = std::make_unique<DependencyMatrix>(
        analysis->Graph(), analysis->Levels(),
        GroupUnits(analysis->Graph(), by, FPackages.value_or(std::vector<PackageContents>{})));
    FView->SetMatrix(FMatrix.get());
    return true;
}

void MatrixPage::ClearResult() {
    FView->SetMatrix(nullptr);
    FMatrix.reset();
    FPackages.reset();
    FEntries->clear();
    FCaption->clear();
}

void MatrixPage::Regroup() {
    if (!FMatrix)
        return;
    FView->SetMatrix(nullptr);
    FMatrix.reset();
    FEntries->clear();
    FCaption->clear();
    Build();
}

void MatrixPage::ToggleGroup(int line) {
    if (!FMatrix)
        return;
    const int group = FMatrix->Line(line).Group;
    if (group < 0)
        return;
    WaitCursor wait;
    FMatrix->SetExpanded(group, !FMatrix->Expanded(group));
    FView->MatrixChanged();
}

QString MatrixPage::LineName(int line) const {
    if (!FMatrix)
        return {};
    const MatrixLine& l = FMatrix->Line(line);
    if (l.Node >= 0)
        return ToQt(FMatrix->Graph().Node(l.Node).Key);
    const size_t members = FMatrix->Members(l.Group).size();
    const QString count = members == 1 ? tr("1 unit") : tr("%1 units").arg(members);
    return tr("%1 (%2)").arg(ToQt(FMatrix->Grouping().Names[l.Group]), count);
}

void MatrixPage::ShowEntries(int row, int column) {
    FEntries->clear();
    if (!FMatrix)
        return;
    const std::vector<MatrixEntry> entries = FMatrix->Entries(row, column);
    const QString count =
        entries.size() == 1 ? tr("1 uses entry") : tr("%1 uses entries").arg(entries.size());
    FCaption->setText(tr("%1 uses %2: %3").arg(LineName(row), LineName(column), count));
    const UnitGraph& graph = FMatrix->Graph();
    QStringList items;
    for (const MatrixEntry& e : entries) {
        const GraphNode& from = graph.Node(e.From);
        const GraphNode& to = graph.Node(e.Edge->To);
        QString item = ToQt(from.Key) + QStringLiteral(" -> ") + ToQt(to.Key) +
                       (e.Edge->Interface ? tr("  interface, ") : tr("  implementation, ")) +
                       ToQt(fs::ExtractFileName(graph.SiteFile(e.From, *e.Edge))) +
                       QLatin1Char(':') + QString::number(e.Edge->Line);
        if (Identifiers && from.Unit && to.Unit) {
            QStringList names;
            for (const std::string& name : Identifiers(from.Unit, to.Unit))
                names << ToQt(name);
            if (!names.isEmpty())
                item += QStringLiteral("  (") + names.join(QStringLiteral(", ")) + QLatin1Char(')');
        }
        items << item;
    }
    FEntries->addItems(items);
}

} // namespace ut::gui
