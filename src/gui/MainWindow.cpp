#include "gui/MainWindow.h"

#include "analysis/HygieneCosts.h"
#include "config/CompilerSettings.h"
#include "gui/CyclesPage.h"
#include "gui/DllPage.h"
#include "gui/FileNameEdit.h"
#include "gui/GraphPage.h"
#include "gui/GuiFrontEnd.h"
#include "gui/HygienePage.h"
#include "gui/LogView.h"
#include "gui/MapPage.h"
#include "gui/MatrixPage.h"
#include "gui/NeighbourList.h"
#include "gui/Pager.h"
#include "gui/Prompts.h"
#include "gui/QtText.h"
#include "gui/ResultExport.h"
#include "gui/ResultPage.h"
#include "gui/RulesPage.h"
#include "gui/ScanAnalysis.h"
#include "gui/ScanHygiene.h"
#include "gui/ScanRules.h"
#include "gui/SetupBinding.h"
#include "gui/SetupPage.h"
#include "gui/TextEditDialog.h"
#include "gui/TreeCommands.h"
#include "gui/TreePage.h"
#include "gui/UnitWindowList.h"
#include "platform/FileSystem.h"
#include "platform/Registry.h"
#include "report/HygieneRows.h"
#include "support/Exceptions.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

#include <utility>

