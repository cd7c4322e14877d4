#pragma once
// The scan's front end in the window: the log, the unit counter, the titles, the message
// boxes, and the pause between units in which pending events run and Escape is noticed.
#include "scan/ScanFrontEnd.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>

#include <functional>
#include <vector>

class QWidget;

namespace ut::gui {

class Prompts;
class SetupPage;

class GuiFrontEnd : public QObject, public ut::ScanFrontEnd {
    Q_OBJECT
  public:
    /// The hooks into the rest of the window; any of them may be empty.
    struct Hooks {
        std::function<void()> ResetViews;
        std::function<void()> InputsChanged;
        std::function<void(const std::string&)> SetExeName;
        std::function<void()> MapViewOutdated;
        std::function<void(const QString&)> CaptionChanged;
        std::function<void(const QString&)> TitleChanged;
    };

    GuiFrontEnd(SetupPage& page, gui::Prompts& prompts, Hooks hooks, QObject* parent = nullptr);
    ~GuiFrontEnd() override;

    void AppendLog(const ut::LogLine& line) override;
    void ClearLog() override;
    void ShowUnitCount(const std::string& text, bool visible) override;
    void SetApplicationTitle(const std::string& title) override;
    void SetCaption(const std::string& caption) override;
    bool ProcessEvents() override;
    void ErrorMessage(const std::string& text) override;
    void Warning(const std::string& text) override;
    bool Confirm(const std::string& text) override;
    void ResetViews() override;
    void InputsChanged() override;
    void SetExeName(const std::string& fileName) override;
    void MapViewOutdated() override;

    /// Makes the running scan stop at its next pause (as Escape does); cleared by
    /// ClearAbort, which also forgets an Escape pressed before the scan: a new scan starts
    /// with no Escape pending.
    void RequestAbort() { FAbortRequested = true; }
    void ClearAbort() {
        FAbortRequested = false;
        FEscapePressed = false;
    }

    /// Tells that the window is up: from now on warnings and errors are boxes. Those given
    /// before are held (no box stands on an empty screen before the window) and shown in
    /// red at the head of the log, before its next line or at ShowHeldNotices.
    void WindowUp() { FWindowUp = true; }
    bool IsWindowUp() const { return FWindowUp; }
    /// Holds the lines the log shows too, so that a scan that empties the log shows them
    /// at its head.
    void HoldLog();
    void ShowHeldNotices();

    /// The lines of the log since it was last cleared, as the command line keeps them for
    /// its JSON result.
    const std::vector<ut::LogLine>& LogEntries() const { return FLog; }

    QString ApplicationTitle() const { return FTitle; }
    QString Caption() const { return FCaption; }

    /// Pending events run at most this often during a scan: 25 times a second answers
    /// Escape and shows the log moving; more often, painting the window slows the scan.
    static constexpr int ProcessIntervalMs = 40;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    SetupPage& FPage;
    gui::Prompts& FPrompts;
    Hooks FHooks;
    QElapsedTimer FSinceEvents;
    /// An Escape press not yet seen by a pause. Only presses count, never a key state: a
    /// release can be lost (a drop-down list that closes on the press takes it), and a
    /// key seen held down then would stop every later scan at once.
    bool FEscapePressed = false;
    bool FAbortRequested = false;
    bool FWindowUp = false;
    std::vector<ut::LogLine> FHeld;
    QString FTitle;
    QString FCaption;
    std::vector<ut::LogLine> FLog;
};

} // namespace ut::gui
