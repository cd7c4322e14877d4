// The scan as the window shows it: the log's lines and their looks, the counter, the
// titles, the error box, Escape, and failures that reach the event loop.
#include "GuiTestSupport.h"

#include "gui/FileNameEdit.h"
#include "gui/GuiFrontEnd.h"
#include "gui/LogView.h"
#include "gui/SetupPage.h"
#include "support/Exceptions.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace ut::gui::test {
namespace {

const QColor Red(255, 0, 0);

class ScanLogTest : public WindowTest {
  protected:
    void SetUp() override {
        WindowTest::SetUp();
        Open();
    }
    void ScanFixture() {
        Page().projectEdit->setText(Fixture("Proj/Proj.dpr"));
        QTest::mouseClick(Page().startButton, Qt::LeftButton);
    }
};

TEST_F(ScanLogTest, LogShowsEveryEventWithItsIndentAndStyle) {
    ScanFixture();
    const QString project = Fixture("Proj/Proj.dpr");
    const QColor text = Page().logView->palette().color(QPalette::WindowText);
    struct Expected {
        QString Text;
        bool Bold, Italic;
        QColor Color;
    };
    const std::vector<Expected> expected = {
        {"Scanning project " + project, false, false, text},
        {"Proj: parsed...", false, false, text},
        {"  Alpha: parsed...", false, false, text},
        {"    Beta: parsed...", false, false, text},
        // Missing is used twice; the second use writes nothing.
        {"    Missing: not found", false, true, Red},
        {"  EXC: File=Gamma, Msg=Error: \"Unclosed comment!\" on line 12 of file " +
             Fixture("Proj/Gamma.pas"),
         false, true, Red},
        {"  Gamma: parsed...", false, false, text},
        {"Parsing map-file...", false, false, text},
        {"Done", true, false, text},
    };
    const std::vector<LogLine> lines = ReadLog(*Page().logView);
    ASSERT_EQ(lines.size(), expected.size()) << Log().join('\n').toStdString();
    for (size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(expected[i].Text.toStdString());
        EXPECT_EQ(lines[i].Text, expected[i].Text);
        EXPECT_EQ(lines[i].Bold, expected[i].Bold);
        EXPECT_EQ(lines[i].Italic, expected[i].Italic);
        EXPECT_EQ(lines[i].Color, expected[i].Color);
    }
    EXPECT_TRUE(Prompts.Errors.isEmpty());
    // The caret ends on the last line; the log is fixed-pitch.
    EXPECT_EQ(Page().logView->CurrentRow(), static_cast<int>(expected.size()) - 1);
    EXPECT_TRUE(DrawsFixedPitch(Page().logView->font()));
}

// Guards against a log left scrolled sideways by the deep lines before "Done".
TEST_F(ScanLogTest, AfterADeepScanTheNewestLineShowsFromColumnZero) {
    QTemporaryDir dir;
    const int units = 300;
    auto write = [&](const QString& name, const QByteArray& text) {
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    };
    write("Chain.dpr", "program Chain;\nuses U1;\nbegin end.\n");
    for (int i = 1; i <= units; ++i)
        write(QStringLiteral("U%1.pas").arg(i),
              QStringLiteral("unit U%1;\ninterface\n%2implementation\nend.\n")
                  .arg(i)
                  .arg(i < units ? QStringLiteral("uses U%1;\n").arg(i + 1) : QString())
                  .toLatin1());
    Page().resize(400, 300);
    Page().projectEdit->setText(dir.filePath("Chain.dpr"));
    QTest::mouseClick(Page().startButton, Qt::LeftButton);
    QCoreApplication::processEvents();

    const LogView& log = *Page().logView;
    ASSERT_EQ(log.ShownText(log.LineCount() - 1), QStringLiteral("Done"));
    EXPECT_EQ(log.ShownText(log.LineCount() - 2),
              QString(2 * units, u' ') + QStringLiteral("U300: parsed..."));
    EXPECT_EQ(log.horizontalScrollBar()->value(), 0);
    const int last = log.LineCount() - 1;
    EXPECT_TRUE(log.viewport()->rect().contains(
        QPoint(log.TextLeft(last), log.RowRect(last).center().y())));
}

TEST_F(ScanLogTest, CounterAndTitlesFollowTheScan) {
    // Before any scan: no counter, and the plain program name.
    EXPECT_FALSE(Page().unitCountLabel->isVisible());
    EXPECT_EQ(Window->windowTitle(), QStringLiteral("Uni-Trace"));
    EXPECT_EQ(Window->FrontEnd().ApplicationTitle(), QStringLiteral("Uni-Trace"));

    ScanFixture();
    EXPECT_TRUE(Page().unitCountLabel->isVisible());
    EXPECT_EQ(Page().unitCountLabel->text(), QStringLiteral("  4 units parsed..."));
    EXPECT_EQ(Window->windowTitle(), Fixture("Proj/Proj.dpr"));
    EXPECT_EQ(Window->FrontEnd().ApplicationTitle(), QStringLiteral("Proj.dpr"));
    EXPECT_EQ(Application::Instance()->Title(), QStringLiteral("Proj.dpr"));
}

TEST_F(ScanLogTest, MissingProjectFileShowsTheErrorBoxAndKeepsTheRecords) {
    ScanFixture();
    ASSERT_NE(Window->Scan().FProject, nullptr);
    const ut::TProject* before = Window->Scan().FProject;

    const QString missing = Fixture("Proj/Nowhere.dpr");
    Page().projectEdit->setText(missing);
    QTest::mouseClick(Page().startButton, Qt::LeftButton);
    EXPECT_EQ(Prompts.Errors, QStringList{"File \"" + missing + "\" not found!"});
    // "&Start" empties the log before the scan refuses the file.
    EXPECT_TRUE(Log().isEmpty());
    EXPECT_EQ(Window->Scan().FProject, before);
}

TEST_F(ScanLogTest, AQuickEscapeTapAbortsTheScan) {
    Page().projectEdit->setText(Fixture("Proj/Proj.dpr"));
    // Pressed and released within the scan's first pause between units: the key is up
    // again when the pause looks at it.
    QCoreApplication::postEvent(Page().logView,
                                new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
    QCoreApplication::postEvent(Page().logView,
                                new QKeyEvent(QEvent::KeyRelease, Qt::Key_Escape, Qt::NoModifier));
    Window->startScan();
    const QStringList texts = Log();
    ASSERT_FALSE(texts.isEmpty());
    EXPECT_EQ(texts.back(), QStringLiteral("Aborted!"));
    EXPECT_EQ(texts.count(QStringLiteral("Aborted!")), 1);
    EXPECT_FALSE(texts.contains(QStringLiteral("Done")));
    EXPECT_TRUE(ReadLog(*Page().logView).back().Italic);
    EXPECT_EQ(Window->FrontEnd().ApplicationTitle(), QStringLiteral("Uni-Trace - Error!"));

    // The press counted once: the next scan runs to its end.
    EXPECT_FALSE(Window->FrontEnd().EscapeHeld());
    Window->startScan();
    EXPECT_EQ(Log().back(), QStringLiteral("Done"));
}

TEST_F(ScanLogTest, ClosingDuringAScanStopsItFirst) {
    Page().projectEdit->setText(Fixture("Proj/Proj.dpr"));
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
    failing.Silent = true;
    QCoreApplication::postEvent(&failing, new QEvent(QEvent::User));
    QCoreApplication::processEvents();
    EXPECT_TRUE(Log().isEmpty());

    failing.Silent = false;
    QCoreApplication::postEvent(&failing, new QEvent(QEvent::User));
    QCoreApplication::processEvents();
    const std::vector<LogLine> lines = ReadLog(*Page().logView);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].Text, QStringLiteral("EXC: File=, Msg=Cannot change to directory"));
    EXPECT_TRUE(lines[0].Italic);
    EXPECT_EQ(lines[0].Color, Red);
    EXPECT_TRUE(Prompts.Errors.isEmpty());
    EXPECT_TRUE(Prompts.Warnings.isEmpty());

    // A connected handler fails the same way (in place of the button's modal editor).
    QObject::disconnect(Page().ignoredUnitsButton, &QPushButton::clicked, nullptr, nullptr);
    QObject::connect(Page().ignoredUnitsButton, &QPushButton::clicked, Window.get(),
                     Guarded([] { throw ut::EParserError("Unexpected EOF"); }));
    QTest::mouseClick(Page().ignoredUnitsButton, Qt::LeftButton);
    EXPECT_EQ(Log().back(), QStringLiteral("EXC: File=, Msg=Unexpected EOF"));
}

} // namespace
} // namespace ut::gui::test
