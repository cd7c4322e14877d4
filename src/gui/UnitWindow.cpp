#include "gui/UnitWindow.h"

#include "gui/TreePage.h"
#include "gui/UnitTreeModel.h"

#include <QCloseEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QTreeView>
#include <QVBoxLayout>

namespace ut::gui {

UnitWindow::UnitWindow(ProjectScan& scan, const TreeFilters& filters, int direction, QWidget* owner)
    : QWidget(owner, Qt::Tool), FTree(new TreePage(scan, filters, direction, this)) {
    setObjectName(QStringLiteral("unitWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(tr("Unit:"));
    resize(225, 333);

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

    auto* splitter = new QSplitter(Qt::Vertical, this);
    splitter->addWidget(FTree);
    splitter->addWidget(whyView);
    splitter->setStretchFactor(0, 2);
    splitter->setStretchFactor(1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(splitter);
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