namespace ut::gui {

namespace {

/// The installed versions by product name, the newest first; a version the table lacks
/// as it is spelt.
QStringList InstalledProducts(const ut::RegistryStore* registry) {
    QStringList products;
    if (!registry)
        return products;
    for (const std::string& name : ut::InstalledVersions(*registry)) {
        const ut::TCompilerVersion* version = ut::FindCompilerVersion(name);
        products.prepend(gui::ToQt(version ? version->Product : name));
    }
    return products;
}

} // namespace

MainWindow::MainWindow(QSettings& settings, Options options, QWidget* parent)
    : QWidget(parent), FSettings(settings) {
    setObjectName(QStringLiteral("mainWindow"));
    resize(619, 418);
    if (options.prompts) {
        FPrompts = options.prompts;
    } else {
        FOwnPrompts = std::make_unique<MessageBoxPrompts>(this);
        FPrompts = FOwnPrompts.get();
    }

    FPager = new ut::gui::Pager(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(FPager);
    FSetup = new SetupPage(FPager);
    FPager->addTab(FSetup, tr("Setup"));

    GuiFrontEnd::Hooks hooks;
    hooks.ResetViews = [this] {
        // A new scan: the detail windows close, the result pages empty.
        FUnitWindows->CloseAll();
        FAnalysis->Invalidate();
        FHygiene->Clear();
        for (int i = 0; i < FPager->count(); ++i)
            if (auto* page = dynamic_cast<ResultPage*>(FPager->widget(i)))
                page->ClearResult();
    };
    hooks.InputsChanged = [this] { FBinding->ShowInputs(); };
    hooks.SetExeName = [this](const std::string& name) {
        FExeName = name;
        dllPage->SetExeName(gui::ToQt(name));
    };
    hooks.MapViewOutdated = [this] { mapPage->MapViewOutdated(); };
    hooks.CaptionChanged = [this](const QString&) { UpdateWindowTitle(); };
    hooks.TitleChanged = [this](const QString&) { UpdateWindowTitle(); };
    FFrontEnd = std::make_unique<GuiFrontEnd>(*FSetup, *FPrompts, std::move(hooks));
    FScan = std::make_unique<ut::ProjectScan>(*FFrontEnd, options.Registry);
    FBinding = new SetupBinding(
        *FSetup, *FScan, *FPrompts, [this](const std::exception& e) { AppException(e); }, this);
    FSetup->ShowInstalledVersions(InstalledProducts(options.Registry));
    // Held until the window is up, then put in the log, as the command line tells them before
    // its scan.
    if (options.Registry)
        for (const std::string& warning : options.Registry->Warnings())
            FFrontEnd->Warning(warning);
    FAnalysis = new ScanAnalysis(*FScan, this);
    FHygiene = new ScanHygiene(*FScan, this);
    FHygiene->Failed = [this](const std::exception& e) { AppException(e); };
    connect(FHygiene, &ScanHygiene::changed, this, [this] {
        if (const ut::THygiene* hygiene = FHygiene->Get())
            FScan->Log(report::HygieneSummary(*FScan, *hygiene));
    });
    FRules = new ScanRules(*FScan, *FAnalysis, this);
    FScan->Jobs = ut::DefaultScanJobs();
    CreateTreePages();
    cyclesPage = new CyclesPage(*FScan, *FAnalysis, FPager);
    AddResultPage(cyclesPage, QStringLiteral("cyclesPage"), tr("Cycles"));
    connect(cyclesPage, &CyclesPage::unitActivated, FUnitWindows, &UnitWindowList::showUnitWindow);
    // Until the window judges the uses entries, every cut costs one reference.
    cyclesPage->Costs = [this](const ut::UnitGraph& graph) -> std::optional<ut::EntryCosts> {
        if (const ut::THygiene* hygiene = FHygiene->Get())
            return ut::CostsOfHygiene(*FScan, graph, *hygiene);
        return std::nullopt;
    };
    connect(FHygiene, &ScanHygiene::changed, cyclesPage, &CyclesPage::CostsChanged);
    rulesPage = new RulesPage(*FScan, *FRules, FPager);
    AddResultPage(rulesPage, QStringLiteral("rulesPage"), tr("Rules"));
    connect(rulesPage, &RulesPage::unitActivated, FUnitWindows, &UnitWindowList::showUnitWindow);
    mapPage = new MapPage(FPager, FPrompts);
    mapPage->MapFileOfScan = [this] { return gui::ToQt(FScan->FMapFileName); };
    AddResultPage(mapPage, QStringLiteral("mapPage"), tr("Map file"));
    dllPage = new DllPage(FPager);
    dllPage->setObjectName(QStringLiteral("dllPage"));
    dllPage->SetPrompts(FPrompts);
    dllPage->SetLogSink([this](const QString& text) { FScan->Log(FromQt(text), ut::lsItalic); });
    FPager->addTab(dllPage, tr("DLL usage"));
    matrixPage = new MatrixPage(*FScan, *FAnalysis, FPager);
    AddResultPage(matrixPage, QStringLiteral("matrixPage"), tr("Matrix"));
    connect(matrixPage, &MatrixPage::unitActivated, FUnitWindows, &UnitWindowList::showUnitWindow);
    graphPage = new GraphPage(*FScan, *FAnalysis, FPager);
    AddResultPage(graphPage, QStringLiteral("graphPage"), tr("Graph"));
    graphPage->Follow(*usesPage);
    graphPage->Follow(*usedByPage);
    connect(matrixPage, &MatrixPage::unitSelected, graphPage, &GraphPage::SetCentre);
    hygienePage = new HygienePage(*FScan, *FHygiene, *FAnalysis, *FPrompts, FPager);
    AddResultPage(hygienePage, QStringLiteral("hygienePage"), tr("Hygiene"));
    connect(hygienePage, &HygienePage::unitActivated, FUnitWindows,
            &UnitWindowList::showUnitWindow);

    statusBar = new QStatusBar(this);
    statusBar->setObjectName(QStringLiteral("statusBar"));
    statusBar->setSizeGripEnabled(false);
    layout->addWidget(statusBar);
    FExport = new ResultExport(*FScan, *FAnalysis, *FFrontEnd, *FPrompts, *statusBar, this);
    FExport->Hygiene = [this] { return FHygiene->Get(); };
    auto* menuBar = new QMenuBar(this);
    menuBar->setObjectName(QStringLiteral("menuBar"));
    FExport->fileMenu->addSeparator();
    quitAction =
        FExport->fileMenu->addAction(tr("&Quit"), QKeySequence::Quit, this, &QWidget::close);
    quitAction->setObjectName(QStringLiteral("quitAction"));
    menuBar->addMenu(FExport->fileMenu);
    layout->setMenuBar(menuBar);

    initialise(options.Arguments);
}

MainWindow::~MainWindow() {
    if (FRestored && !FSavedSinceRestore)
        SaveSettings();
    qApp->removeEventFilter(this);
    if (auto* app = Application::Instance())
        app->SetExceptionHandler(std::move(FPreviousHandler));
    // The views refer to the records; the records go with the scan.
    FUnitWindows->CloseAll();
    ClearTreePages();
    FScan.reset();
}

void MainWindow::initialise(const QStringList& arguments) {
    FPager->setCurrentIndex(pgSetup);
    FScan->Inputs = FSetup->Inputs();
    FBinding->ChooseCompiler(FScan->Inputs.Compiler);
    FScan->SelectInstalledVersion();
    FBinding->ShowInputs();
    ConnectInputs();

    if (auto* app = Application::Instance())
        FPreviousHandler =
            app->SetExceptionHandler([this](const std::exception& e) { AppException(e); });
    qApp->installEventFilter(this);

    FFilters.ShowIgnored = FSetup->showIgnoredCheck->isChecked();
    FFilters.ShowUnknown = FSetup->showUnknownCheck->isChecked();
    FScan->UpdateProgress();

    if (arguments.isEmpty())
        return;
    FHasArgument = true;
    try {
        const std::string arg = FromQt(arguments.first());
        // A network path is taken as written.
        const std::string project = arg.rfind("\\\\", 0) == 0 ? arg : ut::fs::LongFileName(arg);
        FSetup->projectEdit->setText(gui::ToQt(project));
        // Scanned once the window is up, with the choices remembered for it, which showing
        // restores.
        FScanWhenUp = ut::fs::FileExists(project);
    } catch (const std::exception& e) {
        // Creation runs outside the event loop, so nothing else would catch this.
        AppException(e);
    }
}

void MainWindow::ConnectInputs() {
    FBinding->Connect(*FRules);
    SetupPage& page = *FSetup;
    connect(page.showIgnoredCheck, &QCheckBox::toggled, this,
            Guarded([this] { applyShowIgnored(); }));
    connect(page.showUnknownCheck, &QCheckBox::toggled, this,
            Guarded([this] { applyShowUnknown(); }));
    connect(page.startButton, &QPushButton::clicked, this, [this] { startScan(); });
    // Asked for after a scan: judged at once, so that the trees show the verdicts.
    connect(page.hygieneCheck, &QCheckBox::toggled, this, Guarded([this] {
                if (FSetup->hygieneCheck->isChecked() && !FScan->Busy())
                    FHygiene->Judge();
            }));
    connect(page.ignoredUnitsButton, &QPushButton::clicked, this, Guarded([this] {
                // Ignored names lead nowhere in the uses graph.
                if (EditIgnoredUnits(this, FScan->IgnUnits))
                    FAnalysis->Invalidate();
            }));

    FPager->Changing = [this](int from) { return mayLeavePage(from); };
    connect(FPager, &Pager::MousePressed, this, [this](int tab) { FTabAtMouse = tab; });
    connect(FPager, &QTabWidget::currentChanged, this, [this](int index) { preparePage(index); });
}

void MainWindow::startScan() {
    if (FScan->Busy())
        return;
    FFrontEnd->ClearAbort();
    FFrontEnd->ClearLog();
    FSetup->logView->setFocus();
    const std::string project = FromQt(FSetup->projectEdit->text());
    try {
        // The result names the project in full, as the scan's directory change leaves it.
        const std::string fullName = ut::fs::ExpandFileName(project);
        const bool completed = FScan->ScanProject(project);
        FExport->ScanFinished(fullName, completed);
        FHygiene->ScanFinished(completed);
        if (completed && FSetup->hygieneCheck->isChecked())
            FHygiene->Judge();
    } catch (const std::exception& e) {
        // Before the walk (options file, current directory, opening the project); the
        // handler of the event loop would write the same line.
        AppException(e);
    }
    if (FCloseAfterScan) {
        FCloseAfterScan = false;
        QTimer::singleShot(0, this, &QWidget::close);
    }
}

void MainWindow::AppException(const std::exception& e) {
    FScan->AppException(e);
}

// --- Pages -------------------------------------------------------------------------------

bool MainWindow::mayLeavePage(int from) const {
    if (FScan->FProject && !FScan->FScanning)
        return true;
    if (from == pgSetup)
        return FTabAtMouse == pgDll;
    if (from == pgDll)
        return FTabAtMouse == pgSetup;
    return true;
}

void MainWindow::preparePage(int index) {
    if (index == pgDll) {
        dllPage->Activate();
        return;
    }
    if (!FScan->FProject || FScan->FScanning)
        return;
    if (auto* page = dynamic_cast<ResultPage*>(FPager->widget(index)))
        page->ShowResult();
}
void MainWindow::applyShowIgnored() {
    FFilters.ShowIgnored = FSetup->showIgnoredCheck->isChecked();
    ResetViews();
}

void MainWindow::applyShowUnknown() {
    FFilters.ShowUnknown = FSetup->showUnknownCheck->isChecked();
    FSetup->showIgnoredCheck->setEnabled(FFilters.ShowUnknown);
    FFilters.ShowIgnored = FFilters.ShowUnknown && FSetup->showIgnoredCheck->isChecked();
    ResetViews();
}

void MainWindow::ResetViews() {
    FUnitWindows->CloseAll();
    ClearTreePages();
}

void MainWindow::AddResultPage(QWidget* page, const QString& name, const QString& title) {
    page->setObjectName(name);
    FPager->addTab(page, title);
}

void MainWindow::CreateTreePages() {
    usesPage = new TreePage(*FScan, FFilters, ut::tdUses, FPager);
    usesPage->Tree()->setObjectName(QStringLiteral("usesTree"));
    AddResultPage(usesPage, QStringLiteral("usesPage"), tr("Uses"));
    usedByPage = new TreePage(*FScan, FFilters, ut::tdUsedBy, FPager);
    usedByPage->Tree()->setObjectName(QStringLiteral("usedByTree"));
    AddResultPage(usedByPage, QStringLiteral("usedByPage"), tr("Used by"));
    CreateTreeViews();
}

void MainWindow::CreateTreeViews() {
    neighbourList = new NeighbourList(*FScan, *usesPage);
    usesPage->SetSidePanel(neighbourList);
    FUnitWindows =
        new UnitWindowList(*FScan, FFilters, *FAnalysis, *FPrompts, this, *usesPage, *usedByPage);
    FCommands =
        new TreeCommands(*FScan, *FPrompts, {usesPage, usedByPage, FUnitWindows, FAnalysis}, this);
    FUnitWindows->TreeCreated = [this](TreePage& tree) {
        FCommands->AttachTree(tree);
        tree.SetHygiene(*FHygiene);
        tree.SetRules(*FRules);
    };
    for (TreePage* page : {usesPage, usedByPage}) {
        page->SetAnalysis(*FAnalysis);
        page->SetHygiene(*FHygiene);
        page->SetRules(*FRules);
        page->SetDoubleClickCommand(true);
        connect(page, &TreePage::nodeActivated, FUnitWindows, &UnitWindowList::showUnitWindow);
        FCommands->AttachTree(*page);
    }
}

void MainWindow::ClearTreePages() {
    // Called from the destructor too, after the pager may have begun to go.
    if (usesPage)
        usesPage->Clear();
    if (usedByPage)
        usedByPage->Clear();
}

// --- Window-wide keys ----------------------------------------------------------------------

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget && widget->window() == this)
            return handleWindowKey(static_cast<QKeyEvent*>(event));
    }
    return QWidget::eventFilter(watched, event);
}

