// The analysis in the window: cycle marks in the trees, the "Cycles" page, the why-path of a
// detail window, the "Exclusive" column, the exports of the "File" menu, and the analysis
// following the records through a pruning command and a new scan.
#include "GuiTestSupport.h"
#include "TreeTestProject.h"

#include "../cli/CliCapture.h"
#include "gui/CyclesPage.h"
#include "gui/FileNameEdit.h"
#include "gui/ResultExport.h"
#include "gui/ScanAnalysis.h"
#include "gui/ScanHygiene.h"
#include "gui/TreeCommands.h"
#include "gui/TreePage.h"
#include "gui/UnitTreeModel.h"
#include "gui/UnitWindow.h"
#include "gui/UnitWindowList.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QStatusBar>
#include <QStyle>
#include <QTreeView>
#include <QTreeWidget>

#include <cstdlib>

namespace ut::gui::test {
namespace {

// P: A, C, Solo. A and B use each other in their interfaces (the compiler rejects that);
// C uses D in its interface, D uses C in its implementation (legal). Sizes from P.map:
// P 256, A 2304, B 1024, C 2048, D 4096, Solo 64; so A is larger than C, but C brings
// 6144 bytes with it (D only through C) and A 3328.
const char* const ProjectFiles[][2] = {
    {"P.dpr", "program P;\nuses A in 'A.pas', C in 'C.pas', Solo;\nbegin\nend.\n"},
    {"A.pas", "unit A;\ninterface\nuses B;\nimplementation\nend.\n"},
    {"B.pas", "unit B;\ninterface\nuses A;\nimplementation\nend.\n"},
    {"C.pas", "unit C;\ninterface\nuses D, Solo;\nimplementation\nend.\n"},
    {"D.pas", "unit D;\ninterface\nimplementation\nuses C;\nend.\n"},
    {"Solo.pas", "unit Solo;\ninterface\nimplementation\nend.\n"},
    {"P.dof", "[Directories]\nOutputDir=\nSearchPath=\nConditionals=\n"},
    {"P.map", "Detailed map of segments\n\n"
              " 0001:00000000 00000100 C=CODE S=.text G=(none) M=P ACBP=A9\n"
              " 0001:00000100 00000900 C=CODE S=.text G=(none) M=A ACBP=A9\n"
              " 0001:00000A00 00000400 C=CODE S=.text G=(none) M=B ACBP=A9\n"
              " 0001:00000E00 00000800 C=CODE S=.text G=(none) M=C ACBP=A9\n"
              " 0001:00001600 00001000 C=CODE S=.text G=(none) M=D ACBP=A9\n"
              " 0001:00002600 00000040 C=CODE S=.text G=(none) M=Solo ACBP=A9\n"},
};

class RecordingPrompts : public FakePrompts {
  public:
    QString SaveFileName(const QString&, const QString& fileName, const QStringList&) override {
        SuggestedFile = fileName;
        Events << QStringLiteral("asked");
        return SaveAs;
    }
    QString SuggestedFile, SaveAs;
    QStringList Events; ///< the dialogs and the status line's messages, in order
};

class AnalysisViewsTest : public WindowTest {
  protected:
    void SetUp() override {
        WindowTest::SetUp();
        ASSERT_TRUE(Dir.isValid());
        for (const auto& [name, text] : ProjectFiles)
            WriteFile(Dir.filePath(QString::fromLatin1(name)), text);
        MainWindow::Options options;
        options.prompts = &Saving;
        Window = std::make_unique<MainWindow>(Settings.Settings(), options);
        Window->show();
        Window->resize(800, 500);
        Scan(Project());
    }

    QString Project() const { return Dir.filePath(QStringLiteral("P.dpr")); }
    void Scan(const QString& project) {
        Page().projectEdit->setText(project);
        Window->startScan();
        ASSERT_EQ(Log().back(), QStringLiteral("Done")) << Log().join(u'\n').toStdString();
    }
    TUnit* Unit(const char* key) { return Window->Scan().FindUnit(key); }

    /// A node of the uses tree below the project.
    QModelIndex UsesChild(const QString& text) {
        ShowPage(pgUses);
        const UnitTreeModel& model = *Window->usesPage->Model();
        return gui::testing::Child(model, model.index(0, 0), text);
    }
    /// The cycle rows of the "Cycles" page with their units: "1: 2 units, ...|A|B".
    QStringList CycleRows() {
        ShowPage(pgCycles);
        QTreeWidget& list = *Window->cyclesPage->List();
        QStringList rows;
        for (int i = 0; i < list.topLevelItemCount(); ++i) {
            QStringList row{list.topLevelItem(i)->text(0)};
            for (int k = 0; k < list.topLevelItem(i)->childCount(); ++k)
                row << list.topLevelItem(i)->child(k)->text(0);
            rows << row.join(u'|');
        }
        return rows;
    }

