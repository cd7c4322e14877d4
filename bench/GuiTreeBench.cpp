// The "Used by" page's lazy tree model against a bare QStandardItemModel holding the same
// rows, in the same kind of tree view, shown headless, in one run:
//   (a) the first level of "Used by" for a generated project of N units;
//   (b) expanding a node with M children (a unit that M units of a 10,000-unit project use);
//   (c) a scan of the project of (a) in the main window, log view and all, against the same
//       scan with the command line's front end writing its text log (target: at most 1.5x);
//   (d) "Export result (JSON)..." after that scan: the time until the save dialog is asked
//       for, against making the document (which was done before asking; target: the dialog
//       at once, under 100 ms), and the time to write the file after the answer.
// Each operation is timed up to the point where the view has laid out and painted the
// result; the median of the runs counts, and each is printed as the ratio lazy / standard.
//
//   bench_gui_tree [--units N] [--children M] [--runs R] [--corpus DIR]
//
// The corpus of (a) comes from bench/gen_corpus.py into DIR (default: gui-corpus beside the
// binary) and is generated again only when its stamp differs. The project of (b) is written
// into a temporary directory on each run.
#include "cli/CliFrontEnd.h"
#include "gui/FileNameEdit.h"
#include "gui/LogView.h"
#include "gui/MainWindow.h"
#include "gui/NodeImages.h"
#include "gui/Prompts.h"
#include "gui/QtText.h"
#include "gui/ResultExport.h"
#include "gui/ScanAnalysis.h"
#include "gui/SetupPage.h"
#include "gui/TreePage.h"
#include "gui/UnitTreeModel.h"
#include "mapfile/MapFile.h"
#include "scan/ProjectScan.h"
#include "support/Textutil.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QProcess>
#include <QSettings>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QTreeView>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace ut;
using namespace ut::gui;
using Clock = std::chrono::steady_clock;

constexpr int ViewWidth = 800;
constexpr int ViewHeight = 600;
constexpr int HubProjectUnits = 10000;

struct Options {
    int Units = 10000;
    int Children = 2000;
    int Runs = 9;
    QString Corpus;
};

[[noreturn]] void Fail(const std::string& text) {
    std::fprintf(stderr, "bench_gui_tree: %s\n", text.c_str());
    std::exit(1);
}

Options ParseOptions(const QStringList& args) {
    Options o;
    o.Corpus = QCoreApplication::applicationDirPath() + QStringLiteral("/gui-corpus");
    for (int i = 1; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (i + 1 >= args.size())
            Fail("option " + arg.toStdString() + " needs a value");
        const QString value = args[++i];
        bool ok = true;
        if (arg == QLatin1String("--units"))
            o.Units = value.toInt(&ok);
        else if (arg == QLatin1String("--children"))
            o.Children = value.toInt(&ok);
        else if (arg == QLatin1String("--runs"))
            o.Runs = value.toInt(&ok);
        else if (arg == QLatin1String("--corpus"))
            o.Corpus = QDir(value).absolutePath();
        else
            Fail("unknown option " + arg.toStdString());
        if (!ok)
            Fail("option " + arg.toStdString() + " needs a number, not " + value.toStdString());
    }
    if (o.Units < 1 || o.Children < 1 || o.Children >= HubProjectUnits || o.Runs < 1)
        Fail("--units and --runs must be positive, --children below 10000");
    return o;
}

class QuietFrontEnd : public ScanFrontEnd {
  public:
    void AppendLog(const LogLine&) override {}
};

double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// Lets the view lay out and paint what its model now holds: a synchronous repaint runs the
// pending item layout and draws the visible rows; the event loop then takes what is left.
void Settle(QTreeView& view) {
    view.viewport()->repaint();
    QCoreApplication::processEvents();
}

void ShowAndWait(QWidget& widget) {
    widget.resize(ViewWidth, ViewHeight);
    widget.show();
    for (int i = 0; i < 100 && !widget.isVisible(); ++i)
        QCoreApplication::processEvents();
    QCoreApplication::processEvents();
}

// The same view settings as the tree pages use.
void SetUpView(QTreeView& view) {
    view.setIndentation(19);
    view.setRootIsDecorated(true);
    view.setUniformRowHeights(true);
    view.setEditTriggers(QAbstractItemView::NoEditTriggers);
    view.setSelectionMode(QAbstractItemView::SingleSelection);
    view.header()->setStretchLastSection(false);
    view.header()->setSectionResizeMode(QHeaderView::Interactive);
}

