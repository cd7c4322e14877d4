// The log: what a scan writes and how it looks, the counter and titles, the error box,
// Escape, failures that reach the event loop, long lines and the mouse wheel; also the
// command line of the program.
#include "GuiTestSupport.h"

#include "gui/FileNameEdit.h"
#include "gui/GuiFrontEnd.h"
#include "gui/StartOptions.h"
#include "support/Exceptions.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QWheelEvent>

namespace ut::gui::test {
namespace {

const QColor Red(255, 0, 0);

class ScanLogTest : public WindowTest {
  protected:
    void SetUp() override {
        Open();
        Page().projectEdit->setText(Fixture("Proj/Proj.dpr"));
    }
};

TEST_F(ScanLogTest, LogShowsEveryEventWithItsIndentAndStyleAndTheCounterAndTitlesFollow) {
    EXPECT_FALSE(Page().unitCountLabel->isVisible());
    EXPECT_EQ(Window->windowTitle(), QStringLiteral("Uni-Trace"));
    QTest::mouseClick(Page().startButton, Qt::LeftButton);
    const QColor text = Page().logView->palette().color(QPalette::WindowText);
    const std::vector<LogLine> expected = {
        {"Scanning project " + Fixture("Proj/Proj.dpr"), false, false, text},
        {"Proj: parsed...", false, false, text},
        {"  Alpha: parsed...", false, false, text},
        {"    Beta: parsed...", false, false, text},
        // Missing is used twice; the second use writes nothing.
        {"    Missing: not found", false, true, Red},
        {"  EXC: File=" + Fixture("Proj/Gamma.pas") +
             ", Msg=Error: \"Unclosed comment!\" on line 12 of file " + Fixture("Proj/Gamma.pas"),
         false, true, Red},
        {"  Gamma: parsed...", false, false, text},
        {"Parsing map-file...", false, false, text},
        {"Done", true, false, text}};
    EXPECT_EQ(ReadLog(*Page().logView), expected);
    // The log is fixed-pitch (the caret on the newest line: the log view's test).
    EXPECT_TRUE(DrawsFixedPitch(Page().logView->font()));
    EXPECT_EQ(Page().unitCountLabel->text(), QStringLiteral("  4 units parsed..."));
    EXPECT_TRUE(Page().unitCountLabel->isVisible());
    EXPECT_EQ(Window->windowTitle(), Fixture("Proj/Proj.dpr"));
    EXPECT_EQ(Application::Instance()->Title(), QStringLiteral("Proj.dpr"));

    // A missing project: the error box; "&Start" emptied the log; the records stay.
    const ut::TProject* before = Window->Scan().FProject;
    Page().projectEdit->setText(Fixture("Proj/Nowhere.dpr"));
    QTest::mouseClick(Page().startButton, Qt::LeftButton);
    EXPECT_EQ(Prompts.Errors,
              QStringList{"File \"" + Fixture("Proj/Nowhere.dpr") + "\" not found!"});
    EXPECT_TRUE(Log().isEmpty());
    EXPECT_EQ(Window->Scan().FProject, before);
}

TEST_F(ScanLogTest, AQuickEscapeTapAbortsTheScanOnce) {
    // Pressed and released before the scan's first pause between units: the key is up
    // again when the pause looks at it.
    for (QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease})
        QCoreApplication::postEvent(Page().logView,
                                    new QKeyEvent(type, Qt::Key_Escape, Qt::NoModifier));
    Window->startScan();
    const QStringList texts = Log();
    ASSERT_FALSE(texts.isEmpty());
    EXPECT_EQ(texts.back(), QStringLiteral("Aborted!"));
    EXPECT_EQ(texts.count(QStringLiteral("Aborted!")), 1);
    EXPECT_TRUE(ReadLog(*Page().logView).back().Italic);
    EXPECT_EQ(Window->FrontEnd().ApplicationTitle(), QStringLiteral("Uni-Trace - Error!"));
    Window->startScan();
    EXPECT_EQ(Log().back(), QStringLiteral("Done"));
}

// Guards against an Escape whose release never came (taken by a closing drop-down list, or
// by another window) stopping every later scan at once with only "Aborted!".
TEST_F(ScanLogTest, AnEscapePressedBeforeTheScanNeverStopsIt) {
    struct Case {
        const char* Name;
        std::function<QWidget*(SetupPage&)> Receiver; ///< gets the press, never the release
    };
    const Case cases[] = {
        {"into an open drop-down list",
         [](SetupPage& page) {
             page.compilerChoice->showPopup();
             return QApplication::activePopupWidget();
         }},
        {"into the window, released elsewhere", [](SetupPage& page) { return page.logView; }}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        QWidget* receiver = c.Receiver(Page());
        ASSERT_NE(receiver, nullptr);
        QTest::keyPress(receiver, Qt::Key_Escape);
        QCoreApplication::processEvents();
        EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
        QTest::mouseClick(Page().startButton, Qt::LeftButton);
        EXPECT_EQ(Log().back(), QStringLiteral("Done"));
    }
}

TEST_F(ScanLogTest, ClosingDuringAScanStopsItFirst) {
    QTimer::singleShot(0, Window.get(), [this] { Window->close(); });
    Window->startScan();
    // The close was refused while the records were in use; the scan stopped instead.
    EXPECT_EQ(Log().back(), QStringLiteral("Aborted!"));
    EXPECT_TRUE(Window->isVisible());
    QCoreApplication::processEvents();
    EXPECT_FALSE(Window->isVisible());
}

/// An object whose event handler fails the way a handler of the window can.
class FailingObject : public QObject {
  public:
    bool Silent = false;

