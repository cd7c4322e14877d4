// The main window as a whole: the pages, the page-change rules before a scan, the keys
// that work from any page, the command-line start, Enter in the inputs, minimising.
#include "GuiTestSupport.h"

#include "gui/DllPage.h"
#include "gui/FileNameEdit.h"
#include "gui/LogView.h"
#include "gui/Pager.h"
#include "gui/SetupPage.h"
#include "gui/TreePage.h"
#include "platform/FileSystem.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QTabBar>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

namespace ut::gui::test {
namespace {

class MainWindowTest : public WindowTest {
  protected:
    QTabBar& Tabs() { return *Window->PagerControl().tabBar(); }
    int Current() { return Window->PagerControl().currentIndex(); }
    void ClickTab(int index) {
        QTest::mouseClick(&Tabs(), Qt::LeftButton, {}, Tabs().tabRect(index).center());
    }
    void ScanFixture() {
        Page().EProject->setText(Fixture("Proj/Proj.dpr"));
        Window->btStartClick();
        ASSERT_EQ(Log().back(), QStringLiteral("Done"));
    }
};

TEST_F(MainWindowTest, PagesAndSetupControlsAsCreated) {
    Open();
    const QStringList titles = {"Setup", "Uses", "Used by", "Map file", "DLL usage"};
    ASSERT_EQ(Window->PagerControl().count(), titles.size());
    for (int i = 0; i < titles.size(); ++i)
        EXPECT_EQ(Window->PagerControl().tabText(i), titles[i]);
    EXPECT_EQ(Current(), pgSetup);

    // Captions with their access keys, and the buddy each caption label gives focus to.
    const std::vector<std::pair<QWidget*, QString>> captions = {
        {Page().EProject, "&Project:"},       {Page().ESearchPath, "Search p&ath:"},
        {Page().EDefines, "Con&ditionals:"},  {Page().ELibPath, "&Lib. path:"},
        {Page().EDelphi, "Delphi &version:"}, {Page().EBrowsePath, "&Brow. path:"},
    };
    for (const auto& [edit, caption] : captions) {
        const auto labels = Page().findChildren<QLabel*>();
        const auto it = std::find_if(labels.begin(), labels.end(),
                                     [&](QLabel* l) { return l->buddy() == edit; });
        ASSERT_NE(it, labels.end()) << caption.toStdString();
        EXPECT_EQ((*it)->text(), caption);
    }
    EXPECT_EQ(Page().chkBrowseAlso->text(), QStringLiteral("&Use browse path"));
    EXPECT_EQ(Page().chkShowIgnored->text(), QStringLiteral("Sho&w ign. units in 3"));
    EXPECT_EQ(Page().chkShowUnkn->text(), QStringLiteral("S&how unkn.units in 3"));
    EXPECT_EQ(Page().btIgnored->text(), QStringLiteral("&Ignore units"));
    EXPECT_EQ(Page().btStart->text(), QStringLiteral("&Start"));

    EXPECT_EQ(Page().ESearchPath->text(), QStringLiteral("."));
    EXPECT_TRUE(Page().EDefines->text().isEmpty());
    EXPECT_FALSE(Page().chkBrowseAlso->isChecked());
    EXPECT_TRUE(Page().chkShowIgnored->isChecked());
    EXPECT_TRUE(Page().chkShowUnkn->isChecked());
    EXPECT_FALSE(Page().labUnitCount->isVisible());
    EXPECT_TRUE(Window->Filters().ShowIgnored);
    EXPECT_TRUE(Window->Filters().ShowUnknown);
    EXPECT_EQ(Window->Scan().IgnUnits.Lines().ToVector(),
              (std::vector<std::string>{"Classes", "Graphics", "Messages", "SysUtils", "Windows"}));
}

TEST_F(MainWindowTest, BeforeAScanOnlyDllUsageIsReachableFromSetupAfterItEveryPage) {
    Open();
    for (int page : {pgUses, pgUsedBy, pgMap}) {
        ClickTab(page);
        EXPECT_EQ(Current(), pgSetup) << "tab " << page;
        EXPECT_EQ(Window->TabAtMouse(), page);
    }
    // The keyboard follows the same rules.
    QTest::keyClick(&Window->PagerControl(), Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(Current(), pgSetup);
    QTest::keyClick(&Tabs(), Qt::Key_Right);
    EXPECT_EQ(Current(), pgSetup);
    ClickTab(pgDll);
    EXPECT_EQ(Current(), pgDll);
    // From "DLL usage" only "Setup" is reachable.
    ClickTab(pgMap);
    EXPECT_EQ(Current(), pgDll);
    ClickTab(pgSetup);
    EXPECT_EQ(Current(), pgSetup);

    ScanFixture();
    for (int page : {pgUses, pgUsedBy, pgMap, pgDll, pgSetup}) {
        ClickTab(page);
        EXPECT_EQ(Current(), page);
    }
}

TEST_F(MainWindowTest, F9FromAnotherPageOrAnInputTurnsToSetupAndScans) {
    Open();
    Page().EProject->setText(Fixture("Proj/Proj.dpr"));
    QTest::keyClick(Page().ESearchPath, Qt::Key_F9);
    EXPECT_EQ(Log().back(), QStringLiteral("Done"));
    ClickTab(pgDll);
    ASSERT_EQ(Current(), pgDll);
    Page().ELog->clear();
    QTest::keyClick(Window->DllPage, Qt::Key_F9);
    EXPECT_EQ(Current(), pgSetup);
    EXPECT_EQ(Log().back(), QStringLiteral("Done"));
    ASSERT_NE(Window->Scan().FProject, nullptr);
}

TEST_F(MainWindowTest, AltXClosesFromAnyPageButNotWithAnotherModifier) {
    Open();
    ScanFixture();
    QTest::keyClick(Page().ESearchPath, Qt::Key_X, Qt::AltModifier | Qt::ShiftModifier);
    EXPECT_TRUE(Window->isVisible());
    Window->PagerControl().setCurrentIndex(pgUsedBy);
    QTest::keyClick(Window->UsedByPage, Qt::Key_X, Qt::AltModifier);
    EXPECT_FALSE(Window->isVisible());
}

TEST_F(MainWindowTest, CommandLineProjectIsSpeltAsOnDiskAndScannedAtOnce) {
    Settings.Settings().setValue(QStringLiteral("Main/Project"), QStringLiteral("/else/X.dpr"));
    // The directory and the file typed in another letter case than they are stored.
    Open({Fixture("proj/proj.DPR")});
    EXPECT_EQ(Page().EProject->text(), Fixture("Proj/Proj.dpr"));
    EXPECT_EQ(Log().back(), QStringLiteral("Done"));
    // The saved name is not restored over the argument, neither at creation nor at showing.
    Window->hide();
    Window->show();
    EXPECT_EQ(Page().EProject->text(), Fixture("Proj/Proj.dpr"));
}

TEST_F(MainWindowTest, CommandLineFileThatDoesNotExistIsShownWithoutAScan) {
    Open({Fixture("proj/nothing.dpr")});
    EXPECT_EQ(Page().EProject->text(), Fixture("Proj/nothing.dpr"));
    EXPECT_TRUE(Log().isEmpty());
    EXPECT_TRUE(Prompts.Errors.isEmpty());
    EXPECT_EQ(Window->Scan().FProject, nullptr);
}

TEST_F(MainWindowTest, WithoutArgumentsTheSavedProjectIsShownAndNotScanned) {
    Settings.Settings().setValue(QStringLiteral("Main/Project"), Fixture("Proj/Proj.dpr"));
    Open();
    EXPECT_EQ(Page().EProject->text(), Fixture("Proj/Proj.dpr"));
    EXPECT_TRUE(Log().isEmpty());
    // Naming the project read its options file.
    EXPECT_EQ(Page().EDefines->text(), QStringLiteral("VER130;TESTING"));
    EXPECT_TRUE(Window->Scan().FOptionsRead);
}

TEST_F(MainWindowTest, EnterInAnInputMovesToTheNextInput) {
    Open();
    QApplication::setActiveWindow(Window.get());
    Page().ESearchPath->setFocus();
    ASSERT_TRUE(Page().ESearchPath->hasFocus());
    QTest::keyClick(Page().ESearchPath, Qt::Key_Return);
    EXPECT_TRUE(Page().EDefines->hasFocus());
    EXPECT_EQ(Page().ESearchPath->text(), QStringLiteral("."));
    QTest::keyClick(Page().EDefines, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_TRUE(Page().ELibPath->hasFocus());
    QTest::keyClick(Page().ELibPath, Qt::Key_Return);
    EXPECT_TRUE(Page().EDelphi->hasFocus());
}

TEST_F(MainWindowTest, BrowseAsksForAnExistingPascalSourceAndCancelKeepsTheProject) {
    Open();
    Page().EProject->setText(QStringLiteral("kept.dpr"));
    Page().EProject->BrowseAction()->trigger();
    EXPECT_EQ(Page().EProject->text(), QStringLiteral("kept.dpr"));
    Prompts.ChosenFile = Fixture("Proj/Proj.dpr");
    const QString current = QString::fromStdString(ut::fs::GetCurrentDir());
    Page().EProject->BrowseAction()->trigger();
    EXPECT_EQ(Prompts.DialogTitle, QStringLiteral("Select file..."));
    EXPECT_EQ(Prompts.DialogDirectory, current);
    EXPECT_EQ(Prompts.DialogFilters,
              (QStringList{"Pascal sources (*.pas,*.dpr,*.dpk) (*.pas *.PAS *.dpr *.DPR *.dpk "
                           "*.DPK)",
                           "All files (*.*) (*)"}));
    EXPECT_EQ(Page().EProject->text(), Fixture("Proj/Proj.dpr"));
    EXPECT_EQ(Page().EDefines->text(), QStringLiteral("VER130;TESTING"));
}

TEST_F(MainWindowTest, FileDroppedOntoTheProjectBoxReplacesItsText) {
    Open();
    Page().EProject->setText(QStringLiteral("old.dpr"));
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(Fixture("Proj/Proj.dpr"))});
    const QPoint at = Page().EProject->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(Page().EProject, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(Page().EProject, &drop);
    EXPECT_EQ(Page().EProject->text(), Fixture("Proj/Proj.dpr"));
    EXPECT_EQ(Page().EDefines->text(), QStringLiteral("VER130;TESTING"));
}

TEST_F(MainWindowTest, UnknownUnitsFilterSwitchesTheIgnoredFilter) {
    Open();
    Page().chkShowUnkn->setChecked(false);
    EXPECT_FALSE(Page().chkShowIgnored->isEnabled());
    EXPECT_FALSE(Window->Filters().ShowUnknown);
    EXPECT_FALSE(Window->Filters().ShowIgnored);
    Page().chkShowUnkn->setChecked(true);
    EXPECT_TRUE(Page().chkShowIgnored->isEnabled());
    EXPECT_TRUE(Window->Filters().ShowIgnored);
    Page().chkShowIgnored->setChecked(false);
    EXPECT_FALSE(Window->Filters().ShowIgnored);
    EXPECT_TRUE(Window->Filters().ShowUnknown);
}

TEST_F(MainWindowTest, MinimisingHidesTheOtherWindowsAndShowsTheApplicationTitle) {
    Open();
    ScanFixture();
    auto first = std::make_unique<QWidget>();
    auto closedMeanwhile = std::make_unique<QWidget>();
    first->show();
    closedMeanwhile->show();
    Window->setWindowState(Qt::WindowMinimized);
    EXPECT_FALSE(first->isVisible());
    EXPECT_FALSE(closedMeanwhile->isVisible());
    EXPECT_EQ(Window->windowTitle(), QStringLiteral("Proj.dpr"));
    closedMeanwhile.reset();
    Window->setWindowState(Qt::WindowNoState);
    EXPECT_TRUE(first->isVisible());
    EXPECT_EQ(Window->windowTitle(), Fixture("Proj/Proj.dpr"));
}

} // namespace
} // namespace ut::gui::test
