// The log control on its own: several lines in one call, and the mouse-wheel rule that the
// log shares with the map view. Also the small text helpers of the window.
#include "GuiTestSupport.h"

#include "gui/LogView.h"
#include "gui/Prompts.h"
#include "gui/StartOptions.h"

#include <QScrollBar>
#include <QWheelEvent>

#include <gtest/gtest.h>

namespace ut::gui::test {
namespace {

TEST(LogViewTest, TextWithLineFeedsBecomesSeveralLinesOfOneStyle) {
    LogView log;
    log.AppendLog(QStringLiteral("first"), lsPlain);
    log.AppendLog(QStringLiteral("a\r\nb"), lsItalic);
    log.AppendLog(QString(), lsPlain);
    log.AppendLog(QStringLiteral("last"), lsBold);
    const std::vector<LogLine> lines = ReadLog(log);
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(log.CurrentRow(), 4);
    EXPECT_EQ(LogTexts(log), (QStringList{"first", "a", "b", "", "last"}));
    EXPECT_TRUE(lines[1].Italic);
    EXPECT_TRUE(lines[2].Italic);
    EXPECT_EQ(lines[2].Color, QColor(255, 0, 0));
    EXPECT_FALSE(lines[0].Italic);
    EXPECT_TRUE(lines[4].Bold);
    EXPECT_FALSE(lines[4].Italic);
}

// Guards against a log left scrolled sideways after deep lines ("Done" shown as "e"), and
// against indentation held as blanks.
TEST(LogViewTest, DeepLinesKeepTheNewestLineAtColumnZero) {
    LogView log;
    log.resize(240, 120);
    log.show();
    log.AppendLine(5000, QStringLiteral("Deep: parsed..."), lsPlain);
    log.AppendLine(0, QStringLiteral("Done"), lsBold);
    QCoreApplication::processEvents();
    EXPECT_EQ(log.LineAt(0).Text, QStringLiteral("Deep: parsed..."));
    EXPECT_EQ(log.ShownText(0), QString(10000, u' ') + "Deep: parsed...");
    EXPECT_GT(log.horizontalScrollBar()->maximum(), 0); // the deep line can be scrolled to
    EXPECT_EQ(log.horizontalScrollBar()->value(), 0);
    EXPECT_TRUE(
        log.viewport()->rect().contains(QPoint(log.TextLeft(1), log.RowRect(1).center().y())));
}

class WheelTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Log.resize(300, 200);
        for (int i = 0; i < 200; ++i)
            Log.AppendLog(QStringLiteral("line %1").arg(i), lsPlain);
        Log.show();
        Bar = Log.verticalScrollBar();
        Line = Log.fontMetrics().lineSpacing();
        Bar->setValue(Bar->maximum() / 2);
    }
    /// One notch; returns how far the log scrolled (positive is down).
    int Turn(int delta, Qt::KeyboardModifiers modifiers) {
        const int before = Bar->value();
        const QPointF at(Log.viewport()->rect().center());
        QWheelEvent event(at, Log.viewport()->mapToGlobal(at), QPoint(), QPoint(0, delta),
                          Qt::NoButton, modifiers, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(Log.viewport(), &event);
        EXPECT_TRUE(event.isAccepted());
        return Bar->value() - before;
    }

    LogView Log;
    QScrollBar* Bar = nullptr;
    int Line = 0;
};

TEST_F(WheelTest, StepDependsOnTheModifiers) {
    struct Case {
        const char* Name;
        int Delta;
        Qt::KeyboardModifiers Modifiers;
        int Lines; ///< 0 stands for one page
        int Sign;
    };
    const Case cases[] = {
        {"down", -120, Qt::NoModifier, 2, 1},
        {"up", 120, Qt::NoModifier, 2, -1},
        {"shift down", -120, Qt::ShiftModifier, 1, 1},
        {"shift up", 120, Qt::ShiftModifier, 1, -1},
        {"ctrl down", -120, Qt::ControlModifier, 0, 1},
        {"ctrl up", 120, Qt::ControlModifier, 0, -1},
        // Shift wins over Ctrl.
        {"ctrl shift down", -120, Qt::ControlModifier | Qt::ShiftModifier, 1, 1},
        // Down at the end does nothing.
        {"end down", -120, Qt::NoModifier, 0, 0},
        {"end ctrl down", -120, Qt::ControlModifier, 0, 0},
    };
    for (const Case& c : cases) {
        Bar->setValue(c.Sign ? Bar->maximum() / 2 : Bar->maximum());
        const int expected = c.Sign * (c.Lines ? c.Lines * Line : Bar->pageStep());
        EXPECT_EQ(Turn(c.Delta, c.Modifiers), expected) << c.Name;
    }
}

TEST(ProjectFilterTest, PairsBecomeNameFiltersWithTheirCaptions) {
    EXPECT_EQ(NameFiltersFromPairs(QStringLiteral(
                  "Pascal sources (*.pas,*.dpr,*.dpk)|*.pas;*.dpr;*.dpk|All files (*.*)|*.*")),
              (QStringList{"Pascal sources (*.pas,*.dpr,*.dpk) (*.pas *.PAS *.dpr *.DPR *.dpk "
                           "*.DPK)",
                           "All files (*.*) (*)"}));
    // A caption without its patterns is dropped.
    EXPECT_EQ(NameFiltersFromPairs(QStringLiteral("Maps|*.MAP|Dangling")),
              (QStringList{"Maps (*.MAP)"}));
}

TEST(StartOptionsTest, ArgumentsAndScreenshotDirectory) {
    struct Case {
        QStringList Args;
        QStringList Arguments;
        QString Dir;
        bool Error;
    };
    const Case cases[] = {
        {{}, {}, {}, false},
        {{"Demo.dpr"}, {"Demo.dpr"}, {}, false},
        {{"--screenshots", "out", "Demo.dpr"}, {"Demo.dpr"}, "out", false},
        {{"Demo.dpr", "--screenshots", "out"}, {"Demo.dpr"}, "out", false},
        {{"Demo.dpr", "--screenshots"}, {"Demo.dpr"}, {}, true},
    };
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