    /// The header and rows of the cut list: a group's title, then its entries' columns
    /// joined by '|'.
    QStringList CutRows() {
        const QTreeWidget& cuts = *Window->cyclesPage->CutList();
        QStringList rows{Window->cyclesPage->CutsHeader()->text()};
        for (int i = 0; i < cuts.topLevelItemCount(); ++i) {
            rows << cuts.topLevelItem(i)->text(0);
            for (int k = 0; k < cuts.topLevelItem(i)->childCount(); ++k) {
                QStringList columns;
                for (int c = 0; c < cuts.columnCount(); ++c)
                    columns << cuts.topLevelItem(i)->child(k)->text(c);
                rows << columns.join(u'|');
            }
        }
        return rows;
    }

    QTemporaryDir Dir;
    RecordingPrompts Saving;
};

TEST_F(AnalysisViewsTest, CycleMembersAreColouredAndExplainedInBothTrees) {
    const QModelIndex a = UsesChild("A");
    Window->usesPage->Tree()->expand(UsesChild("C"));
    const QModelIndex d = Window->usesPage->Model()->index(0, 0, UsesChild("C"));
    struct Row {
        QModelIndex Node;
        QVariant Colour;
        QString Tip;
    } rows[] = {
        {a, UnitTreeModel::InterfaceCycleColor(),
         "In a circular unit reference of 2 units, which the compiler rejects: A, B"},
        {d, UnitTreeModel::CycleColor(), "In a cycle of 2 units: C, D"},
        {UsesChild("Solo"), QVariant(), QString()},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Node.data().toString().toStdString());
        EXPECT_EQ(row.Node.data(Qt::ForegroundRole), row.Colour);
        EXPECT_EQ(row.Node.data(Qt::ToolTipRole).toString(), row.Tip);
    }
    ShowPage(pgUsedBy);
    const UnitTreeModel& usedBy = *Window->usedByPage->Model();
    EXPECT_EQ(gui::testing::Child(usedBy, {}, "B").data(Qt::ForegroundRole),
              UnitTreeModel::InterfaceCycleColor());
}

TEST_F(AnalysisViewsTest, CyclesPageListsEachCycleAndOpensTheWindowOfAUnitWithItsWhyPath) {
    EXPECT_EQ(CycleRows(),
              QStringList({"1: 2 units, a circular unit reference: the compiler rejects it|A|B",
                           "2: 2 units, through implementation uses|C|D"}));
    QTreeWidget& list = *Window->cyclesPage->List();

    DoubleClick(&list, list.indexFromItem(list.topLevelItem(1)->child(1)));
    ASSERT_EQ(Window->UnitWindows().Windows().size(), 1);
    UnitWindow* window = Window->UnitWindows().Find(Unit("D"), tdUses);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Unit D uses:"));
    EXPECT_EQ(window->whyView->toPlainText(),
              QStringLiteral("Why D (1 shortest path):\n  P -> C  (interface, %1:2)\n"
                             "  C -> D  (interface, %2:3)")
                  .arg(Dir.filePath("P.dpr"), Dir.filePath("C.pas")));
}

// Guards against icons clipped by rows as high as a cycle's row (which has no icon).
TEST_F(AnalysisViewsTest, CyclesPageRowsAreAsHighAsTheirIcons) {
    QTreeWidget& list = *Window->cyclesPage->List();
    QFont small = list.font();
    small.setPixelSize(6);
    list.setFont(small);
    ASSERT_EQ(CycleRows().size(), 2);
    const int icon = list.style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, &list);
    for (int i = 0; i < list.topLevelItemCount(); ++i)
        for (int k = 0; k < list.topLevelItem(i)->childCount(); ++k)
            EXPECT_GE(list.visualItemRect(list.topLevelItem(i)->child(k)).height(), icon)
                << list.topLevelItem(i)->child(k)->text(0).toStdString();
}

// Guards against a detail window at 225 x 333 whatever it shows: its caption elided, its
// why-path scrolled sideways. The size the user gives one is kept for the next ones.
TEST_F(AnalysisViewsTest, DetailWindowOpensAtTheSizeOfItsContentOrAtTheUsersSize) {
    UnitWindowList& windows = Window->UnitWindows();
    windows.showUnitWindow(Unit("D"), tdUsedBy);
    UnitWindow* window = windows.Windows().front();
    QCoreApplication::processEvents();
    EXPECT_GE(window->width(), window->fontMetrics().horizontalAdvance(window->windowTitle()));
    EXPECT_EQ(window->whyView->horizontalScrollBar()->maximum(), 0);
    EXPECT_EQ(window->whyView->verticalScrollBar()->maximum(), 0);
    window->resize(window->width() + 40, window->height() + 30);
    const QSize chosen = window->size();
    QTest::keyClick(window->whyView, Qt::Key_Escape);
    windows.showUnitWindow(Unit("C"), tdUsedBy);
    EXPECT_EQ(windows.Windows().front()->size(), chosen);
    Window->close();
    EXPECT_EQ(Settings.Reopen()->value("Main/UnitWindowSize").toString(),
              QStringLiteral("%1,%2").arg(chosen.width()).arg(chosen.height()));
}

