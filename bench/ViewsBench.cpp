// The views at scale on a generated project, headless, in one run:
//   (a) the "Matrix" page grouped by folder: building it, and painting a full view of it
//       with its groups closed, with every group open (scrolled to the middle), and by units;
//   (b) the "Graph" page: Graphviz's layout of the neighbourhood of the unit most used, and
//       of a unit of the middle layer, one and two steps out;
// and pictures of both pages into OUTDIR. The median of RUNS runs counts.
//
//   bench_views PROJECT OUTDIR [RUNS]
#include "analysis/Neighbourhood.h"
#include "gui/FileNameEdit.h"
#include "gui/GraphLayout.h"
#include "gui/GraphPage.h"
#include "gui/MainWindow.h"
#include "gui/MatrixPage.h"
#include "gui/MatrixView.h"
#include "gui/Pager.h"
#include "gui/Prompts.h"
#include "gui/QtText.h"
#include "gui/ScanAnalysis.h"
#include "gui/SetupPage.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QScrollBar>
#include <QSettings>
#include <QSpinBox>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

using namespace ut;
using namespace ut::gui;
using Clock = std::chrono::steady_clock;

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

double TimeMs(int runs, const std::function<void()>& step) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const auto start = Clock::now();
        step();
        times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    return Median(times);
}

void Settle() {
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench_views PROJECT OUTDIR [RUNS]\n");
        return 2;
    }
    const QString project = QString::fromLocal8Bit(argv[1]);
    const QString out = QDir(QString::fromLocal8Bit(argv[2])).absolutePath();
    const int runs = argc > 3 ? std::max(1, std::atoi(argv[3])) : 9;
    QDir().mkpath(out);

    QTemporaryDir scratch;
    QSettings settings(scratch.filePath(QStringLiteral("s.ini")), QSettings::IniFormat);
    ConsolePrompts prompts;
    MainWindow::Options options;
    options.prompts = &prompts;
    MainWindow window(settings, options);
    window.resize(1280, 800);
    window.show();
    Settle();
    window.Setup().projectEdit->setText(project);
    window.startScan();
    const DependencyAnalysis* analysis = window.Analysis().Get();
    if (!analysis) {
        std::fprintf(stderr, "bench_views: the scan of %s gave no result\n", qPrintable(project));
        return 1;
    }
    const UnitGraph& graph = analysis->Graph();
    std::printf("%d units, %zu cycles\n", graph.Count(), analysis->Cycles().Cycles.size());

    // (a) The matrix.
    window.PagerControl().setCurrentIndex(pgMatrix);
    Settle();
    MatrixPage& page = *window.matrixPage;
    MatrixView& view = *page.View();
    QComboBox& combo = *page.GroupCombo();
    auto group = [&](GroupBy by) { combo.setCurrentIndex(combo.findData(int(by))); };
    auto paint = [&] { view.viewport()->repaint(); };
    // A full view's paint where the matrix is sparse (top left: the lowest levels, which use
    // little) and where it is dense (bottom left: the top levels' rows against the lowest
    // levels' columns); the slower counts.
    auto paintView = [&](const char* what) {
        double worst = 0;
        int cells = 0;
        for (const double fy : {0.0, 0.5, 1.0}) {
            view.horizontalScrollBar()->setValue(0);
            view.verticalScrollBar()->setValue(int(view.verticalScrollBar()->maximum() * fy));
            const double ms = TimeMs(runs, paint);
            if (ms >= worst)
                worst = ms, cells = view.PaintedCells();
        }
        std::printf("  %-28s %4d lines: full view painted in %.2f ms (%d cells)\n", what,
                    page.Matrix()->LineCount(), worst, cells);
    };
    std::printf("matrix page, window 1280x800 (median of %d runs):\n", runs);
    group(GroupBy::None);
    const double buildUnits = TimeMs(runs, [&] { group(GroupBy::Scope), group(GroupBy::None); });
    paintView("by units");
    group(GroupBy::Folder);
    const double buildFolders =
        TimeMs(runs, [&] { group(GroupBy::Scope), group(GroupBy::Folder); });
    paintView("by folder, folders closed");
    view.grab().save(out + QStringLiteral("/matrix-10k-folders.png"));
    const double openAll = TimeMs(runs, [&] {
        page.Matrix()->SetAllExpanded(false);
        page.Matrix()->SetAllExpanded(true);
        view.MatrixChanged();
    });
    paintView("by folder, every folder open");
    window.grab().save(out + QStringLiteral("/matrix-10k-open.png"));
    page.Matrix()->SetAllExpanded(false);
    view.MatrixChanged();
    view.verticalScrollBar()->setValue(0);
    view.horizontalScrollBar()->setValue(0);
    page.Matrix()->SetExpanded(page.Matrix()->GroupOrder().back(), true);
    view.MatrixChanged();
    Settle();
    window.grab().save(out + QStringLiteral("/matrix-10k.png"));
    std::printf("  regrouping (with a regrouping by scope): by units %.1f ms, by folder %.1f ms; "
                "opening every folder %.1f ms\n",
                buildUnits, buildFolders, openAll);

    // (b) The neighbourhood graph.
    std::vector<int> fanIn(static_cast<size_t>(graph.Count()), 0);
    for (const GraphNode& n : graph.Nodes())
        for (const UseEdge& e : n.Uses)
            ++fanIn[e.To];
    const int hub = int(std::max_element(fanIn.begin(), fanIn.end()) - fanIn.begin());
    const std::vector<int> levels = analysis->Levels();
    const int top = *std::max_element(levels.begin(), levels.end());
    int middle = -1;
    for (int v = 0; v < graph.Count() && middle < 0; ++v)
        if (levels[v] == top / 2 && fanIn[v] > 0 && !graph.Node(v).Uses.empty())
            middle = v;
    const QFontMetricsF fm(window.font());
    for (const int centre : {hub, middle}) {
        for (int steps = 1; steps <= 2; ++steps) {
            const Neighbourhood n = FindNeighbourhood(graph, analysis->Cycles(), centre, steps);
            GraphLayoutInput input;
            std::vector<int> at(static_cast<size_t>(graph.Count()), -1);
            for (size_t i = 0; i < n.Nodes.size(); ++i) {
                at[n.Nodes[i]] = int(i);
                input.Nodes.push_back({fm.horizontalAdvance(ToQt(graph.Node(n.Nodes[i]).Key)) + 16,
                                       fm.height() + 10});
            }
            for (const NeighbourEdge& e : n.Edges)
                input.Edges.push_back({at[e.From], at[e.To]});
            const double ms = TimeMs(runs, [&] { LayOutGraph(input); });
            std::printf("graph layout of %s, %d step%s: %zu units (%d left out), %zu edges: "
                        "%.1f ms\n",
                        graph.Node(centre).Key.c_str(), steps, steps == 1 ? "" : "s",
                        n.Nodes.size(), n.LeftOut, n.Edges.size(), ms);
        }
    }
    window.PagerControl().setCurrentIndex(pgGraph);
    window.graphPage->SetCentre(ToQt(graph.Node(middle).Key));
    window.graphPage->StepsBox()->setValue(2);
    window.graphPage->ShowResult();
    Settle();
    window.grab().save(out + QStringLiteral("/graph-10k.png"));
    std::printf("pictures in %s\n", qPrintable(out));
    return 0;
}
