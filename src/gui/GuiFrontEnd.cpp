#include "gui/GuiFrontEnd.h"

#include "gui/Application.h"
#include "gui/LogView.h"
#include "gui/Prompts.h"
#include "gui/QtText.h"
#include "gui/SetupPage.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>

#include <utility>

namespace ut::gui {

GuiFrontEnd::GuiFrontEnd(SetupPage& page, gui::Prompts& prompts, Hooks hooks, QObject* parent)
    : QObject(parent), FPage(page), FPrompts(prompts), FHooks(std::move(hooks)) {
    if (auto* app = QCoreApplication::instance())
        app->installEventFilter(this);
}

GuiFrontEnd::~GuiFrontEnd() {
    if (auto* app = QCoreApplication::instance())
        app->removeEventFilter(this);
}

void GuiFrontEnd::AppendLog(const ut::LogLine& line) {
    ShowHeldNotices();
    FLog.push_back(line);
    FPage.logView->AppendLine(line.Depth, ToQt(line.Text), line.Style);
}

void GuiFrontEnd::ClearLog() {
    FLog.clear();
    FPage.logView->clear();
}

void GuiFrontEnd::ShowUnitCount(const std::string& text, bool visible) {
    FPage.unitCountLabel->setText(ToQt(text));
    FPage.unitCountLabel->setVisible(visible);
}

void GuiFrontEnd::SetApplicationTitle(const std::string& title) {
    FTitle = ToQt(title);
    if (auto* app = Application::Instance())
        app->SetTitle(FTitle);
    if (FHooks.TitleChanged)
        FHooks.TitleChanged(FTitle);
}

void GuiFrontEnd::SetCaption(const std::string& caption) {
    FCaption = ToQt(caption);
    if (FHooks.CaptionChanged)
        FHooks.CaptionChanged(FCaption);
}

bool GuiFrontEnd::ProcessEvents() {
    if (!FSinceEvents.isValid() || FSinceEvents.elapsed() >= ProcessIntervalMs) {
        QCoreApplication::processEvents();
        FSinceEvents.start();
    }
    const bool escape = FEscapePressed;
    FEscapePressed = false;
    return escape || FAbortRequested;
}

void GuiFrontEnd::HoldLog() {
    const LogView& view = *FPage.logView;
    for (int row = 0; row < view.LineCount(); ++row) {
        const LogView::Line& line = view.LineAt(row);
        FHeld.push_back({line.Depth, FromQt(line.Text), line.Style});
    }
    ClearLog();
}

void GuiFrontEnd::ShowHeldNotices() {
    // Shown in the view only: the log of the result is the scan's, as the command line's is.
    for (const ut::LogLine& line : std::exchange(FHeld, {}))
        FPage.logView->AppendLine(line.Depth, ToQt(line.Text), line.Style);
}

void GuiFrontEnd::ErrorMessage(const std::string& text) {
    if (FWindowUp)
        FPrompts.ErrorMessage(ToQt(text));
    else
        FHeld.push_back({0, text, ut::lsItalic});
}

void GuiFrontEnd::Warning(const std::string& text) {
    if (FWindowUp)
        FPrompts.Warning(ToQt(text));
    else
        FHeld.push_back({0, text, ut::lsItalic});
}

bool GuiFrontEnd::Confirm(const std::string& text) {
    return FPrompts.Confirm(ToQt(text));
}

void GuiFrontEnd::ResetViews() {
    if (FHooks.ResetViews)
        FHooks.ResetViews();
}

void GuiFrontEnd::InputsChanged() {
    if (FHooks.InputsChanged)
        FHooks.InputsChanged();
}

void GuiFrontEnd::SetExeName(const std::string& fileName) {
    if (FHooks.SetExeName)
        FHooks.SetExeName(fileName);
}

void GuiFrontEnd::MapViewOutdated() {
    if (FHooks.MapViewOutdated)
        FHooks.MapViewOutdated();
}

bool GuiFrontEnd::eventFilter(QObject* watched, QEvent* event) {
    // Escape that closes a drop-down list, a menu or a box is meant for it, not the scan.
    if (event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape &&
        !QApplication::activePopupWidget() && !QApplication::activeModalWidget())
        FEscapePressed = true;
    return QObject::eventFilter(watched, event);
}

} // namespace ut::gui
