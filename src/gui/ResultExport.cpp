#include "gui/ResultExport.h"

#include "analysis/HygieneCosts.h"
#include "gui/Application.h"
#include "gui/GuiFrontEnd.h"
#include "gui/Prompts.h"
#include "gui/QtText.h"
#include "gui/ScanAnalysis.h"
#include "gui/WaitCursor.h"
#include "platform/FileSystem.h"
#include "report/DotExport.h"
#include "report/JsonWriter.h"
#include "scan/ProjectScan.h"
#include "support/Utf8.h"

#include <QAction>
#include <QDir>
#include <QMenu>
#include <QSaveFile>
#include <QStatusBar>

namespace ut::gui {

ResultExport::ResultExport(ProjectScan& scan, ScanAnalysis& analysis, GuiFrontEnd& frontEnd,
                           Prompts& prompts, QStatusBar& status, QWidget* owner)
    : QObject(owner), FScan(scan), FAnalysis(analysis), FFrontEnd(frontEnd), FPrompts(prompts),
      FStatus(status) {
    fileMenu = new QMenu(tr("&File"), owner);
    fileMenu->setObjectName(QStringLiteral("fileMenu"));
    exportGraphAction = fileMenu->addAction(tr("Export &graph (DOT)..."));
    exportGraphAction->setObjectName(QStringLiteral("exportGraphAction"));
    exportResultAction = fileMenu->addAction(tr("Export &result (JSON)..."));
    exportResultAction->setObjectName(QStringLiteral("exportResultAction"));
    connect(exportGraphAction, &QAction::triggered, this, Guarded([this] { exportGraph(); }));
    connect(exportResultAction, &QAction::triggered, this, Guarded([this] { exportResult(); }));
    connect(fileMenu, &QMenu::aboutToShow, this, [this] {
        exportGraphAction->setEnabled(HasResult());
        exportResultAction->setEnabled(HasResult());
    });
}

void ResultExport::ScanFinished(const std::string& project, bool completed) {
    FProject = project;
    FCompleted = completed;
}

bool ResultExport::HasResult() const {
    return FScan.FProject && !FScan.Busy();
}

std::string ResultExport::GraphDocument() const {
    const DependencyAnalysis* analysis = HasResult() ? FAnalysis.Get() : nullptr;
    if (!analysis)
        return std::string();
    report::DotOptions options;
    options.Text = ToUtf8;
    return report::ExportDot(analysis->Graph(), analysis->Cycles(), options);
}

std::string ResultExport::ResultDocument() const {
    std::string document;
    WriteResult([&document](std::string_view piece) { document += piece; });
    return document;
}

void ResultExport::WriteResult(const Sink& sink) const {
    const DependencyAnalysis* analysis = HasResult() ? FAnalysis.Get() : nullptr;
    if (!analysis)
        return;
    report::ScanSummary summary;
    summary.Project = FProject;
    summary.Completed = FCompleted;
    summary.Directories = FScan.FListedDirectories;
    summary.Analysis = analysis;
    const ut::THygiene* hygiene = Hygiene ? Hygiene() : nullptr;
    const EntryCosts costs =
        hygiene ? CostsOfHygiene(FScan, analysis->Graph(), *hygiene) : EntryCosts();
    summary.Hygiene = hygiene;
    summary.Costs = &costs;
    report::WriteScanResultJson(FScan, summary, FFrontEnd.LogEntries(), sink);
}

void ResultExport::exportGraph() {
    Save(tr("Export graph"), ".dot",
         QStringLiteral("Graphviz DOT (*.dot,*.gv)|*.dot;*.gv|All files (*.*)|*.*"),
         [this](const Sink& sink) { sink(GraphDocument()); });
}

void ResultExport::exportResult() {
    Save(tr("Export result"), ".json",
         QStringLiteral("JSON results (*.json)|*.json|All files (*.*)|*.*"),
         [this](const Sink& sink) { WriteResult(sink); });
}

void ResultExport::Save(const QString& title, const char* extension, const QString& filter,
                        const std::function<void(const Sink&)>& write) {
    if (!HasResult())
        return;
    const QString suggested = ToQt(fs::ChangeFileExt(FProject, extension));
    const QString file = FPrompts.SaveFileName(title, suggested, NameFiltersFromPairs(filter));
    if (file.isEmpty())
        return;
    const QString shown = QDir::toNativeSeparators(file);
    QSaveFile out(file);
    bool written = false;
    {
        WaitCursor wait;
        FStatus.showMessage(tr("Writing %1...").arg(shown));
        FStatus.repaint();
        written = out.open(QIODevice::WriteOnly);
        write([&](std::string_view piece) {
            if (written && out.write(piece.data(), qint64(piece.size())) != qint64(piece.size()))
                written = false;
        });
        written = written && out.commit();
    }
    if (!written) {
        FStatus.clearMessage();
        FPrompts.ErrorMessage(tr("Cannot write \"%1\": %2").arg(shown, out.errorString()));
        return;
    }
    FStatus.showMessage(tr("Written: %1").arg(shown));
}

} // namespace ut::gui