void SizeSections(QTreeView& view) {
    view.header()->resizeSection(0, 255);
    view.header()->resizeSection(1, 255);
    view.header()->resizeSection(2, 64);
}

std::unique_ptr<ProjectScan> Scan(QuietFrontEnd& frontEnd, const std::string& project) {
    auto scan = std::make_unique<ProjectScan>(frontEnd);
    scan->Inputs.Project = project;
    if (!scan->ScanProject(project))
        Fail("the scan of " + project + " did not complete");
    return scan;
}

// The generated project of (a), made again only when the generator or its arguments changed.
std::string GeneratedProject(const Options& o) {
    const QString gen = QStringLiteral(UNITRACE_SOURCE_DIR "/bench/gen_corpus.py");
    const QStringList args{gen, QStringLiteral("--out"), o.Corpus, QStringLiteral("--units"),
                           QString::number(o.Units)};
    auto run = [](const QStringList& arguments) {
        QProcess p;
        p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p.start(QStringLiteral("python3"), arguments);
        if (!p.waitForFinished(-1) || p.exitStatus() != QProcess::NormalExit || p.exitCode())
            Fail("python3 " + arguments.join(QLatin1Char(' ')).toStdString() + " failed");
        return p.readAllStandardOutput().trimmed();
    };
    QFile genFile(gen);
    if (!genFile.open(QIODevice::ReadOnly))
        Fail("cannot read " + gen.toStdString());
    const QByteArray want =
        run(args + QStringList{QStringLiteral("--print-stamp")}) + " gen-sha1=" +
        QCryptographicHash::hash(genFile.readAll(), QCryptographicHash::Sha1).toHex();
    const QString stampFile = o.Corpus + QStringLiteral("/gui-corpus.stamp");
    QFile stamp(stampFile);
    if (!stamp.open(QIODevice::ReadOnly) || stamp.readAll() != want) {
        stamp.close();
        // Never empty a directory that this program did not fill.
        const QDir corpus(o.Corpus);
        if (!stamp.exists() && corpus.exists() && !corpus.isEmpty())
            Fail(o.Corpus.toStdString() + " holds other files; name another corpus directory");
        std::fprintf(stderr, "Generating %d units into %s ...\n", o.Units,
                     o.Corpus.toLocal8Bit().constData());
        QDir(o.Corpus).removeRecursively();
        run(args);
        if (!stamp.open(QIODevice::WriteOnly) || stamp.write(want) != want.size())
            Fail("cannot write " + stampFile.toStdString());
    }
    return (o.Corpus + QStringLiteral("/Bench.dpr")).toStdString();
}

// A project of 10,000 units of which `children` use HubBase, so that HubBase's node in the
// used-by tree has that many children; the program uses every other unit.
std::string HubProject(const QString& dir, int children) {
    auto write = [&dir](const std::string& name, const std::string& text) {
        std::ofstream out((dir + QLatin1Char('/')).toStdString() + name, std::ios::binary);
        out << text;
        if (!out)
            Fail("cannot write " + name);
    };
    std::string uses;
    char name[32];
    for (int i = 1; i <= HubProjectUnits; ++i) {
        std::snprintf(name, sizeof name, "Client%05d", i);
        uses += (i == 1 ? "\n  " : ",\n  ") + std::string(name);
        const char* usesHub = i <= children ? "uses HubBase;\n" : "";
        write(std::string(name) + ".pas",
              "unit " + std::string(name) + ";\ninterface\n" + usesHub + "implementation\nend.\n");
    }
    write("HubBase.pas", "unit HubBase;\ninterface\nimplementation\nend.\n");
    write("Hub.dpr", "program Hub;\nuses" + uses + ";\nbegin\nend.\n");
    return (dir + QStringLiteral("/Hub.dpr")).toStdString();
}

// The three texts and the icon of a unit's row, as the lazy model shows them.
struct RowTexts {
    QString Name, Location, Size;
    QIcon Icon;
};

