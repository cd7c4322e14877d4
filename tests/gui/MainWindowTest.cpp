// The main window as a whole: the page-change rules before a scan, the keys that work from
// any page, the command-line start, the inputs of the Setup page and the installed compiler
// versions behind them, minimising.
#include "GuiTestSupport.h"

#include "gui/DllPage.h"
#include "gui/FileNameEdit.h"
#include "gui/Pager.h"
#include "gui/TreePage.h"
#include "platform/FileSystem.h"
#include "platform/Registry.h"

#include <QAction>
#include <QCheckBox>
#include <QMimeData>
#include <QTabBar>
#include <QUrl>

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

TEST_F(MainWindowTest, BeforeAScanOnlyDllUsageIsReachableFromSetupAfterItEveryPage) {
    Open();
    EXPECT_EQ(Current(), pgSetup);
    for (int page : {pgUses, pgUsedBy, pgMap}) {
        ClickTab(page);
        EXPECT_EQ(Current(), pgSetup) << "tab " << page;
    }
    // The keyboard follows the same rules.
    QTest::keyClick(&Window->PagerControl(), Qt::Key_Tab, Qt::ControlModifier);
    QTest::keyClick(&Tabs(), Qt::Key_Right);
    EXPECT_EQ(Current(), pgSetup);
    ClickTab(pgDll);
    EXPECT_EQ(Current(), pgDll);
    ClickTab(pgMap); // from "DLL usage" only "Setup" is reachable
    EXPECT_EQ(Current(), pgDll);
    ClickTab(pgSetup);
    EXPECT_EQ(Current(), pgSetup);

    ScanFixture();
    for (int page : {pgUses, pgUsedBy, pgMap, pgDll, pgSetup}) {
        ClickTab(page);
        EXPECT_EQ(Current(), page);
    }
}

TEST_F(MainWindowTest, F9ScansFromAnyPageAndAltXClosesButNotWithAnotherModifier) {
    Open();
    Page().projectEdit->setText(Fixture("Proj/Proj.dpr"));
    ClickTab(pgDll);
    QTest::keyClick(Window->dllPage, Qt::Key_F9);
    EXPECT_EQ(Current(), pgSetup);
    EXPECT_EQ(Log().back(), QStringLiteral("Done"));
    QTest::keyClick(Page().searchPathEdit, Qt::Key_X, Qt::AltModifier | Qt::ShiftModifier);
    EXPECT_TRUE(Window->isVisible());
    Window->PagerControl().setCurrentIndex(pgUsedBy);
    QTest::keyClick(Window->usedByPage, Qt::Key_X, Qt::AltModifier);
    EXPECT_FALSE(Window->isVisible());
}

TEST_F(MainWindowTest, CommandLineProjectIsSpeltAsOnDiskScannedAtOnceAndSaved) {
    Settings.Settings().setValue(QStringLiteral("Main/Project"), QStringLiteral("/else/X.dpr"));
    // The directory and the file typed in another letter case than they are stored.
    Open({Fixture("proj/proj.DPR")});
    EXPECT_EQ(Page().projectEdit->text(), Fixture("Proj/Proj.dpr"));
    EXPECT_EQ(Log().back(), QStringLiteral("Done"));
    // The saved name is not restored over the argument, neither at creation nor at showing.
    Window->hide();
    Window->show();
    EXPECT_EQ(Page().projectEdit->text(), Fixture("Proj/Proj.dpr"));
    Window->close();
    EXPECT_EQ(Settings.Reopen()->value("Main/Project").toString(), Fixture("Proj/Proj.dpr"));

    Window.reset();
    Open({Fixture("proj/nothing.dpr")}); // a file that does not exist: shown, not scanned
    EXPECT_EQ(Page().projectEdit->text(), Fixture("Proj/nothing.dpr"));
    EXPECT_TRUE(Log().isEmpty());
    EXPECT_TRUE(Prompts.Errors.isEmpty());
}

