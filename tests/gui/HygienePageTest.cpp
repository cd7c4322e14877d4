// The uses hygiene in the window: judged on demand or after each scan, its verdicts as
// badges and tooltips in the trees, the "Hygiene" page's rows, and the patch it saves.
#include "GuiTestSupport.h"
#include "HygieneProject.h"

#include "gui/FileNameEdit.h"
#include "gui/HygienePage.h"
#include "gui/NodeImages.h"
#include "gui/QtText.h"
#include "gui/ResultExport.h"
#include "gui/ScanHygiene.h"
#include "gui/TreePage.h"
#include "gui/UnitTreeModel.h"
#include "gui/UnitWindowList.h"
#include "report/UsesPatch.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTreeView>
#include <QTreeWidget>

#include <nlohmann/json.hpp>

namespace ut::gui::test {
namespace {

class SavingPrompts : public FakePrompts {
  public:
    QString SaveFileName(const QString&, const QString& fileName, const QStringList&) override {
        SuggestedFile = fileName;
        return SaveAs;
    }
    QString SuggestedFile, SaveAs;
};

class HygienePageTest : public WindowTest {
  protected:
    void SetUp() override {
        ASSERT_TRUE(Dir.isValid());
        uttest::WriteHygieneProject(FromQt(Dir.path()));
        MainWindow::Options options;
        options.prompts = &Saving;
        Window = std::make_unique<MainWindow>(Settings.Settings(), options);
        Window->show();
        Page().projectEdit->setText(Dir.filePath(QStringLiteral("Proj.dpr")));
    }
    HygienePage& Hygiene() { return *Window->hygienePage; }
    /// The texts of row `row` of the list, "|" between the columns.
    QString Row(int row) {
        QStringList texts;
        for (int c = 0; c < Hygiene().List()->columnCount(); ++c)
            texts << Hygiene().List()->topLevelItem(row)->text(c);
        return texts.join(u'|');
    }
    int RowOf(const QString& unit, const QString& entry) {
        for (int i = 0; i < Hygiene().List()->topLevelItemCount(); ++i)
            if (Row(i).startsWith(unit + u'|' + entry + u'|'))
                return i;
        return -1;
    }