TEST_F(AnalysisViewsTest, ExclusiveColumnShowsAndSortsTheLargestFirst) {
    TreePage& page = *Window->usesPage;
    ShowPage(pgUses);
    const QModelIndex root = page.Model()->index(0, 0);
    EXPECT_EQ(gui::testing::ChildTexts(*page.Model(), root, UnitTreeModel::ExclusiveCol),
              QStringList({"3328", "6144", "64"}));
    ClickSection(page.Header(), UnitTreeModel::ExclusiveCol); // the largest first
    EXPECT_EQ(gui::testing::ChildTexts(*page.Model(), root, 0), QStringList({"C", "A", "Solo"}));
}

TEST_F(AnalysisViewsTest, CyclesPageShowsTheSelectedCyclesCutsAndOpensTheUsingUnit) {
    CycleRows();
    const QString b = Dir.filePath("B.pas"), d = Dir.filePath("D.pas");
    const QString counted = " (each entry counted as one reference: the uses hygiene has not run)";
    EXPECT_EQ(CutRows(),
              QStringList({"Cycle 1, the cheapest cut" + counted, "Cut: 1 entry, 1 reference",
                           "B -> A|interface|" + b + ":3|1 reference||",
                           "Move to the implementation: 1 entry, 1 reference",
                           "B -> A|interface|" + b + ":3|1 reference||"}));
    QTreeWidget& list = *Window->cyclesPage->List();
    list.setCurrentItem(list.topLevelItem(1)->child(1)); // D: its cycle's cuts
    EXPECT_EQ(CutRows(),
              QStringList({"Cycle 2, the cheapest cut" + counted, "Cut: 1 entry, 1 reference",
                           "D -> C|implementation|" + d + ":4|1 reference||"}));

    // Judged, the entries cost the references the hygiene counted.
    ASSERT_TRUE(Window->Hygiene().Judge());
    EXPECT_EQ(CutRows().front(),
              "Cycle 2, the cheapest cut (references counted by the uses hygiene)");

    // The hygiene's costs: C's entry of D is the cheaper one to cut; A's entry of B moves.
    Window->cyclesPage->Costs = [](const UnitGraph& graph) {
        EntryCosts costs;
        costs.Set(graph.Find("C"), graph.Find("D"), {2, {"TD", "Run"}, false, true});
        costs.Set(graph.Find("D"), graph.Find("C"), {4, {"TC"}, false, true});
        costs.Set(graph.Find("A"), graph.Find("B"), {3, {"TB"}, true, true});
        return std::optional<EntryCosts>(costs);
    };
    Window->cyclesPage->CostsChanged();
    EXPECT_EQ(CutRows(), QStringList({"Cycle 2, the cheapest cut (references counted by the "
                                      "uses hygiene)",
                                      "Cut: 1 entry, 2 references",
                                      "C -> D|interface|" + Dir.filePath("C.pas") +
                                          ":3|2 references|TD, Run|"}));
    list.setCurrentItem(list.topLevelItem(0));
    EXPECT_EQ(CutRows().mid(3), QStringList({"Move to the implementation: 1 entry, 3 references",
                                             "A -> B|interface|" + Dir.filePath("A.pas") +
                                                 ":3|3 references|TB|movable"}));
    list.setCurrentItem(list.topLevelItem(1));
    QTreeWidget& cuts = *Window->cyclesPage->CutList();
    DoubleClick(&cuts, cuts.indexFromItem(cuts.topLevelItem(0)->child(0)));
    ASSERT_EQ(Window->UnitWindows().Windows().size(), 1);
    EXPECT_NE(Window->UnitWindows().Find(Unit("C"), tdUses), nullptr);
}

