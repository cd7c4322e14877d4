#pragma once
// Pictures of the main window's pages, for the documentation and for looking at the layout
// on a machine without a display (offscreen platform).
#include <QPixmap>
#include <QString>

#include <functional>
#include <vector>

namespace ut::gui {

class MainWindow;

struct ScreenshotPage {
    int Page;         ///< index in the pager
    QString FileName; ///< the PNG's name in the target directory
    /// Puts the page into the state worth showing (expanded nodes, a selection...); runs
    /// after the page is made current.
    std::function<void(MainWindow&)> Prepare;
    /// The picture to save; empty: the main window as it is.
    std::function<QPixmap(MainWindow&)> Grab;
};

/// Every page of the window, in pager order, with its picture's name and preparation.
std::vector<ScreenshotPage> DefaultScreenshotPages();

/// Shows each page in turn, prepares it and saves the window's picture into `dir` (made
/// when missing). Returns the number of pictures that could not be written.
int SaveScreenshots(MainWindow& window, const QString& dir,
                    const std::vector<ScreenshotPage>& pages);

} // namespace ut::gui
