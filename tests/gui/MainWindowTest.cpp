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
        Page().projectEdit->setText(Fixture("Proj/Proj.dpr"));
        Window->startScan();
        ASSERT_EQ(Log().back(), QStringLiteral("Done"));
    }
};

TEST_F(MainWindowTest, PagesAndSetupDefaultsAsCreated) {
    Open();
    const QStringList titles = {"Setup", "Uses", "Used by", "Cycles", "Map file", "DLL usage"};
    ASSERT_EQ(Window->PagerControl().count(), titles.size());
    for (int i = 0; i < titles.size(); ++i)
        EXPECT_EQ(Window->PagerControl().tabText(i), titles[i]);
    EXPECT_EQ(Current(), pgSetup);

    EXPECT_EQ(Page().searchPathEdit->text(), QStringLiteral("."));
    EXPECT_TRUE(Page().definesEdit->text().isEmpty());
    EXPECT_FALSE(Page().useBrowsePathCheck->isChecked());
    EXPECT_TRUE(Page().showIgnoredCheck->isChecked());
    EXPECT_TRUE(Page().showUnknownCheck->isChecked());
    EXPECT_FALSE(Page().unitCountLabel->isVisible());
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
    Page().projectEdit->setText(Fixture("Proj/Proj.dpr"));
    QTest::keyClick(Page().searchPathEdit, Qt::Key_F9);
    EXPECT_EQ(Log().back(), QStringLiteral("Done"));
    ClickTab(pgDll);
    ASSERT_EQ(Current(), pgDll);
    Page().logView->clear();
    QTest::keyClick(Window->dllPage, Qt::Key_F9);
    EXPECT_EQ(Current(), pgSetup);
    EXPECT_EQ(Log().back(), QStringLiteral("Done"));
    ASSERT_NE(Window->Scan().FProject, nullptr);
}

TEST_F(MainWindowTest, AltXClosesFromAnyPageButNotWithAnotherModifier) {
    Open();
    ScanFixture();
    QTest::keyClick(Page().searchPathEdit, Qt::Key_X, Qt::AltModifier | Qt::ShiftModifier);
    EXPECT_TRUE(Window->isVisible());
    Window->PagerControl().setCurrentIndex(pgUsedBy);
    QTest::keyClick(Window->usedByPage, Qt::Key_X, Qt::AltModifier);
    EXPECT_FALSE(Window->isVisible());
}

TEST_F(MainWindowTest, CommandLineProjectIsSpeltAsOnDiskAndScannedAtOnce) {
    Settings.Settings().setValue(QStringLiteral("Main/Project"), QStringLiteral("/else/X.dpr"));
    // The directory and the file typed in another letter case than they are stored.
    Open({Fixture("proj/proj.DPR")});
    EXPECT_EQ(Page().projectEdit->text(), Fixture("Proj/Proj.dpr"));
    EXPECT_EQ(Log().back(), QStringLiteral("Done"));
    // The saved name is not restored over the argument, neither at creation nor at showing.
    Window->hide();
    Window->show();
    EXPECT_EQ(Page().projectEdit->text(), Fixture("Proj/Proj.dpr"));
}

TEST_F(MainWindowTest, CommandLineFileThatDoesNotExistIsShownWithoutAScan) {
    Open({Fixture("proj/nothing.dpr")});
    EXPECT_EQ(Page().projectEdit->text(), Fixture("Proj/nothing.dpr"));
    EXPECT_TRUE(Log().isEmpty());
    EXPECT_TRUE(Prompts.Errors.isEmpty());
}

TEST_F(MainWindowTest, WithoutArgumentsTheSavedProjectIsShownAndNotScanned) {
    Settings.Settings().setValue(QStringLiteral("Main/Project"), Fixture("Proj/Proj.dpr"));
    Open();
    EXPECT_EQ(Page().projectEdit->text(), Fixture("Proj/Proj.dpr"));
    EXPECT_TRUE(Log().isEmpty());
    // Naming the project read its options file.
    EXPECT_EQ(Page().definesEdit->text(), QStringLiteral("VER130;TESTING"));
    EXPECT_TRUE(Window->Scan().FOptionsRead);
}

TEST_F(MainWindowTest, EnterInAnInputMovesToTheNextInput) {
    Open();
    QApplication::setActiveWindow(Window.get());
    Page().searchPathEdit->setFocus();
    ASSERT_TRUE(Page().searchPathEdit->hasFocus());
    QTest::keyClick(Page().searchPathEdit, Qt::Key_Return);
    EXPECT_TRUE(Page().definesEdit->hasFocus());
    EXPECT_EQ(Page().searchPathEdit->text(), QStringLiteral("."));
    QTest::keyClick(Page().definesEdit, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_TRUE(Page().libPathEdit->hasFocus());
    QTest::keyClick(Page().libPathEdit, Qt::Key_Return);
    EXPECT_TRUE(Page().delphiVersionEdit->hasFocus());
}

TEST_F(MainWindowTest, BrowseAsksForAnExistingPascalSourceAndCancelKeepsTheProject) {
    Open();
    Page().projectEdit->setText(QStringLiteral("kept.dpr"));
    Page().projectEdit->BrowseAction()->trigger();
    EXPECT_EQ(Page().projectEdit->text(), QStringLiteral("kept.dpr"));
    Prompts.ChosenFile = Fixture("Proj/Proj.dpr");
    const QString current = QString::fromStdString(ut::fs::GetCurrentDir());
    Page().projectEdit->BrowseAction()->trigger();
    EXPECT_EQ(Prompts.DialogTitle, QStringLiteral("Select file..."));
    EXPECT_EQ(Prompts.DialogDirectory, current);
    EXPECT_EQ(Prompts.DialogFilters.size(), 2);
    EXPECT_EQ(Page().projectEdit->text(), Fixture("Proj/Proj.dpr"));
    EXPECT_EQ(Page().definesEdit->text(), QStringLiteral("VER130;TESTING"));
}

TEST_F(MainWindowTest, FileDroppedOntoTheProjectBoxReplacesItsText) {
    Open();
    Page().projectEdit->setText(QStringLiteral("old.dpr"));
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(Fixture("Proj/Proj.dpr"))});
    const QPoint at = Page().projectEdit->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(Page().projectEdit, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(Page().projectEdit, &drop);
    EXPECT_EQ(Page().projectEdit->text(), Fixture("Proj/Proj.dpr"));
    EXPECT_EQ(Page().definesEdit->text(), QStringLiteral("VER130;TESTING"));
}

TEST_F(MainWindowTest, UnknownUnitsFilterSwitchesTheIgnoredFilter) {
    Open();
    Page().showUnknownCheck->setChecked(false);
    EXPECT_FALSE(Page().showIgnoredCheck->isEnabled());
    EXPECT_FALSE(Window->Filters().ShowUnknown);
    EXPECT_FALSE(Window->Filters().ShowIgnored);
    Page().showUnknownCheck->setChecked(true);
    EXPECT_TRUE(Page().showIgnoredCheck->isEnabled());
    EXPECT_TRUE(Window->Filters().ShowIgnored);
    Page().showIgnoredCheck->setChecked(false);
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
