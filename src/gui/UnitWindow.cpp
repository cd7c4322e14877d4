#include "gui/UnitWindow.h"

#include "gui/TreePage.h"
#include "gui/UnitTreeModel.h"
#include "gui/WindowFit.h"

#include <QCloseEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QStyle>
#include <QTextDocument>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>

namespace ut::gui {

namespace {

// The smallest size a window opens at, and the most nodes its height is fitted to.
constexpr int MinWidth = 225;
constexpr int MinHeight = 333;
constexpr int MaxFittedRows = 40;

} // namespace

UnitWindow::UnitWindow(ProjectScan& scan, const TreeFilters& filters, int direction, QWidget* owner)
    : QWidget(owner, Qt::Tool), FTree(new TreePage(scan, filters, direction, this)) {
    setObjectName(QStringLiteral("unitWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(tr("Unit:"));
    resize(MinWidth, MinHeight);

    FTree->setObjectName(QStringLiteral("unitWindowPage"));
    QTreeView* tree = FTree->Tree();
    tree->setObjectName(QStringLiteral("unitTree"));
    // One column, no header, no lines or buttons at the root level.
    tree->setHeaderHidden(true);
    for (int column = 1; column < UnitTreeModel::ColumnCount; ++column)
        tree->setColumnHidden(column, true);
    tree->setRootIsDecorated(false);
    // The window sees its keys before the tree does.
    tree->installEventFilter(this);

    whyView = new QPlainTextEdit(this);
    whyView->setObjectName(QStringLiteral("whyView"));
    whyView->setReadOnly(true);
    whyView->setLineWrapMode(QPlainTextEdit::NoWrap);
    whyView->installEventFilter(this);

    FSplitter = new QSplitter(Qt::Vertical, this);
    FSplitter->addWidget(FTree);
    FSplitter->addWidget(whyView);
    FSplitter->setStretchFactor(0, 2);
    FSplitter->setStretchFactor(1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(FSplitter);
}

UnitWindow::~UnitWindow() {
    // The nodes refer to units: they go first, before anything else can look at them.
    ReleaseUnit();
}

int UnitWindow::Direction() const {
    return FTree->Direction();
}

void UnitWindow::SetUnit(TUnit& unit) {
    FUnit = &unit;
    FTree->BuildUnit(unit);
}

void UnitWindow::ReleaseUnit() {
    FUnit = nullptr;
    FTree->Clear();
    whyView->clear();
}

QSize UnitWindow::WhySize() const {
    // Every line of the why-path, none scrolled sideways.
    const QStringList lines = whyView->toPlainText().split(u'\n');
    int widest = 0;
    for (const QString& line : lines)
        widest = std::max(widest, whyView->fontMetrics().horizontalAdvance(line));
    const int margins =
        2 * (static_cast<int>(whyView->document()->documentMargin()) + whyView->frameWidth());
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    return {widest + margins + bar,
            static_cast<int>(lines.size()) * whyView->fontMetrics().lineSpacing() + margins + bar};
}

QSize UnitWindow::FittingSize() const {
    const QAbstractItemView* tree = FTree->Tree();
    const int frames = 2 * FTree->Tree()->frameWidth();
    // The nodes shown (the unit and its first level), up to a screenful.
    int rows = 0;
    for (QModelIndex node = tree->model()->index(0, 0); node.isValid() && rows < MaxFittedRows;
         node = FTree->Tree()->indexBelow(node))
        ++rows;
    const QSize treeSize(tree->sizeHintForColumn(0) + frames +
                             style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this),
                         rows * std::max(1, tree->sizeHintForRow(0)) + frames);
    const QSize why = WhySize();
    const QSize content(std::max({TitleWidth(*this), treeSize.width(), why.width()}),
                        treeSize.height() + FSplitter->handleWidth() + why.height());
    return WithinScreen(*this, content.expandedTo(QSize(MinWidth, MinHeight)));
}

void UnitWindow::OpenAt(QSize remembered) {
    if (remembered.isValid()) {
        resize(WithinScreen(*this, remembered));
    } else {
        const QSize fitting = FittingSize();
        resize(fitting);
        // The why-path gets the lines it needs, the tree the rest.
        const int why = std::min(fitting.height() / 2, WhySize().height());
        FSplitter->setSizes({fitting.height() - why, why});
    }
    FOpenedSize = size();
}

QSize UnitWindow::UserSize() const {
    return size() == FOpenedSize ? QSize() : size();
}

void UnitWindow::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    if (event->isAccepted())
        emit closed(this);
}

bool UnitWindow::eventFilter(QObject* watched, QEvent* event) {
    if ((watched == FTree->Tree() || watched == whyView) && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        close();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void UnitWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace ut::gui
