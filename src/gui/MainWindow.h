#pragma once
// The main window: the page control with "Setup", "Uses", "Used by", "Cycles", "Rules",
// "Map file" and "DLL usage", the "File" menu, the scan it runs, its window-wide keys, and its
// saved settings.
#include "gui/Application.h"
#include "gui/StoredSettings.h"
#include "scan/ProjectScan.h"
#include "trees/TreeRules.h"

#include <QPointer>
#include <QStringList>
#include <QWidget>

#include <memory>

class QAction;
class QSettings;
class QStatusBar;

namespace ut {
class RegistryStore;
}

namespace ut::gui {

class CyclesPage;
class RulesPage;
class ScanRules;
class GraphPage;
class MatrixPage;
class GuiFrontEnd;
class NeighbourList;
class ResultExport;
class ScanAnalysis;
class Pager;
class Prompts;
class SetupBinding;
class SetupPage;
class UnitWindowList;
class TreeCommands;
class TreePage;
class MapPage;
class DllPage;

/// Pages of the pager, counted from 0.
enum PageIndex : int {
    pgSetup = 0,
    pgUses = 1,
    pgUsedBy = 2,
    pgCycles = 3,
    pgRules = 4,
    pgMap = 5,
    pgDll = 6,
    pgMatrix = 7,
    pgGraph = 8
};

class MainWindow : public QWidget {
    Q_OBJECT
  public:
    struct Options {
        /// The program's arguments without the program name; the first names the project.
        QStringList Arguments;
        /// Answers questions; nullptr for the real message boxes.
        Prompts* prompts = nullptr;
        /// The installed compilers' settings; nullptr when there is none.
        const ut::RegistryStore* Registry = nullptr;
    };

    /// `settings` is where the window keeps its settings; it must outlive the window.
    MainWindow(QSettings& settings, Options options, QWidget* parent = nullptr);
    ~MainWindow() override;

    ut::ProjectScan& Scan() { return *FScan; }
    SetupPage& Setup() { return *FSetup; }
    ut::gui::Pager& PagerControl() { return *FPager; }
    GuiFrontEnd& FrontEnd() { return *FFrontEnd; }
    /// The open detail windows.
    UnitWindowList& UnitWindows() { return *FUnitWindows; }
    /// The popup menu and the pruning commands of every dependency tree.
    TreeCommands& Commands() { return *FCommands; }
    /// The cycles, exclusive sizes and why-paths of the last scan.
    ScanAnalysis& Analysis() { return *FAnalysis; }
    /// The rules file and baseline of the Setup page checked against the last scan.
    ScanRules& Rules() { return *FRules; }
    /// The "File" menu's exports.
    ResultExport& Export() { return *FExport; }
    const ut::TreeFilters& Filters() const { return FFilters; }
    int TabAtMouse() const { return FTabAtMouse; }
    /// The executable the options file names (the DLL page's file).
    const std::string& ExeName() const { return FExeName; }

    /// "&Start": clears the log and scans the project named in projectEdit.
    void startScan();
    /// The application's exception handler: the failure as an "EXC:" line of the log.
    void AppException(const std::exception& e);

    void RestoreSettings();
    void SaveSettings();

    TreePage* usesPage = nullptr;   ///< the uses direction
    TreePage* usedByPage = nullptr; ///< the used-by direction
    NeighbourList* neighbourList =
        nullptr;                      ///< beside the uses tree: the selected unit's neighbours
    CyclesPage* cyclesPage = nullptr; ///< the cycles of the uses graph
    RulesPage* rulesPage = nullptr;   ///< the violations of the rules file
    MapPage* mapPage = nullptr;       ///< the map view and its search
    DllPage* dllPage = nullptr;       ///< the imports of the executable
    QStatusBar* statusBar = nullptr;  ///< what a longer command is doing, or has done
    QAction* quitAction = nullptr;    ///< "File", "Quit": closes the window as Alt+X does
    MatrixPage* matrixPage = nullptr; ///< the dependency structure matrix
    GraphPage* graphPage = nullptr;   ///< the neighbourhood of the selected unit

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    /// Takes the inputs, the installed version and the filters, and scans the project named
    /// by the first argument at once when it exists.
    void initialise(const QStringList& arguments);
    void ConnectInputs();
    /// F9 and Alt+X from anywhere in the window; true when the key was consumed.
    bool handleWindowKey(QKeyEvent* event);
    /// Whether the user may turn away from page `from` (before a scan, "Setup" and "DLL
    /// usage" lead only to each other).
    bool mayLeavePage(int from) const;
    /// Builds what page `index` shows once it is the current page.
    void preparePage(int index);
    void applyShowIgnored();
    void applyShowUnknown();
    void ResetViews();
    void UpdateWindowTitle();
    void HideOtherWindows();
    void ShowHiddenWindows();
    WindowPlacement CurrentPlacement() const;
    void ApplyPlacement(const WindowPlacement& placement);
    /// A failed read or write of the settings store as an "EXC:" line of the log.
    void LogSettingsProblem(bool writing);
    /// Adds a page that shows the scan's result (a ResultPage) to the pager.
    void AddResultPage(QWidget* page, const QString& name, const QString& title);
    // The tree pages ("Uses", "Used by"): made here, built and emptied as result pages.
    void CreateTreePages();
    /// The neighbour list, the detail windows and the pruning commands of the trees.
    void CreateTreeViews();
    void ClearTreePages();

    QSettings& FSettings;
    std::unique_ptr<Prompts> FOwnPrompts;
    Prompts* FPrompts;
    SetupPage* FSetup = nullptr;
    SetupBinding* FBinding = nullptr;
    ut::gui::Pager* FPager = nullptr;
    std::unique_ptr<GuiFrontEnd> FFrontEnd;
    std::unique_ptr<ut::ProjectScan> FScan;
    ScanAnalysis* FAnalysis = nullptr;
    ScanRules* FRules = nullptr;
    ResultExport* FExport = nullptr;
    ut::TreeFilters FFilters;
    UnitWindowList* FUnitWindows = nullptr;
    TreeCommands* FCommands = nullptr;
    int FTabAtMouse = -1;
    bool FHasArgument = false;
    /// The project named as the argument is scanned as soon as the window is up.
    bool FScanWhenUp = false;
    bool FRestored = false;
    bool FSavedSinceRestore = false;
    bool FCloseAfterScan = false;
    std::string FExeName;
    QList<QPointer<QWidget>> FHiddenWindows;
    Application::ExceptionHandler FPreviousHandler;
};

} // namespace ut::gui