bool MainWindow::handleWindowKey(QKeyEvent* event) {
    if (event->key() == Qt::Key_F9) {
        if (FPager->currentIndex() != pgSetup)
            FPager->setCurrentIndex(pgSetup);
        startScan();
        return true;
    }
    if (event->key() == Qt::Key_X && event->modifiers() == Qt::AltModifier) {
        close();
        return true;
    }
    return false;
}

// --- Showing, closing, minimising --------------------------------------------------------

void MainWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (event->spontaneous())
        return;
    RestoreSettings();
    if (FFrontEnd->IsWindowUp())
        return;
    FFrontEnd->WindowUp();
    QTimer::singleShot(0, this, [this] {
        // What the log says by now stays at the head of the first scan's log.
        if (std::exchange(FScanWhenUp, false)) {
            FFrontEnd->HoldLog();
            startScan();
        }
        FFrontEnd->ShowHeldNotices();
    });
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (FScan->Busy()) {
        // The records of a running scan are in use: stop it, then close.
        FCloseAfterScan = true;
        FFrontEnd->RequestAbort();
        event->ignore();
        return;
    }
    // The detail windows first: the size the user gave one is saved.
    FUnitWindows->CloseAll();
    if (FRestored)
        SaveSettings();
    event->accept();
}

void MainWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange)
        return;
    const auto old = static_cast<QWindowStateChangeEvent*>(event)->oldState();
    const bool minimized = windowState() & Qt::WindowMinimized;
    const bool wasMinimized = old & Qt::WindowMinimized;
    if (minimized && !wasMinimized)
        HideOtherWindows();
    else if (!minimized && wasMinimized)
        ShowHiddenWindows();
    UpdateWindowTitle();
}

void MainWindow::HideOtherWindows() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w == this || !w->isVisible())
            continue;
        const Qt::WindowType type = w->windowType();
        if (type == Qt::Popup || type == Qt::ToolTip || type == Qt::Desktop)
            continue;
        w->hide();
        FHiddenWindows.append(w);
    }
}

void MainWindow::ShowHiddenWindows() {
    for (auto i = FHiddenWindows.size(); i-- > 0;) {
        if (QWidget* w = FHiddenWindows[i]) {
            w->show();
            w->raise();
        }
    }
    FHiddenWindows.clear();
}

void MainWindow::UpdateWindowTitle() {
    // A minimised window stands for the application, so it shows the application's title.
    const bool minimized = windowState() & Qt::WindowMinimized;
    const QString title = minimized && !FFrontEnd->ApplicationTitle().isEmpty()
                              ? FFrontEnd->ApplicationTitle()
                              : FFrontEnd->Caption();
    setWindowTitle(title);
}

} // namespace ut::gui
