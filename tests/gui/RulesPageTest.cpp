// The rules in the window: the "Rules" page, the files chosen on the Setup page and kept per
// project, and the violating uses entries marked in the trees.
#include "GuiTestSupport.h"
#include "TreeTestProject.h"

#include "gui/FileNameEdit.h"
#include "gui/RulesPage.h"
#include "gui/TreePage.h"
#include "gui/UnitTreeModel.h"
#include "gui/UnitWindow.h"
#include "gui/UnitWindowList.h"

#include <QHeaderView>
#include <QLabel>
#include <QTreeView>
#include <QTreeWidget>

namespace ut::gui::test {
namespace {

// P uses A, C and Solo; A uses B; C uses D and Solo; D uses C in its implementation.
// The baseline knows C -> Solo; P reaches D through C.
const char* const ProjectFiles[][2] = {
    {"P.dpr", "program P;\nuses A in 'A.pas', C in 'C.pas', Solo;\nbegin\nend.\n"},
    {"A.pas", "unit A;\ninterface\nuses B;\nimplementation\nend.\n"},
    {"B.pas", "unit B;\ninterface\nimplementation\nend.\n"},
    {"C.pas", "unit C;\ninterface\nuses\n  D,\n  Solo;\nimplementation\nend.\n"},
    {"D.pas", "unit D;\ninterface\nimplementation\nuses C;\nend.\n"},
    {"Solo.pas", "unit Solo;\ninterface\nimplementation\nend.\n"},
    {"rules.toml", "[[forbid]]\nname = \"p-not-d\"\nfrom = \"P\"\nto = \"D\"\nreach = true\n"
                   "[[forbid]]\nname = \"c-not-solo\"\nfrom = \"C\"\nto = \"Solo\"\n"
                   "[[forbid]]\nname = \"a-not-b\"\nfrom = \"A\"\nto = \"B\"\n"
                   "severity = \"warn\"\n"},
    {"known.txt", "c-not-solo: C -> Solo\n"},
    {"broken.toml", "[[forbid]]\nname = \"x\"\nfrom = 3\n"},
};

class RulesPageTest : public WindowTest {
  protected:
    void SetUp() override {
        ASSERT_TRUE(Dir.isValid());
        for (const auto& [name, text] : ProjectFiles)
            WriteFile(Dir.filePath(QString::fromLatin1(name)), text);
        Open();
        Window->resize(800, 500);
        Page().projectEdit->setText(Dir.filePath(QStringLiteral("P.dpr")));
        Page().rulesFileEdit->setText(QStringLiteral("rules.toml"));
        Page().baselineEdit->setText(QStringLiteral("known.txt"));
        Window->startScan();
        ASSERT_EQ(Log().back(), QStringLiteral("Done")) << Log().join(u'\n').toStdString();
    }
    /// The rows of the page as "rule|severity|from|to|location|baseline".
    QStringList Rows() {
        ShowPage(pgRules);
        QTreeWidget& list = *Window->rulesPage->List();
        QStringList rows;
        for (int i = 0; i < list.topLevelItemCount(); ++i) {
            QStringList cells;
            for (int c = 0; c < list.columnCount(); ++c)
                cells << list.topLevelItem(i)->text(c);
            rows << cells.join(u'|');
        }
        return rows;
    }
    QString Summary() { return Window->rulesPage->Summary()->text(); }

    QTemporaryDir Dir;
};

TEST_F(RulesPageTest, ListsTheViolationsInFileOrderWithTheBaselineVerdictAndSortsByColumn) {
    const QStringList inFileOrder = {"p-not-d|error|P|D|P.dpr:2|new",
                                     "c-not-solo|error|C|Solo|C.pas:5|known",
                                     "a-not-b|warn|A|B|A.pas:3|new"};
    EXPECT_EQ(Rows(), inFileOrder);
    EXPECT_EQ(Summary(), "Rules of rules.toml: Baseline: 1 known, 0 fixed, 2 new");
    ClickSection(Window->rulesPage->List()->header(), RulesPage::RuleCol);
    EXPECT_EQ(Rows(), (QStringList{inFileOrder[2], inFileOrder[1], inFileOrder[0]}));

    QTreeWidget& list = *Window->rulesPage->List();
    DoubleClick(&list, list.model()->index(1, 0));
    ASSERT_EQ(Window->UnitWindows().Windows().size(), 1);
    EXPECT_EQ(Window->UnitWindows().Windows().front()->Unit(), Window->Scan().FindUnit("C"));
}

TEST_F(RulesPageTest, ViolatingEntriesAreRedInBothTreesWithTheRulesInTheirTooltip) {
    ShowPage(pgUses);
    TreePage& uses = *Window->usesPage;
    const UnitTreeModel& model = *uses.Model();
    const QModelIndex c = gui::testing::Child(model, model.index(0, 0), "C");
    uses.Tree()->expand(c);
    const QColor red = UnitTreeModel::ViolationColor();
    struct Row {
        const char* Name;
        QModelIndex Node;
        QVariant Colour;
        QString Tip;
    } rows[] = {
        {"the project's entry that starts a reach", c, red,
         "Breaks p-not-d (error, new): reaches D through C\nIn a cycle of 2 units: C, D"},
        {"a known violation", gui::testing::Child(model, c, "Solo"), red,
         "Breaks c-not-solo (error, known)"},
        {"the same unit used lawfully", gui::testing::Child(model, model.index(0, 0), "Solo"),
         QVariant(), QString()},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        EXPECT_EQ(row.Node.data(Qt::ForegroundRole), row.Colour);
        EXPECT_EQ(row.Node.data(Qt::ToolTipRole).toString(), row.Tip);
    }
    ShowPage(pgUsedBy);
    const UnitTreeModel& usedBy = *Window->usedByPage->Model();
    const QModelIndex b = gui::testing::Child(usedBy, {}, "B");
    Window->usedByPage->Tree()->expand(b);
    EXPECT_EQ(gui::testing::Child(usedBy, b, "A").data(Qt::ToolTipRole).toString(),
              "Breaks a-not-b (warn, new)");

    Page().rulesFileEdit->clear(); // no rules: the cycle's mark is back
    EXPECT_EQ(c.data(Qt::ForegroundRole), QVariant(UnitTreeModel::CycleColor()));
}

TEST_F(RulesPageTest, ABrokenRulesFileIsToldOnThePageAndTheFilesAreKeptPerProject) {
    Page().rulesFileEdit->setText(QStringLiteral("broken.toml"));
    EXPECT_EQ(Rows(), QStringList());
    EXPECT_TRUE(Summary().contains(QStringLiteral("broken.toml:3:"))) << Summary().toStdString();

    const QString project = Page().projectEdit->text();
    Page().projectEdit->setText(Dir.filePath(QStringLiteral("A.pas")));
    EXPECT_EQ(Page().rulesFileEdit->text(), QString());
    Page().projectEdit->setText(project);
    EXPECT_EQ(Page().rulesFileEdit->text(), "broken.toml");
    EXPECT_EQ(Page().baselineEdit->text(), "known.txt");
    Window->SaveSettings();
    auto saved = Settings.Reopen();
    EXPECT_EQ(saved->value("Main.ProjectChoices/Project0").toString(), project);
    EXPECT_EQ(saved->value("Main.ProjectChoices/RulesFile0").toString(), "broken.toml");
    EXPECT_EQ(saved->value("Main.ProjectChoices/Baseline0").toString(), "known.txt");
}

} // namespace
} // namespace ut::gui::test