TEST_F(AnalysisViewsTest, RecompileAndLevelColumnsShowAndSortTheLargestFirst) {
    TreePage& page = *Window->usesPage;
    ShowPage(pgUses);
    const QModelIndex root = page.Model()->index(0, 0);
    const UnitTreeModel& model = *page.Model();
    // Solo: C (interface), P, and D through C (implementation); A: B and P. A and B use no
    // other unit; C's cycle uses Solo.
    EXPECT_EQ(gui::testing::ChildTexts(model, root, UnitTreeModel::RecompileCol),
              QStringList({"2", "2", "3"}));
    EXPECT_EQ(gui::testing::ChildTexts(model, root, UnitTreeModel::LevelCol),
              QStringList({"0", "1", "0"}));
    ClickSection(page.Header(), UnitTreeModel::RecompileCol);
    EXPECT_EQ(gui::testing::ChildTexts(model, root, 0), QStringList({"Solo", "A", "C"}));
    ClickSection(page.Header(), UnitTreeModel::LevelCol);
    EXPECT_EQ(gui::testing::ChildTexts(model, root, 0), QStringList({"C", "Solo", "A"}));
    EXPECT_EQ(page.Header()->sortIndicatorOrder(), Qt::DescendingOrder);
    ClickSection(page.Header(), UnitTreeModel::LevelCol);
    EXPECT_EQ(gui::testing::ChildTexts(model, root, 0), QStringList({"Solo", "A", "C"}));
}

TEST_F(AnalysisViewsTest, PruningAndANewScanRebuildTheAnalysis) {
    ShowPage(pgUses);
    Window->Commands().RemoveUnit(Unit("B"));
    QCoreApplication::processEvents();
    // The page on screen lists again at once; the trees no longer mark A.
    EXPECT_EQ(CycleRows(), QStringList({"1: 2 units, through implementation uses|C|D"}));
    EXPECT_FALSE(UsesChild("A").data(Qt::ForegroundRole).isValid());
    EXPECT_EQ(UsesChild("A").siblingAtColumn(UnitTreeModel::ExclusiveCol).data().toString(),
              QStringLiteral("2304"));

    Scan(QString::fromUtf8(UNITRACE_FIXTURES "/gui/Proj/Proj.dpr"));
    EXPECT_EQ(CycleRows(), QStringList({"No cycles among the 4 parsed units"}));
}

TEST_F(AnalysisViewsTest, FileMenuExportsTheGraphAndTheCommandLinesResult) {
    // The menu offers the exports once a scan is done.
    auto enabled = [](MainWindow& window) {
        QMenu& menu = *window.Export().fileMenu;
        menu.popup({0, 0});
        QStringList texts;
        for (const QAction* action : menu.actions())
            if (action->isEnabled() && !action->isSeparator())
                texts << action->text();
        menu.hide();
        return texts;
    };
    EXPECT_EQ(enabled(*Make(Settings.Settings())), QStringList({"&Quit"}));
    EXPECT_EQ(enabled(*Window),
              QStringList({"Export &graph (DOT)...", "Export &result (JSON)...", "&Quit"}));
    ResultExport& exports = Window->Export();
    Saving.SaveAs = Dir.filePath("out.json");
    // The file is asked for before the document is made (which froze the window on a large
    // project), then written under the wait cursor while the status line says so.
    QObject::connect(Window->statusBar, &QStatusBar::messageChanged, Window.get(),
                     [this](const QString& text) {
                         const QCursor* cursor = QGuiApplication::overrideCursor();
                         Saving.Events << (cursor && cursor->shape() == Qt::WaitCursor
                                               ? QStringLiteral("waiting: ")
                                               : QString()) +
                                              text;
                     });
    exports.exportResultAction->trigger();
    EXPECT_EQ(Saving.SuggestedFile, Dir.filePath("P.json"));
    EXPECT_EQ(Saving.Events, QStringList({"asked", "waiting: Writing " + Saving.SaveAs + "...",
                                          "Written: " + Saving.SaveAs}));

    // The command line's document for the same project, without a compiler installation
    // (the window has none here either).
    const char* home = std::getenv("HOME");
    const std::string savedHome = home ? home : "";
    setenv("HOME", Dir.path().toUtf8().constData(), 1);
    int exitCode = -1;
    const std::string expected =
        uttest::RunCapture({"--format", "json", Project().toStdString()}, exitCode);
    setenv("HOME", savedHome.c_str(), 1);
    ASSERT_EQ(exitCode, 0);
    EXPECT_EQ(ReadFile(Saving.SaveAs).toStdString(), expected);

    Saving.SaveAs = Dir.filePath("graph.dot");
    exports.exportGraphAction->trigger();
    const QString graph = QString::fromUtf8(ReadFile(Saving.SaveAs));
    EXPECT_TRUE(graph.contains(QStringLiteral("\"A\" -> \"B\" [style=bold, color=red]")))
        << graph.toStdString();

    Saving.SaveAs = Dir.filePath("no/such/dir/graph.dot");
    exports.exportGraphAction->trigger();
    ASSERT_EQ(Saving.Errors.size(), 1);
    EXPECT_TRUE(
        Saving.Errors[0].startsWith(QStringLiteral("Cannot write \"%1\": ").arg(Saving.SaveAs)))
        << Saving.Errors[0].toStdString();
}

} // namespace
} // namespace ut::gui::test
