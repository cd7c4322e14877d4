#pragma once
// The "File" menu: the scan's uses graph as a Graphviz DOT document and its result as the
// JSON document the command line writes, each saved where the user chooses. The file is
// asked for first; the document is made while it is written, under the wait cursor, the
// status line telling what is written.
#include <QObject>

#include <functional>
#include <string>
#include <string_view>

class QAction;
class QMenu;
class QStatusBar;
class QWidget;

namespace ut {
class ProjectScan;
class THygiene;
} // namespace ut

namespace ut::gui {

class GuiFrontEnd;
class Prompts;
class ScanAnalysis;

class ResultExport : public QObject {
    Q_OBJECT
  public:
    /// Everything must outlive the object; the menu belongs to `owner`.
    ResultExport(ut::ProjectScan& scan, ScanAnalysis& analysis, GuiFrontEnd& frontEnd,
                 Prompts& prompts, QStatusBar& status, QWidget* owner);

    /// The uses hygiene's verdicts when the window has judged the entries: the result then
    /// carries them, and the cycles' cuts are weighed by their references.
    std::function<const ut::THygiene*()> Hygiene;

    QMenu* fileMenu;
    QAction* exportGraphAction;
    QAction* exportResultAction;

    /// The scan the documents describe: the project as a full path, and whether it ran to
    /// its end. Set when a scan finishes.
    void ScanFinished(const std::string& project, bool completed);

    /// Whether there is a result to export (a scan is done and none runs).
    bool HasResult() const;
    /// The documents as they would be written now; empty without a result.
    std::string GraphDocument() const;
    std::string ResultDocument() const;

    /// Asks for a file and writes the document into it; an error box when it cannot.
    void exportGraph();
    void exportResult();

  private:
    using Sink = std::function<void(std::string_view)>;
    /// The JSON document in pieces, as it is made; nothing without a result.
    void WriteResult(const Sink& sink) const;
    /// Asks where to save, then writes what `write` gives its sink into that file.
    void Save(const QString& title, const char* extension, const QString& filter,
              const std::function<void(const Sink&)>& write);

    ut::ProjectScan& FScan;
    ScanAnalysis& FAnalysis;
    GuiFrontEnd& FFrontEnd;
    Prompts& FPrompts;
    QStatusBar& FStatus;
    std::string FProject;
    bool FCompleted = false;
};

} // namespace ut::gui