    QTemporaryDir Dir;
    SavingPrompts Saving;
};

TEST_F(HygienePageTest, JudgedWhenThePageOpensNotByThePlainScan) {
    Window->startScan();
    EXPECT_EQ(Window->Hygiene().Get(), nullptr) << "the plain scan reads no more than before";
    ShowPage(pgHygiene);
    ASSERT_NE(Window->Hygiene().Get(), nullptr);
    const QString summary =
        QStringLiteral("Uses hygiene: 3 entries can go, 1 can move, 1 kept for start-up code, "
                       "3 unknown");
    EXPECT_EQ(Hygiene().SummaryLabel()->text(), summary);
    EXPECT_EQ(Log().back(), summary);
    EXPECT_EQ(Row(RowOf("Main", "Moved")),
              "Main|Moved|interface|move||Work (Main.pas:26)|Main.pas:6");
    EXPECT_EQ(Row(RowOf("Proj", "Spare")), "Proj|Spare|program|remove|||Proj.dpr:6");
    // The exported result carries the verdicts, as the command line's does.
    const auto doc = nlohmann::json::parse(Window->Export().ResultDocument());
    bool moved = false;
    for (const auto& unit : doc["units"])
        for (const auto& entry : unit["uses"])
            moved = moved || (entry["name"] == "Moved" && entry.value("verdict", "") == "move");
    EXPECT_TRUE(moved);

    // "Location" sorts lines as numbers: line 6 before line 20 of the same file.
    ClickSection(Hygiene().List()->header(), HygienePage::SiteCol);
    EXPECT_LT(RowOf("Main", "Things"), RowOf("Main", "Nowhere"));
    Hygiene().ShowKeptCheck()->setChecked(false);
    EXPECT_TRUE(Hygiene().List()->topLevelItem(RowOf("Main", "Things"))->isHidden());
    EXPECT_FALSE(Hygiene().List()->topLevelItem(RowOf("Main", "Moved"))->isHidden());

    QTreeWidgetItem* main = Hygiene().List()->topLevelItem(RowOf("Main", "Moved"));
    DoubleClick(Hygiene().List(), Hygiene().List()->indexFromItem(main));
    EXPECT_NE(Window->UnitWindows().Find(Window->Scan().FindUnit("Main"), tdUses), nullptr);
}

TEST_F(HygienePageTest, TheSetupBoxJudgesAfterTheScanAndTheTreesShowTheVerdicts) {
    Page().hygieneCheck->setChecked(true);
    Window->startScan();
    ASSERT_NE(Window->Hygiene().Get(), nullptr);
    ShowPage(pgUses);
    UnitTreeModel& model = *Window->usesPage->Model();
    const QModelIndex proj = model.index(0, 0);
    Window->usesPage->Tree()->expand(proj);
    auto child = [&](const QModelIndex& parent, const QString& text) {
        for (int i = 0; i < model.rowCount(parent); ++i)
            if (model.NodeText(model.index(i, 0, parent)) == text)
                return model.index(i, 0, parent);
        return QModelIndex();
    };
    const QModelIndex main = child(proj, "Main");
    Window->usesPage->Tree()->expand(main);
    const QModelIndex moved = child(main, "Moved"), things = child(main, "Things");
    EXPECT_EQ(moved.data(Qt::ToolTipRole).toString(),
              "move to the implementation: used there only\nWork at Main.pas:26");
    const auto pixels = [](const QVariant& icon) {
        return icon.value<QIcon>().pixmap(NodeImageSize, NodeImageSize).toImage();
    };
    EXPECT_EQ(pixels(moved.data(Qt::DecorationRole)),
              pixels(NodeIcon("Unit_Intf", false, "MoveOver")));
    EXPECT_EQ(pixels(child(proj, "Spare").data(Qt::DecorationRole)),
              pixels(NodeIcon("Unit_Intf", false, "RemoveOver")));
    EXPECT_EQ(pixels(things.data(Qt::DecorationRole)), pixels(NodeIcon("Unit_Intf", false)));
    EXPECT_EQ(things.data(Qt::ToolTipRole).toString(), "keep: used\nTThing at Main.pas:14");

    // The choice is kept for the next run.
    Window->SaveSettings();
    auto reopened = Settings.Reopen();
    auto next = Make(*reopened);
    next->RestoreSettings();
    EXPECT_TRUE(next->Setup().hygieneCheck->isChecked());
}

TEST_F(HygienePageTest, SavePatchWritesTheReportsBytesAndRefusesASourceChangedSinceRead) {
    Window->startScan();
    ShowPage(pgHygiene);
    Saving.SaveAs = Dir.filePath(QStringLiteral("uses.patch"));
    QTest::mouseClick(Hygiene().SavePatchButton(), Qt::LeftButton);
    const std::string expected = report::UsesPatch(Window->Scan(), *Window->Hygiene().Get());
    EXPECT_EQ(ReadFile(Saving.SaveAs).toStdString(), expected);
    EXPECT_NE(expected.find("-  Things, Helpers, Moved, Gone,\r\n"), std::string::npos);
    EXPECT_EQ(Saving.SuggestedFile, Dir.filePath(QStringLiteral("Proj.patch")));

    const QString source = Dir.filePath(QStringLiteral("Main.pas"));
    WriteFile(source, ReadFile(source) + "\r\n");
    QFile::remove(Saving.SaveAs);
    QTest::mouseClick(Hygiene().SavePatchButton(), Qt::LeftButton);
    EXPECT_EQ(Saving.Errors, QStringList(QDir::toNativeSeparators(source) +
                                         " changed since it was read: no patch written"));
    EXPECT_FALSE(QFile::exists(Saving.SaveAs));
}

} // namespace
} // namespace ut::gui::test
