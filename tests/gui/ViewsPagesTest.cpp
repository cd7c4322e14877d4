// The views at scale in the window: the "Matrix" page (grouping, closed groups that add up,
// the entries behind a cell, hover, a header's detail window) and the "Graph" page (the
// neighbourhood drawn, a click re-centres it).
#include "GuiTestSupport.h"

#include "gui/FileNameEdit.h"
#include "gui/GraphPage.h"
#include "gui/MatrixPage.h"
#include "gui/MatrixView.h"
#include "gui/UnitWindowList.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSpinBox>

namespace ut::gui::test {
namespace {

// P and Solo in the project's folder, A and B (which use each other) in lib/.
const char* const ProjectFiles[][2] = {
    {"P.dpr", "program P;\nuses A in 'lib/A.pas', B in 'lib/B.pas', Solo;\nbegin\nend.\n"},
    {"lib/A.pas", "unit A;\ninterface\nuses B;\nimplementation\nend.\n"},
    {"lib/B.pas", "unit B;\ninterface\nimplementation\nuses A;\nend.\n"},
    {"Solo.pas", "unit Solo;\ninterface\nuses A;\nimplementation\nend.\n"},
};

class ViewsPagesTest : public WindowTest {
  protected:
    void SetUp() override {
        ASSERT_TRUE(Dir.isValid());
        QDir(Dir.path()).mkdir(QStringLiteral("lib"));
        for (const auto& [name, text] : ProjectFiles)
            WriteFile(Dir.filePath(QString::fromLatin1(name)), text);
        Open();
        Window->resize(900, 600);
        Page().projectEdit->setText(Dir.filePath(QStringLiteral("P.dpr")));
        Window->startScan();
        ASSERT_EQ(Log().back(), QStringLiteral("Done")) << Log().join(u'\n').toStdString();
    }
    MatrixPage& Matrix() { return *Window->matrixPage; }
    MatrixView& View() { return *Matrix().View(); }
    /// The row headers' names as the view draws them.
    QStringList Rows() {
        QStringList rows;
        for (int i = 0; Matrix().Matrix() && i < Matrix().Matrix()->LineCount(); ++i)
            rows << View().LineName(i);
        return rows;
    }
    void GroupBy(const QString& text) {
        Matrix().GroupCombo()->setCurrentIndex(Matrix().GroupCombo()->findText(text));
    }
    void Click(const QPoint& at) {
        QTest::mouseClick(View().viewport(), Qt::LeftButton, Qt::NoModifier, at);
    }
    QStringList Entries() {
        QStringList items;
        for (int i = 0; i < Matrix().EntryList()->count(); ++i)
            items << Matrix().EntryList()->item(i)->text();
        return items;
    }

    QTemporaryDir Dir;
};

TEST_F(ViewsPagesTest, GroupingChangesTheRowsAndAClosedGroupsCellAddsUpItsMembers) {
    ShowPage(pgMatrix);
    EXPECT_EQ(Rows(), QStringList({"A", "B", "Solo", "P"}));
    GroupBy(QStringLiteral("Folder"));
    EXPECT_EQ(Rows(), QStringList({"lib (2 units)", ". (2 units)"}));
    const MatrixCell closed = Matrix().Matrix()->Cell(1, 0);
    Click(View().ExpanderCentre(1));
    EXPECT_EQ(Rows(), QStringList({"lib (2 units)", "Solo", "P"}));
    const MatrixCell solo = Matrix().Matrix()->Cell(1, 0), p = Matrix().Matrix()->Cell(2, 0);
    EXPECT_EQ(closed, (MatrixCell{3, 0}));
    EXPECT_EQ(closed.Interface, solo.Interface + p.Interface);
    Click(View().ExpanderCentre(1)); // the open group's first row closes it again
    EXPECT_EQ(Rows(), QStringList({"lib (2 units)", ". (2 units)"}));
}

TEST_F(ViewsPagesTest, ACellClickListsItsEntriesAndHoverMarksItsRowAndColumn) {
    ShowPage(pgMatrix);
    GroupBy(QStringLiteral("Folder"));
    const QPoint cell = View().CellCentre(1, 0);
    QTest::mouseMove(View().viewport(), cell);
    EXPECT_EQ(std::make_pair(View().HoverRow(), View().HoverColumn()), std::make_pair(1, 0));
    Click(cell);
    EXPECT_EQ(Entries(), QStringList({"Solo -> A  interface, Solo.pas:3",
                                      "P -> A  interface, P.dpr:2", "P -> B  interface, P.dpr:2"}));
    // Within lib: B's implementation entry, then A's interface entry.
    Click(View().ExpanderCentre(0));
    Click(View().CellCentre(1, 0));
    EXPECT_EQ(Entries(), QStringList({"B -> A  implementation, B.pas:4"}));
}

TEST_F(ViewsPagesTest, HeaderClickCentresTheGraphAndDoubleClickOpensTheDetailWindow) {
    ShowPage(pgMatrix);
    const QPoint solo = View().RowHeaderCentre(2);
    Click(solo);
    QTest::mouseDClick(View().viewport(), Qt::LeftButton, Qt::NoModifier, solo);
    EXPECT_NE(Window->UnitWindows().Find(Window->Scan().FindUnit("Solo"), tdUses), nullptr);
    EXPECT_EQ(Window->graphPage->Centre(), QStringLiteral("Solo"));
}

TEST_F(ViewsPagesTest, GraphDrawsTheNeighbourhoodAndAClickMakesAUnitTheCentre) {
    ShowPage(pgGraph);
    GraphPage& graph = *Window->graphPage;
    QLineEdit* unit = graph.findChild<QLineEdit*>(QStringLiteral("graphUnitEdit"));
    unit->setText(QStringLiteral("a"));
    QTest::keyClick(unit, Qt::Key_Return);
    EXPECT_EQ(graph.UnitNames(), QStringList({"A", "B", "P", "Solo"}));
    EXPECT_EQ(graph.EdgeTexts(), QStringList({"A -> B (red)", "B -> A (red) (dashed)", "P -> A",
                                              "P -> B", "P -> Solo", "Solo -> A"}));
    QTest::mouseClick(graph.View()->viewport(), Qt::LeftButton, Qt::NoModifier,
                      graph.UnitPosition(QStringLiteral("Solo")));
    EXPECT_EQ(graph.UnitNames(), QStringList({"Solo", "A", "P"}));
    graph.StepsBox()->setValue(2);
    EXPECT_EQ(graph.UnitNames(), QStringList({"Solo", "A", "P", "B"}));
}

} // namespace
} // namespace ut::gui::test
