#pragma once
// The "File" menu: the scan's uses graph as a Graphviz DOT document and its result as the
// JSON document the command line writes, each saved where the user chooses.
#include <QObject>

#include <string>

class QAction;
class QMenu;
class QWidget;

namespace ut {
class ProjectScan;
}

namespace ut::gui {

class GuiFrontEnd;
class Prompts;
class ScanAnalysis;

class ResultExport : public QObject {
    Q_OBJECT
  public:
    /// Everything must outlive the object; the menu belongs to `owner`.
    ResultExport(ut::ProjectScan& scan, ScanAnalysis& analysis, GuiFrontEnd& frontEnd,
                 Prompts& prompts, QWidget* owner);

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
    void Save(const QString& title, const char* extension, const QString& filter,
              const std::string& document);

    ut::ProjectScan& FScan;
    ScanAnalysis& FAnalysis;
    GuiFrontEnd& FFrontEnd;
    Prompts& FPrompts;
    std::string FProject;
    bool FCompleted = false;
};

} // namespace ut::gui
