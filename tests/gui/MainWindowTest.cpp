// The main window as a whole: the page-change rules before a scan, the keys that work from
// any page, the command-line start, the inputs of the Setup page, minimising.
#include "GuiTestSupport.h"

#include "gui/DllPage.h"
#include "gui/FileNameEdit.h"
#include "gui/TreePage.h"
#include "platform/FileSystem.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
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
    // Tab clicked -> page shown; from "DLL usage" only "Setup" is reachable.
    const int clicks[][2] = {
        {pgUses, pgSetup}, {pgMap, pgSetup}, {pgDll, pgDll}, {pgMap, pgDll}, {pgSetup, pgSetup}};
    for (const auto& [tab, shown] : clicks) {
        ClickTab(tab);
        EXPECT_EQ(Current(), shown) << "tab " << tab;
    }
    QTest::keyClick(&Window->PagerControl(), Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(Current(), pgSetup) << "the keyboard follows the same rules";
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
    // The "File" menu quits too.
    Window->show();
    EXPECT_EQ(Window->quitAction->shortcut(), QKeySequence(QKeySequence::Quit));
    Window->quitAction->trigger();
    EXPECT_FALSE(Window->isVisible());
}

// Guards against long paths shown by their tail: set by the program (a project's options,
// the registry, the browse dialog) a path field shows its start.
TEST_F(MainWindowTest, PathFieldsShowTheStartOfALongPath) {
    Open();
    Page().startButton->setFocus();
    const QString path = QStringLiteral("/a/rather/long/directory").repeated(10);
    Page().projectEdit->setText(path + QStringLiteral("/P.dpr"));
    SetupInputs inputs = Window->Scan().Inputs;
    inputs.SearchPath = inputs.LibPath = inputs.BrowsePath = path.toStdString();
    Page().ShowInputs(inputs);
    for (QLineEdit* edit : {static_cast<QLineEdit*>(Page().projectEdit), Page().searchPathEdit,
                            Page().libPathEdit, Page().browsePathEdit}) {
        EXPECT_EQ(edit->cursorPosition(), 0) << edit->objectName().toStdString();
        EXPECT_TRUE(edit->text().startsWith(path));
    }
}

TEST_F(MainWindowTest, CommandLineProjectIsSpeltAsOnDiskScannedAtOnceAndSaved) {
    Settings.Settings().setValue(QStringLiteral("Main/Project"), QStringLiteral("/else/X.dpr"));
    // The directory and the file typed in another letter case than they are stored.
    Open({Fixture("proj/proj.DPR")});
    EXPECT_EQ(Page().projectEdit->text(), Fixture("Proj/Proj.dpr"));
    QCoreApplication::processEvents(); // scanned once the window is up
    EXPECT_EQ(Log().back(), QStringLiteral("Done"));
    // The saved name is not restored over the argument, neither at creation nor at showing.
    Window->hide();
    Window->show();
    EXPECT_EQ(Page().projectEdit->text(), Fixture("Proj/Proj.dpr"));
    Window->close();
    EXPECT_EQ(Settings.Reopen()->value("Main/Project").toString(), Fixture("Proj/Proj.dpr"));

    Window.reset();
    Open({Fixture("proj/nothing.dpr")}); // a file that does not exist: shown, not scanned
    QCoreApplication::processEvents();
    EXPECT_EQ(Page().projectEdit->text(), Fixture("Proj/nothing.dpr"));
    EXPECT_TRUE(Log().isEmpty());
    EXPECT_TRUE(Prompts.Errors.isEmpty());
}

TEST_F(MainWindowTest, EnterInAnInputMovesToTheNextInput) {
    Open();
    QApplication::setActiveWindow(Window.get());
    Page().searchPathEdit->setFocus();
    QTest::keyClick(Page().searchPathEdit, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_TRUE(Page().definesEdit->hasFocus());
}

TEST_F(MainWindowTest, BrowsingOrDroppingAFileNamesTheProjectAndReadsItsOptions) {
    Open();
    Page().projectEdit->setText(QStringLiteral("kept.dpr"));
    Page().projectEdit->BrowseAction()->trigger(); // cancelled
    EXPECT_EQ(Page().projectEdit->text(), QStringLiteral("kept.dpr"));
    Prompts.ChosenFile = Fixture("Proj/Proj.dpr");
    const QString current = QString::fromStdString(ut::fs::GetCurrentDir());
    Page().projectEdit->BrowseAction()->trigger();
    EXPECT_EQ(Prompts.DialogDirectory, current);
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
    Page().showUnknownCheck->setChecked(false);
    EXPECT_FALSE(Page().showIgnoredCheck->isEnabled());
    EXPECT_FALSE(Window->Filters().ShowIgnored);
    Page().showUnknownCheck->setChecked(true);
    EXPECT_TRUE(Window->Filters().ShowIgnored);
    // Typed at the end, where the user puts the caret.
    QTest::keyClick(Page().searchPathEdit, Qt::Key_End);
    QTest::keyClicks(Page().searchPathEdit, QStringLiteral(";src"));
    EXPECT_EQ(Window->Scan().Inputs.SearchPath, ".;src");
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
