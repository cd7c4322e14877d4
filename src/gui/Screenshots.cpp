#include "gui/Screenshots.h"

#include "gui/DllPage.h"
#include "gui/FileNameEdit.h"
#include "gui/GraphPage.h"
#include "gui/LogView.h"
#include "gui/MainWindow.h"
#include "gui/MapPage.h"
#include "gui/MatrixPage.h"
#include "gui/MatrixView.h"
#include "gui/NeighbourList.h"
#include "gui/Pager.h"
#include "gui/QtText.h"
#include "gui/ScanAnalysis.h"
#include "gui/SetupPage.h"
#include "gui/TreeCommands.h"
#include "gui/TreePage.h"
#include "gui/UnitTreeModel.h"
#include "gui/UnitWindow.h"
#include "gui/UnitWindowList.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QListWidget>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QSpinBox>
#include <QTreeView>

#include <cstdio>

namespace ut::gui {

namespace {

// The uses tree two levels deep: the project's units and what each of them uses.
void ExpandUsesTwoLevels(MainWindow& window) {
    QTreeView* tree = window.usesPage->Tree();
    QAbstractItemModel* model = tree->model();
    const QModelIndex root = model->index(0, 0);
    if (!root.isValid())
        return;
    tree->expand(root);
    for (int i = 0; i < model->rowCount(root); ++i)
        tree->expand(model->index(i, 0, root));
    tree->scrollToTop();
}

/// The first unit the project uses, selected in the uses tree, its neighbours listed.
QModelIndex SelectFirstUsedUnit(MainWindow& window) {
    ExpandUsesTwoLevels(window);
    TreePage& page = *window.usesPage;
    const QModelIndex root = page.Model()->index(0, 0);
    for (int i = 0; i < page.Model()->rowCount(root); ++i) {
        const QModelIndex child = page.Model()->index(i, 0, root);
        if (page.Model()->NodeUnit(child) && page.Model()->rowCount(child) > 0) {
            page.Tree()->setCurrentIndex(child);
            window.neighbourList->showNeighbours();
            return child;
        }
    }
    return {};
}

// The detail window of that unit (what uses it), its first level expanded once more.
void OpenDetailWindow(MainWindow& window) {
    window.UnitWindows().CloseAll();
    const QModelIndex node = SelectFirstUsedUnit(window);
    window.UnitWindows().showUnitWindow(window.usesPage->Model()->NodeUnit(node), tdUses);
    if (window.UnitWindows().Windows().isEmpty())
        return;
    UnitWindow* view = window.UnitWindows().Windows().front();
    view->move(window.geometry().topRight() + QPoint(8, 0));
    TreePage& tree = *view->Tree();
    const QModelIndex root = tree.Model()->index(0, 0);
    if (tree.Model()->rowCount(root) > 0)
        tree.Tree()->expand(tree.Model()->index(0, 0, root));
}

QPixmap GrabDetailWindow(MainWindow& window) {
    const QList<UnitWindow*> views = window.UnitWindows().Windows();
    if (views.isEmpty())
        return {};
    // Without a window manager there is no title bar: the caption is drawn above the tree.
    UnitWindow* view = views.front();
    const QPixmap client = view->grab();
    const int band = view->fontMetrics().height() + 6;
    QPixmap picture(client.width(), client.height() + band);
    QPainter painter(&picture);
    painter.fillRect(0, 0, picture.width(), band, view->palette().color(QPalette::Highlight));
    painter.setPen(view->palette().color(QPalette::HighlightedText));
    painter.drawText(QRect(4, 0, picture.width() - 8, band), Qt::AlignVCenter | Qt::AlignLeft,
                     view->windowTitle());
    painter.drawPixmap(0, band, client);
    painter.end();
    window.UnitWindows().CloseAll();
    return picture;
}

// The log at its deepest line: indentation cut short at half the view, the depth in front.
void ShowDeepestLogLine(MainWindow& window) {
    LogView& log = *window.Setup().logView;
    int deepest = 0;
    for (int row = 1; row < log.LineCount(); ++row)
        if (log.LineAt(row).Depth > log.LineAt(deepest).Depth)
            deepest = row;
    if (log.LineCount() > 0)
        log.ScrollToRow(deepest);
}

// The popup menu over the selected node of the uses tree.
void OpenTreePopup(MainWindow& window) {
    const QModelIndex node = SelectFirstUsedUnit(window);
    QTreeView* tree = window.usesPage->Tree();
    window.Commands().PopupAt(*window.usesPage, tree->visualRect(node).center());
}

// The rules file beside the project (the demo's), when none is chosen.
void ChooseProjectRules(MainWindow& window) {
    QLineEdit* edit = window.Setup().rulesFileEdit;
    const QString beside = ToQt(window.Scan().FProjectDir) + QStringLiteral("rules.toml");
    if (edit->text().isEmpty() && QFileInfo::exists(beside))
        edit->setText(beside);
}

QPixmap GrabWindowWithPopup(MainWindow& window) {
    QMenu* menu = window.Commands().treeMenu;
    QPixmap picture = window.grab();
    if (menu->isVisible()) {
        QPainter painter(&picture);
        painter.drawPixmap(menu->pos() - window.mapToGlobal(QPoint(0, 0)), menu->grab());
    }
    menu->hide();
    return picture;
}

// The matrix grouped by folder, every group open, a cell of the first cycle's block chosen.
void GroupMatrixByFolder(MainWindow& window) {
    // The matrix and the graph, the last pictures, want room.
    window.resize(960, 640);
    QCoreApplication::processEvents();
    MatrixPage& page = *window.matrixPage;
    page.GroupCombo()->setCurrentIndex(page.GroupCombo()->findData(int(ut::GroupBy::Folder)));
    page.Build();
    if (ut::DependencyMatrix* matrix = page.Matrix()) {
        if (matrix->Graph().Count() <= 200)
            matrix->SetAllExpanded(true);
        page.View()->MatrixChanged();
        for (const ut::MatrixBlock& b : matrix->Blocks())
            for (int r = b.First; r <= b.Last; ++r)
                for (int c = b.First; c <= b.Last; ++c)
                    if (r != c && matrix->Cell(r, c).Total() > 0 &&
                        page.EntryList()->count() == 0) {
                        page.View()->CellCentre(r, c); // scrolled into view
                        emit page.View()->cellClicked(r, c);
                    }
    }
}

// The neighbourhood of the first unit on a cycle (else the project), two steps out.
void ShowNeighbourhood(MainWindow& window) {
    if (const ut::DependencyAnalysis* analysis = window.Analysis().Get()) {
        const auto& cycles = analysis->Cycles().Cycles;
        if (!cycles.empty())
            window.graphPage->SetCentre(
                gui::ToQt(analysis->Graph().Node(cycles.front().Units.front()).Key));
    }
    window.graphPage->StepsBox()->setValue(2);
    window.graphPage->ShowResult();
}

} // namespace

std::vector<ScreenshotPage> DefaultScreenshotPages() {
    return {
        {pgSetup, QStringLiteral("setup.png"), {}, {}},
        {pgSetup, QStringLiteral("deeplog.png"), ShowDeepestLogLine, {}},
        {pgUses, QStringLiteral("uses.png"), ExpandUsesTwoLevels, {}},
        {pgUses, QStringLiteral("unitwindow.png"), OpenDetailWindow, GrabDetailWindow},
        {pgUses, QStringLiteral("treemenu.png"), OpenTreePopup, GrabWindowWithPopup},
        {pgUsedBy, QStringLiteral("usedby.png"), {}, {}},
        {pgCycles, QStringLiteral("cycles.png"), {}, {}},
        {pgRules, QStringLiteral("rules.png"), ChooseProjectRules, {}},
        {pgMap,
         QStringLiteral("mapfile.png"),
         [](MainWindow& w) { w.mapPage->PrepareForScreenshot(); },
         {}},
        {pgDll,
         QStringLiteral("dllusage.png"),
         [](MainWindow& w) { w.dllPage->PrepareForScreenshot(); },
         {}},
        {pgMatrix, QStringLiteral("matrix.png"), GroupMatrixByFolder, {}},
        {pgGraph, QStringLiteral("graph.png"), ShowNeighbourhood, {}},
    };
}

int SaveScreenshots(MainWindow& window, const QString& dir,
                    const std::vector<ScreenshotPage>& pages) {
    int failures = 0;
    if (!QDir().mkpath(dir)) {
        std::fprintf(stderr, "cannot make %s\n", qPrintable(dir));
        return static_cast<int>(pages.size());
    }
    for (const ScreenshotPage& page : pages) {
        // The program itself turns the page, so the page-change rules for the user do not
        // apply.
        window.PagerControl().setCurrentIndex(page.Page);
        QCoreApplication::processEvents();
        if (page.Prepare)
            page.Prepare(window);
        QCoreApplication::processEvents();
        const QString file = QDir(dir).filePath(page.FileName);
        const QPixmap picture = page.Grab ? page.Grab(window) : window.grab();
        if (!picture.save(file, "PNG")) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
            ++failures;
        }
    }
    window.PagerControl().setCurrentIndex(pgSetup);
    return failures;
}

} // namespace ut::gui
