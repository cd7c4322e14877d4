// The main window's saved settings: restored when it is shown, saved when it closes, and
// the per-project build choices kept in between.
#include "gui/MainWindow.h"

#include "config/Compiler.h"
#include "gui/FileNameEdit.h"
#include "gui/QtText.h"
#include "gui/SetupBinding.h"
#include "gui/SetupPage.h"
#include "gui/UnitWindowList.h"
#include "support/Exceptions.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <QSettings>

namespace ut::gui {

namespace {

QStringList ToQt(const std::vector<std::string>& lines) {
    QStringList out;
    for (const auto& line : lines)
        out << gui::ToQt(line);
    return out;
}

QList<QRect> AvailableScreens() {
    QList<QRect> screens;
    if (QScreen* primary = QGuiApplication::primaryScreen())
        screens << primary->availableGeometry();
    for (QScreen* screen : QGuiApplication::screens())
        if (screen != QGuiApplication::primaryScreen())
            screens << screen->availableGeometry();
    return screens;
}

} // namespace

WindowPlacement MainWindow::CurrentPlacement() const {
    WindowPlacement p;
    const Qt::WindowStates state = windowState();
    p.ShowCmd = (state & Qt::WindowMinimized)   ? scMinimized
                : (state & Qt::WindowMaximized) ? scMaximized
                                                : scNormal;
    p.NormalRect =
        (state & (Qt::WindowMinimized | Qt::WindowMaximized)) && normalGeometry().isValid()
            ? normalGeometry()
            : geometry();
    p.PixelsPerInch = logicalDpiY();
    return p;
}

void MainWindow::ApplyPlacement(const WindowPlacement& p) {
    // A window saved on a screen that is gone, or with a corrupt position, comes back on one,
    // at the size it will take (never below what its pages need).
    if (p.PixelsPerInch == logicalDpiY() && p.NormalRect.isValid()) {
        QRect rect = p.NormalRect;
        rect.setSize(rect.size().expandedTo(minimumSizeHint()));
        setGeometry(FitOnScreen(rect, AvailableScreens()));
    }
    // A window is never brought back minimised: it would start out of sight.
    if (p.ShowCmd == scMaximized)
        setWindowState(windowState() | Qt::WindowMaximized);
}

void MainWindow::LogSettingsProblem(bool writing) {
    const QString problem = SettingsProblem(FSettings, writing);
    if (!problem.isEmpty())
        AppException(Exception(FromQt(problem)));
}

void MainWindow::RestoreSettings() {
    try {
        FRestored = true;
        FSavedSinceRestore = false;
        const auto stored = ReadSettings(FSettings);
        LogSettingsProblem(false);
        if (!stored)
            return;
        if (stored->Placement)
            ApplyPlacement(*stored->Placement);
        if (stored->ProjectChoices)
            FBinding->ProjectChoices() = *stored->ProjectChoices;
        if (stored->UnitWindowSize)
            FUnitWindows->SetRememberedSize(*stored->UnitWindowSize);
        if (stored->Delphi)
            FSetup->delphiVersionEdit->setText(ShownVersion(FromQt(*stored->Delphi)));
        if (const auto compiler = CompilerOfName(FromQt(stored->Compiler.value_or(QString()))))
            FBinding->ChooseCompiler(*compiler);
        if (stored->BrowseAlso)
            FSetup->useBrowsePathCheck->setChecked(*stored->BrowseAlso);
        if (stored->IgnUnits) {
            std::vector<std::string> lines;
            for (const QString& line : *stored->IgnUnits)
                lines.push_back(FromQt(line));
            FScan->IgnUnits.SetLines(lines);
        }
        if (stored->ShowIgnored)
            FSetup->showIgnoredCheck->setChecked(*stored->ShowIgnored);
        if (stored->ShowUnknown)
            FSetup->showUnknownCheck->setChecked(*stored->ShowUnknown);
        if (!FHasArgument)
            FSetup->projectEdit->setText(stored->Project.value_or(QString()));
        else if (stored->ProjectChoices)
            // The argument's options were read before its choices were known.
            FBinding->LoadProject(FromQt(FSetup->projectEdit->text()));
    } catch (const std::exception& e) {
        AppException(e);
    }
}

void MainWindow::SaveSettings() {
    try {
        StoredSettings s;
        s.Placement = CurrentPlacement();
        s.Delphi = gui::ToQt(FScan->Inputs.Delphi);
        s.Compiler = gui::ToQt(CompilerName(FBinding->ChosenCompiler()));
        s.BrowseAlso = FSetup->useBrowsePathCheck->isChecked();
        s.IgnUnits = ToQt(FScan->IgnUnits.Lines().ToVector());
        s.ShowIgnored = FSetup->showIgnoredCheck->isChecked();
        s.ShowUnknown = FSetup->showUnknownCheck->isChecked();
        s.Project = FSetup->projectEdit->text();
        s.ProjectChoices = FBinding->ProjectChoices();
        if (FUnitWindows->RememberedSize().isValid())
            s.UnitWindowSize = FUnitWindows->RememberedSize();
        WriteSettings(FSettings, s);
        FSettings.sync();
        FSavedSinceRestore = true;
        LogSettingsProblem(true);
    } catch (const std::exception& e) {
        AppException(e);
    }
}

} // namespace ut::gui