RowTexts TextsOf(const ProjectScan& scan, const TUnit& unit, NodeImage image) {
    const TColumnContext context{scan.FDelphiRoot, scan.FProjectDir, &scan.FUnitSizes};
    RowTexts row;
    row.Name = ToQt(unit.UnitName);
    row.Location = ToQt(GetColumnText(&unit.FileName, unit.UnitName, 1, context).Text);
    row.Size = ToQt(GetColumnText(&unit.FileName, unit.UnitName, 2, context).Text);
    row.Icon = NodeIcon(QString::fromLatin1(ImageName(image)), unit.HasForm);
    return row;
}

QList<QStandardItem*> StandardRow(const RowTexts& texts) {
    auto* name = new QStandardItem(texts.Icon, texts.Name);
    auto* location = new QStandardItem(texts.Location);
    auto* size = new QStandardItem(texts.Size);
    size->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    for (QStandardItem* item : {name, location, size})
        item->setEditable(false);
    return {name, location, size};
}

std::vector<RowTexts> RootTexts(const ProjectScan& scan) {
    std::vector<RowTexts> rows;
    for (int i = 0; i < scan.FUnits.Count(); ++i)
        rows.push_back(TextsOf(scan, *scan.FUnits.Objects(i), NodeImage::Unit));
    return rows;
}

QStandardItemModel* StandardModel(const std::vector<RowTexts>& rows, QObject* parent) {
    auto* model = new QStandardItemModel(0, 3, parent);
    model->setHorizontalHeaderLabels(
        {QString(), QStringLiteral("Location"), QStringLiteral("Size")});
    for (const RowTexts& row : rows)
        model->appendRow(StandardRow(row));
    return model;
}

struct Result {
    double Lazy = 0, Standard = 0;
};

// One untimed run first, so that caches, icons and the allocator are warm.
template <class F> std::vector<double> TimeRuns(int runs, F&& once) {
    once();
    std::vector<double> times;
    for (int i = 0; i < runs; ++i)
        times.push_back(once());
    return times;
}

// (a) The first level of "Used by": the page's Build against filling a model and attaching it.
Result FirstLevel(const ProjectScan& scan, int runs) {
    const TreeFilters filters;
    const int rows = scan.FUnits.Count();
    Result r;
    r.Lazy = Median(TimeRuns(runs, [&] {
        TreePage page(const_cast<ProjectScan&>(scan), filters, tdUsedBy);
        ShowAndWait(page);
        const auto start = Clock::now();
        page.Build();
        Settle(*page.Tree());
        const double ms = Ms(Clock::now() - start);
        if (page.Model()->rowCount() != rows)
            Fail("the used-by tree has the wrong number of rows");
        return ms;
    }));
    const std::vector<RowTexts> texts = RootTexts(scan);
    r.Standard = Median(TimeRuns(runs, [&] {
        QTreeView view;
        SetUpView(view);
        ShowAndWait(view);
        const auto start = Clock::now();
        QStandardItemModel* model = StandardModel(texts, &view);
        view.setModel(model);
        SizeSections(view);
        Settle(view);
        const double ms = Ms(Clock::now() - start);
        if (model->rowCount() != rows)
            Fail("the standard model has the wrong number of rows");
        return ms;
    }));
    return r;
}

int HubRow(const ProjectScan& scan) {
    for (int i = 0; i < scan.FUnits.Count(); ++i)
        if (scan.FUnits[i] == "HubBase")
            return i;
    Fail("HubBase was not scanned");
}

struct ExpandResult {
    double Lazy = 0, AppendRow = 0, InsertColumn = 0;
};