  protected:
    bool event(QEvent* e) override {
        if (e->type() != QEvent::User)
            return QObject::event(e);
        if (Silent)
            throw ut::EAbort();
        throw ut::EInOutError("Cannot change to directory");
    }
};

TEST_F(ScanLogTest, FailureInAnEventHandlerBecomesAnExcLineAndASilentAbortWritesNothing) {
    FailingObject failing;
    for (bool silent : {true, false}) {
        failing.Silent = silent;
        QCoreApplication::postEvent(&failing, new QEvent(QEvent::User));
        QCoreApplication::processEvents();
    }
    EXPECT_EQ(
        ReadLog(*Page().logView),
        std::vector<LogLine>({{"EXC: File=, Msg=Cannot change to directory", false, true, Red}}));
    EXPECT_TRUE(Prompts.Errors.isEmpty());
    // A connected handler fails the same way (in place of the button's modal editor).
    QObject::disconnect(Page().ignoredUnitsButton, &QPushButton::clicked, nullptr, nullptr);
    QObject::connect(Page().ignoredUnitsButton, &QPushButton::clicked, Window.get(),
                     Guarded([] { throw ut::EParserError("Unexpected EOF"); }));
    QTest::mouseClick(Page().ignoredUnitsButton, Qt::LeftButton);
    EXPECT_EQ(Log().back(), QStringLiteral("EXC: File=, Msg=Unexpected EOF"));
}

// Guards against a deep log drawn thousands of columns to the right (blank rows, "Aborted!"
// out of sight) and long lines cut at the edge: nothing scrolls sideways, every piece of text
// is drawn inside the view, and a cut indentation shows the real depth.
TEST(LogViewTest, DeepAndLongLinesAreDrawnInsideTheViewWithTheirDepth) {
    LogView log;
    log.resize(240, 120);
    log.show();
    log.AppendLog(QStringLiteral("a\r\nb"), lsItalic);
    const QString timeout = QStringLiteral("EXC: the dump tool did not end within 30 seconds: ") +
                            QStringLiteral("/opt/tools/").repeated(8) + QStringLiteral("tdump");
    struct Case {
        const char* Name;
        int Depth;
        QString Text, Mark;
    };
    const Case cases[] = {
        {"shallow", 1, QStringLiteral("Alpha: parsed..."), QString()},
        {"deeper than half the view", 5000, QStringLiteral("Deep: parsed..."),
         QStringLiteral("5000")},
        {"long, with blanks and a long word", 0, timeout, QString()},
        {"deep and aborted", 5000, QStringLiteral("Aborted!"), QStringLiteral("5000")}};
    for (const Case& c : cases)
        log.AppendLine(c.Depth, c.Text, lsPlain);
    QCoreApplication::processEvents();
    EXPECT_EQ(LogTexts(log).mid(0, 3),
              QStringList({"a", "b", QStringLiteral("  Alpha: parsed...")}));
    EXPECT_EQ(log.LineAt(3).Text, QStringLiteral("Deep: parsed..."));
    EXPECT_EQ(log.CurrentRow(), 5);
    EXPECT_FALSE(log.horizontalScrollBar()->isVisible());
    for (int width : {240, 180}) {
        log.resize(width, 120);
        QCoreApplication::processEvents();
        const int view = log.viewport()->width();
        for (int i = 0; i < int(std::size(cases)); ++i) {
            const Case& c = cases[i];
            SCOPED_TRACE(std::string(c.Name) + " at " + std::to_string(width));
            const int row = i + 2;
            EXPECT_EQ(log.DepthMark(row), c.Mark);
            EXPECT_LE(log.TextLeft(row), view / 2 + 2);
            const QStringList pieces = log.DrawnLines(row);
            EXPECT_EQ(pieces.join(QString()).remove(u' '), QString(c.Text).remove(u' '));
            for (const QString& piece : pieces)
                EXPECT_LE(log.TextLeft(row) + log.fontMetrics().horizontalAdvance(piece), view)
                    << piece.toStdString();
        }
        // The newest line is in view whole.
        EXPECT_TRUE(log.viewport()->rect().contains(log.RowRect(5)));
    }
    EXPECT_GT(log.DrawnLines(4).size(), 1);
}

TEST(LogViewTest, WheelStepDependsOnTheModifiers) {
    LogView log;
    log.resize(300, 200);
    for (int i = 0; i < 200; ++i)
        log.AppendLog(QStringLiteral("line %1").arg(i), lsPlain);
    log.show();
    QScrollBar* bar = log.verticalScrollBar();
    const int line = log.fontMetrics().lineSpacing();
    struct Case {
        int Delta;
        Qt::KeyboardModifiers Modifiers;
        int Lines; ///< 0 stands for one page
        int Sign;  ///< 0: at the end already
    };
    const Case cases[] = {{-120, Qt::NoModifier, 2, 1},
                          {120, Qt::NoModifier, 2, -1},
                          {120, Qt::ShiftModifier, 1, -1},
                          {-120, Qt::ControlModifier, 0, 1},
                          {120, Qt::ControlModifier, 0, -1},
                          {-120, Qt::ControlModifier | Qt::ShiftModifier, 1, 1}, // Shift wins
                          {-120, Qt::ControlModifier, 0, 0}};
    for (const Case& c : cases) {
        bar->setValue(c.Sign ? bar->maximum() / 2 : bar->maximum());
        const int before = bar->value();
        const QPointF at(log.viewport()->rect().center());
        QWheelEvent event(at, log.viewport()->mapToGlobal(at), QPoint(), QPoint(0, c.Delta),
                          Qt::NoButton, c.Modifiers, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(log.viewport(), &event);
        EXPECT_EQ(bar->value() - before, c.Sign * (c.Lines ? c.Lines * line : bar->pageStep()))
            << c.Delta << " " << c.Modifiers.toInt();
    }
}

TEST(StartOptionsTest, ArgumentsAndScreenshotDirectory) {
    struct Case {
        QStringList Args, Arguments;
        QString Dir;
        bool Error;
    };
    const Case cases[] = {{{"Demo.dpr"}, {"Demo.dpr"}, {}, false},
                          {{"--screenshots", "out", "Demo.dpr"}, {"Demo.dpr"}, "out", false},
                          {{"Demo.dpr", "--screenshots", "out"}, {"Demo.dpr"}, "out", false},
                          {{"Demo.dpr", "--screenshots"}, {"Demo.dpr"}, {}, true}};
    for (const Case& c : cases) {
        const StartOptions o = ParseStartOptions(c.Args);
        SCOPED_TRACE(c.Args.join(' ').toStdString());
        EXPECT_EQ(o.Arguments, c.Arguments);
        EXPECT_EQ(o.ScreenshotDir, c.Dir);
        EXPECT_EQ(!o.Error.isEmpty(), c.Error);
    }
}

} // namespace
} // namespace ut::gui::test
