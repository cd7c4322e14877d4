// Settings that are corrupt or cannot be read or written: a list count far beyond the items
// stored, a window position off every screen or out of range, and a store that fails.
#include "GuiTestSupport.h"

#include "gui/StoredSettings.h"

#include <QGuiApplication>
#include <QScreen>

namespace ut::gui::test {
namespace {

TEST(FitOnScreenTest, KeepsAReachableWindowAndBringsBackAnyOther) {
    const QRect primary(0, 0, 1000, 800), right(1000, 100, 800, 600);
    const struct {
        const char* Case;
        QRect Stored, Expected;
    } cases[] = {
        {"partly off to the right, title bar in reach", {900, 20, 300, 200}, {900, 20, 300, 200}},
        {"on the second screen", {1200, 300, 300, 200}, {1200, 300, 300, 200}},
        {"off every screen: onto the primary", {5000, 5000, 300, 200}, {700, 600, 300, 200}},
        {"title bar above the screen", {10, -50, 300, 200}, {10, 0, 300, 200}},
        {"larger than its screen: made to fit it", {1100, 150, 2000, 2000}, {1000, 100, 800, 600}},
        {"far left and up", {-90000, -90000, 619, 418}, {0, 0, 619, 418}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FitOnScreen(c.Stored, {primary, right}), c.Expected) << c.Case;
}

class SettingsRobustnessTest : public WindowTest {
  protected:
    void Store(const char* key, const QString& value) {
        Settings.Settings().setValue(QLatin1String(key), value);
    }
};

// A count of fifty million took minutes and gigabytes: only the items present are read, and
// no more than a cap (this count lies beyond the cap too).
TEST_F(SettingsRobustnessTest, CorruptCountReadsOnlyTheItemsPresent) {
    Store("Main.IgnUnits_Lines/Count", QStringLiteral("100000"));
    Store("Main.IgnUnits_Lines/Item0", QStringLiteral("Zeta"));
    Store("Main.IgnUnits_Lines/Item1", QStringLiteral("Alpha"));
    Open();
    EXPECT_EQ(Window->Scan().IgnUnits.Lines().ToVector(),
              (std::vector<std::string>{"Alpha", "Zeta"}));
}

// Numbers whose width and height overflow an int: the window still comes back on screen
// (a window off every screen is the table above).
TEST_F(SettingsRobustnessTest, WindowWithAbsurdNumbersComesBackOnScreen) {
    Store("Main/PixelsPerInch", QString::number(QWidget().logicalDpiY()));
    Store("Main/NormPos", QStringLiteral("-2147483648,-2147483648,2147483647,2147483647"));
    Open();
    const QRect at = Window->geometry();
    EXPECT_TRUE(QGuiApplication::primaryScreen()->availableGeometry().contains(at))
        << at.x() << ',' << at.y() << ' ' << at.width() << 'x' << at.height();
}

TEST_F(SettingsRobustnessTest, UnreadableSettingsAreLogged) {
    // A directory stands where the file should be: it cannot be read as a file.
    QSettings settings(QFileInfo(Settings.FileName()).path(), QSettings::IniFormat);
    const auto window = Make(settings);
    window->show();
    EXPECT_EQ(
        LogTexts(*window->Setup().logView),
        QStringList({QStringLiteral(
                         "EXC: File=, Msg=The settings file %1 could not be read (access denied)")
                         .arg(QFileInfo(Settings.FileName()).path())}));
}

TEST_F(SettingsRobustnessTest, UnwritableSettingsAreLogged) {
    // A file stands where the folder of the settings should be.
    const QString blocker = Settings.FileName() + QStringLiteral(".d");
    WriteFile(blocker, {});
    QSettings settings(blocker + QStringLiteral("/settings.ini"), QSettings::IniFormat);
    const auto window = Make(settings);
    window->show();
    window->close();
    EXPECT_EQ(LogTexts(*window->Setup().logView),
              QStringList({QStringLiteral("EXC: File=, Msg=The settings file "
                                          "%1/settings.ini could not be written "
                                          "(access denied)")
                               .arg(blocker)}));
}

} // namespace
} // namespace ut::gui::test
