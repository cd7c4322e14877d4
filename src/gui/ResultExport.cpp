#include "gui/ResultExport.h"

#include "gui/Application.h"
#include "gui/GuiFrontEnd.h"
#include "gui/Prompts.h"
#include "gui/QtText.h"
#include "gui/ScanAnalysis.h"
#include "platform/FileSystem.h"
#include "report/DotExport.h"
#include "report/JsonWriter.h"
#include "scan/ProjectScan.h"
#include "support/Utf8.h"

#include <QAction>
#include <QDir>
#include <QMenu>
#include <QSaveFile>

namespace ut::gui {

ResultExport::ResultExport(ProjectScan& scan, ScanAnalysis& analysis, GuiFrontEnd& frontEnd,
                           Prompts& prompts, QWidget* owner)
    : QObject(owner), FScan(scan), FAnalysis(analysis), FFrontEnd(frontEnd), FPrompts(prompts) {
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
    const DependencyAnalysis* analysis = HasResult() ? FAnalysis.Get() : nullptr;
    if (!analysis)
        return std::string();
    report::ScanSummary summary;
    summary.Project = FProject;
    summary.Completed = FCompleted;
    summary.Directories = FScan.FListedDirectories;
    summary.Analysis = analysis;
    return report::ScanResultJson(FScan, summary, FFrontEnd.LogEntries());
}

void ResultExport::exportGraph() {
    Save(tr("Export graph"), ".dot",
         QStringLiteral("Graphviz DOT (*.dot,*.gv)|*.dot;*.gv|All files (*.*)|*.*"),
         GraphDocument());
}

void ResultExport::exportResult() {
    Save(tr("Export result"), ".json",
         QStringLiteral("JSON results (*.json)|*.json|All files (*.*)|*.*"), ResultDocument());
}

void ResultExport::Save(const QString& title, const char* extension, const QString& filter,
                        const std::string& document) {
    if (document.empty())
        return;
    const QString suggested = ToQt(fs::ChangeFileExt(FProject, extension));
    const QString file = FPrompts.SaveFileName(title, suggested, NameFiltersFromPairs(filter));
    if (file.isEmpty())
        return;
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly) ||
        out.write(document.data(), qint64(document.size())) != qint64(document.size()) ||
        !out.commit()) {
        FPrompts.ErrorMessage(
            tr("Cannot write \"%1\": %2").arg(QDir::toNativeSeparators(file), out.errorString()));
    }
}

} // namespace ut::gui