TEST_F(MainWindowTest, EnterInAnInputMovesToTheNextInput) {
    Open();
    QApplication::setActiveWindow(Window.get());
    Page().searchPathEdit->setFocus();
    QTest::keyClick(Page().searchPathEdit, Qt::Key_Return);
    EXPECT_TRUE(Page().definesEdit->hasFocus());
    EXPECT_EQ(Page().searchPathEdit->text(), QStringLiteral("."));
    QTest::keyClick(Page().definesEdit, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_TRUE(Page().libPathEdit->hasFocus());
}

TEST_F(MainWindowTest, BrowsingOrDroppingAFileNamesTheProjectAndReadsItsOptions) {
    Open();
    Page().projectEdit->setText(QStringLiteral("kept.dpr"));
    Page().projectEdit->BrowseAction()->trigger(); // cancelled
    EXPECT_EQ(Page().projectEdit->text(), QStringLiteral("kept.dpr"));
    Prompts.ChosenFile = Fixture("Proj/Proj.dpr");
    const QString current = QString::fromStdString(ut::fs::GetCurrentDir());
    Page().projectEdit->BrowseAction()->trigger();
    EXPECT_EQ(Prompts.DialogTitle, QStringLiteral("Select file..."));
    EXPECT_EQ(Prompts.DialogDirectory, current);
    EXPECT_EQ(Page().projectEdit->text(), Fixture("Proj/Proj.dpr"));
    EXPECT_EQ(Page().definesEdit->text(), QStringLiteral("VER130;TESTING"));

    Page().projectEdit->setText(QStringLiteral("old.dpr"));
    Page().definesEdit->clear();
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

TEST_F(MainWindowTest, FiltersAndTypedPathsReachTheScanAndUnknownSwitchesIgnored) {
    Open();
    EXPECT_TRUE(Window->Filters().ShowIgnored && Window->Filters().ShowUnknown);
    Page().showUnknownCheck->setChecked(false);
    EXPECT_FALSE(Page().showIgnoredCheck->isEnabled());
    EXPECT_FALSE(Window->Filters().ShowUnknown);
    EXPECT_FALSE(Window->Filters().ShowIgnored);
    Page().showUnknownCheck->setChecked(true);
    EXPECT_TRUE(Window->Filters().ShowIgnored);
    Page().showIgnoredCheck->setChecked(false);
    EXPECT_FALSE(Window->Filters().ShowIgnored);
    EXPECT_TRUE(Window->Filters().ShowUnknown);
    QTest::keyClicks(Page().searchPathEdit, QStringLiteral(";src"));
    Page().definesEdit->setText(QStringLiteral("DEBUG"));
    EXPECT_EQ(Window->Scan().Inputs.SearchPath, ".;src");
    EXPECT_EQ(Window->Scan().Inputs.Defines, "DEBUG");
}

TEST_F(MainWindowTest, NewestInstalledVersionFirstThenEachTypedVersionReadsItsPaths) {
    ut::RegistryStore registry;
    registry.AddText(R"(REGEDIT4
[HKEY_LOCAL_MACHINE\Software\Borland\Delphi\4.0]
"RootDir"="/opt/d4"
[HKEY_LOCAL_MACHINE\Software\Borland\Delphi\5.0]
"RootDir"="/opt/d5"
[HKEY_CURRENT_USER\Software\Borland\Delphi\4.0\Library]
"Search Path"="/opt/d4/Lib"
[HKEY_CURRENT_USER\Software\Borland\Delphi\5.0\Library]
"Search Path"="/opt/d5/Lib"
"Browsing Path"="/opt/d5/Source"
)");
    Open({}, &registry);
    EXPECT_EQ(Page().delphiVersionEdit->text(), QStringLiteral("5.0"));
    EXPECT_EQ(Page().browsePathEdit->text(), QStringLiteral("/opt/d5/Source"));
    EXPECT_EQ(Window->Scan().FDelphiRoot, "/opt/d5");
    Page().delphiVersionEdit->clear();
    QTest::keyClicks(Page().delphiVersionEdit, QStringLiteral("4"));
    EXPECT_EQ(Page().libPathEdit->text(), QStringLiteral("/opt/d5/Lib")) << "no such key";
    QTest::keyClicks(Page().delphiVersionEdit, QStringLiteral(".0"));
    EXPECT_EQ(Page().libPathEdit->text(), QStringLiteral("/opt/d4/Lib"));
    EXPECT_TRUE(Page().browsePathEdit->text().isEmpty()) << "4.0 has no browsing path";
    EXPECT_EQ(Window->Scan().FDelphiRoot, "/opt/d4");
    EXPECT_EQ(Window->Scan().Inputs.LibPath, "/opt/d4/Lib");

    // A restored version wins over the newest.
    Window->close();
    Window.reset();
    Open({}, &registry);
    EXPECT_EQ(Page().delphiVersionEdit->text(), QStringLiteral("4.0"));
    EXPECT_EQ(Page().libPathEdit->text(), QStringLiteral("/opt/d4/Lib"));
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
