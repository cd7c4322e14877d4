#include "gui/Screenshots.h"

#include "gui/DllPage.h"
#include "gui/MainWindow.h"
#include "gui/MapPage.h"
#include "gui/Pager.h"
#include "gui/TreePage.h"

#include <QCoreApplication>
#include <QDir>
#include <QPixmap>
#include <QTreeView>

#include <cstdio>

namespace ut::gui {

namespace {

// The uses tree two levels deep: the project's units and what each of them uses.
void ExpandUsesTwoLevels(MainWindow& window) {
    QTreeView* tree = window.UsesPage->Tree();
    QAbstractItemModel* model = tree->model();
    const QModelIndex root = model->index(0, 0);
    if (!root.isValid())
        return;
    tree->expand(root);
    for (int i = 0; i < model->rowCount(root); ++i)
        tree->expand(model->index(i, 0, root));
    tree->scrollToTop();
}

} // namespace

std::vector<ScreenshotPage> DefaultScreenshotPages() {
    return {
        {pgSetup, QStringLiteral("setup.png"), {}},
        {pgUses, QStringLiteral("uses.png"), ExpandUsesTwoLevels},
        {pgUsedBy, QStringLiteral("usedby.png"), {}},
        {pgMap, QStringLiteral("mapfile.png"),
         [](MainWindow& w) { w.MapPage->PrepareForScreenshot(); }},
        {pgDll, QStringLiteral("dllusage.png"),
         [](MainWindow& w) { w.DllPage->PrepareForScreenshot(); }},
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
        if (!window.grab().save(file, "PNG")) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
            ++failures;
        }
    }
    window.PagerControl().setCurrentIndex(pgSetup);
    return failures;
}

} // namespace ut::gui
