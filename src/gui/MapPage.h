#pragma once
// The "Map file" page: the linker's map file as read-only text (mapView), loaded once after
// each change of the project, and searched through the find dialog and F3.
#include "gui/ResultPage.h"
#include "mapfile/MapSearch.h"

#include <QString>
#include <QWidget>

#include <functional>
#include <memory>
#include <string>

class QAction;
class QMenu;
class QPlainTextEdit;

namespace ut::gui {

class FindDialog;
class Prompts;

class MapPage : public QWidget, public ResultPage {
    Q_OBJECT
  public:
    /// Questions and warnings of the search go to `prompts` (it must outlive the page);
    /// nullptr for the real message boxes.
    explicit MapPage(QWidget* parent = nullptr, Prompts* prompts = nullptr);
    ~MapPage() override;

    /// The map file to show; the view loads it on its next activation.
    void SetMapFileName(const QString& fileName);
    QString MapFileName() const { return FMapFileName; }
    /// The project changed: the next activation loads the map file again.
    void MapViewOutdated();
    /// The page became the active page: loads the map file unless it is loaded already.
    /// A missing file leaves the view empty; a file that cannot be read throws (EFOpenError,
    /// EInOutError) and leaves it empty too.
    void Activate();
    bool Loaded() const { return FLoaded; }
    /// The map file of the last scan, which ShowResult shows; unset, it shows the one set.
    std::function<QString()> MapFileOfScan;
    void ShowResult() override;
    void ClearResult() override {}

    /// "&Find": shows the find dialog.
    void showFindDialog();
    /// "Find next...": repeats the last search from the selection; without one, shows the
    /// find dialog.
    void findNext();

    /// The last confirmed search; empty until the first.
    const QString& FindText() const { return FFindText; }
    const ut::TFindOptions& FindOptions() const { return FFindOptions; }

    /// Loads the map and selects the first occurrence of `findText` after the start, without
    /// any box; for pictures of the page. False when the text does not occur.
    bool PrepareForScreenshot(const QString& findText = QStringLiteral("SysUtils"));

    QPlainTextEdit* mapView;
    /// The popup menu of the view: findAction and findNextAction.
    QMenu* mapMenu;
    QAction* findAction;
    QAction* findNextAction;
    FindDialog* findDialog;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void findFromDialog();
    const std::string& SearchText();
    void SelectHit(int start, int length);

    std::unique_ptr<Prompts> FOwnPrompts;
    Prompts* FPrompts;

    QString FMapFileName;
    bool FLoaded = false;
    QString FFindText;
    ut::TFindOptions FFindOptions;
    // The view's text with one byte per position of the view (line breaks as single '\n'),
    // as the search works on it; rebuilt after the text changes.
    std::string FSearchText;
    bool FSearchTextValid = false;
};

} // namespace ut::gui