// (b) Expanding the hub: the page's lazy expansion against adding the rows to a standard
// model's item and expanding it, both with every root already shown.
ExpandResult Expansion(const ProjectScan& scan, int children, int runs) {
    const TreeFilters filters;
    const int hub = HubRow(scan);
    ExpandResult r;
    r.Lazy = Median(TimeRuns(runs, [&] {
        TreePage page(const_cast<ProjectScan&>(scan), filters, tdUsedBy);
        ShowAndWait(page);
        page.Build();
        const QModelIndex index = page.Model()->index(hub, 0);
        page.Tree()->scrollTo(index, QAbstractItemView::PositionAtTop);
        Settle(*page.Tree());
        const auto start = Clock::now();
        page.Tree()->expand(index);
        Settle(*page.Tree());
        const double ms = Ms(Clock::now() - start);
        if (page.Model()->rowCount(index) != children)
            Fail("the hub node has the wrong number of children");
        return ms;
    }));

    const std::vector<RowTexts> roots = RootTexts(scan);
    std::vector<RowTexts> users;
    for (int i = 0; i < scan.FUnits.Count(); ++i)
        if (IndexOfText(scan.FUnits.Objects(i)->Uses, "HubBase") >= 0)
            users.push_back(TextsOf(scan, *scan.FUnits.Objects(i), NodeImage::Unit));
    if (static_cast<int>(users.size()) != children)
        Fail("the hub project has the wrong number of users");

    // Two ways of filling an item: a row at a time, or the first column in one insertion
    // and then the other two columns.
    auto standard = [&](bool oneInsertion) {
        return Median(TimeRuns(runs, [&] {
            QTreeView view;
            SetUpView(view);
            QStandardItemModel* model = StandardModel(roots, &view);
            view.setModel(model);
            SizeSections(view);
            ShowAndWait(view);
            QStandardItem* item = model->item(hub);
            const QModelIndex index = item->index();
            view.scrollTo(index, QAbstractItemView::PositionAtTop);
            Settle(view);
            const auto start = Clock::now();
            if (oneInsertion) {
                QList<QStandardItem*> first;
                std::vector<QList<QStandardItem*>> rest;
                first.reserve(static_cast<qsizetype>(users.size()));
                for (const RowTexts& texts : users) {
                    QList<QStandardItem*> row = StandardRow(texts);
                    first.push_back(row[0]);
                    rest.push_back({row[1], row[2]});
                }
                item->setColumnCount(3);
                item->insertRows(0, first);
                for (size_t i = 0; i < rest.size(); ++i)
                    for (int c = 0; c < 2; ++c)
                        item->setChild(static_cast<int>(i), c + 1, rest[i][c]);
            } else {
                for (const RowTexts& texts : users)
                    item->appendRow(StandardRow(texts));
            }
            view.expand(index);
            Settle(view);
            const double ms = Ms(Clock::now() - start);
            if (model->rowCount(index) != children)
                Fail("the standard hub item has the wrong number of children");
            return ms;
        }));
    };
    r.AppendRow = standard(false);
    r.InsertColumn = standard(true);
    return r;
}

class SilentPrompts : public ut::gui::Prompts {
  public:
    void ErrorMessage(const QString&) override {}
    void Warning(const QString&) override {}
    bool Confirm(const QString&) override { return false; }
    QString OpenFileName(const QString&, const QString&, const QStringList&) override { return {}; }
};

struct ScanTimes {
    double Window = 0;
    double Cli = 0;
    int Lines = 0;
    double BeforeDialog = 0, Document = 0, Writing = 0; ///< (d)
};

// Answers the save dialog with a file of a temporary directory, noting when it was asked.
class SavingPrompts : public SilentPrompts {
  public:
    QString SaveFileName(const QString&, const QString&, const QStringList&) override {
        Asked = Clock::now();
        return File;
    }
    QString File;
    Clock::time_point Asked;
};

// (c): the window's scan (its front end, the log view shown, events processed between units)
// against the command line's front end writing the text log to /dev/null. Both run the
// default number of jobs.
ScanTimes WindowScan(const std::string& project, int runs) {
    std::vector<double> window, cli, beforeDialog, document, writing;
    int lines = 0;
    QTemporaryDir dir;
    for (int run = 0; run < runs; ++run) {
        {
            QSettings settings(dir.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat);
            SavingPrompts prompts;
            prompts.File = dir.filePath(QStringLiteral("result.json"));
            MainWindow::Options options;
            options.prompts = &prompts;
            MainWindow main(settings, options);
            ShowAndWait(main);
            main.Setup().projectEdit->setText(ToQt(project));
            const auto start = Clock::now();
            main.startScan();
            main.Setup().logView->viewport()->repaint();
            QCoreApplication::processEvents();
            window.push_back(Ms(Clock::now() - start));
            lines = main.Setup().logView->LineCount();
            if (main.Setup().logView->ShownText(lines - 1) != QStringLiteral("Done"))
                Fail("the window's scan did not end with \"Done\"");

            // (d) on a fresh analysis each time, as after a scan.
            main.Analysis().Invalidate();
            const auto exportStart = Clock::now();
            main.Export().exportResultAction->trigger();
            const auto exportEnd = Clock::now();
            if (QFileInfo(prompts.File).size() == 0)
                Fail("the export wrote nothing");
            beforeDialog.push_back(Ms(prompts.Asked - exportStart));
            writing.push_back(Ms(exportEnd - prompts.Asked));
            main.Analysis().Invalidate();
            const auto documentStart = Clock::now();
            if (main.Export().ResultDocument().empty())
                Fail("the result document is empty");
            document.push_back(Ms(Clock::now() - documentStart));
        }
        std::FILE* devNull = std::fopen("/dev/null", "w");
        if (!devNull)
            Fail("cannot open /dev/null");
        cli::CliFrontEnd frontEnd(devNull, stderr, true, false);
        ProjectScan scan(frontEnd);
        scan.Jobs = DefaultScanJobs();
        scan.Inputs.Project = project;
        const auto start = Clock::now();
        scan.ScanProject(project);
        std::fflush(devNull);
        cli.push_back(Ms(Clock::now() - start));
        std::fclose(devNull);
    }
    return {Median(window),       Median(cli),      lines,
            Median(beforeDialog), Median(document), Median(writing)};
}

void PrintRatio(const char* what, double lazy, double standard) {
    const double ratio = standard > 0 ? lazy / standard : 0;
    std::printf("%-44s lazy %8.2f ms   standard %8.2f ms   ratio %.2fx  (target <= 1x: %s)\n", what,
                lazy, standard, ratio, ratio <= 1.0 ? "met" : "NOT met");
}

// The offscreen platform warns of every window's size hints: keep the report readable.
void DropSizeHintWarnings(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (text.contains(QLatin1String("propagateSizeHints")))
        return;
    std::fprintf(stderr, "%s\n", qFormatLogMessage(type, context, text).toLocal8Bit().constData());
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(DropSizeHintWarnings);
    QApplication app(argc, argv);
    const Options o = ParseOptions(QCoreApplication::arguments());

    QuietFrontEnd frontEnd;
    const std::string project = GeneratedProject(o);
    auto scan = Scan(frontEnd, project);
    std::printf("corpus: %d units generated, %d scanned; median of %d runs, view %dx%d "
                "offscreen, timed through layout and paint\n",
                o.Units, scan->FUnits.Count(), o.Runs, ViewWidth, ViewHeight);
    const Result first = FirstLevel(*scan, o.Runs);
    char what[80];
    std::snprintf(what, sizeof what, "Used by, first level (%d rows):", scan->FUnits.Count());
    PrintRatio(what, first.Lazy, first.Standard);
    scan.reset();

    QTemporaryDir dir;
    if (!dir.isValid())
        Fail("cannot make a temporary directory");
    auto hubScan = Scan(frontEnd, HubProject(dir.path(), o.Children));
    const ExpandResult expand = Expansion(*hubScan, o.Children, o.Runs);
    std::printf("hub project: %d units scanned; standard fills: appendRow per row %.2f ms, "
                "one insertion then columns %.2f ms\n",
                hubScan->FUnits.Count(), expand.AppendRow, expand.InsertColumn);
    std::snprintf(what, sizeof what, "Expanding a node with %d children:", o.Children);
    PrintRatio(what, expand.Lazy, std::min(expand.AppendRow, expand.InsertColumn));

    const ScanTimes scanTimes = WindowScan(project, o.Runs);
    const double ratio = scanTimes.Cli > 0 ? scanTimes.Window / scanTimes.Cli : 0;
    std::printf("Scan in the window (%d log lines):           window %8.2f ms   cli %8.2f ms   "
                "ratio %.2fx  (target <= 1.5x: %s)\n",
                scanTimes.Lines, scanTimes.Window, scanTimes.Cli, ratio,
                ratio <= 1.5 ? "met" : "NOT met");
    std::printf("Export result (JSON): until the dialog %8.2f ms (target < 100 ms: %s); making "
                "the document, once done before it, %8.2f ms; writing after it %8.2f ms\n",
                scanTimes.BeforeDialog, scanTimes.BeforeDialog < 100 ? "met" : "NOT met",
                scanTimes.Document, scanTimes.Writing);
    return 0;
}
