#include "GuiTestSupport.h"

#include "platform/FileSystem.h"

namespace ut::gui::test {

std::vector<LogLine> ReadLog(const LogView& log) {
    std::vector<LogLine> lines;
    for (int row = 0; row < log.LineCount(); ++row) {
        const ut::LogStyle style = log.LineAt(row).Style;
        const QFont font = log.FontOf(style);
        lines.push_back({log.ShownText(row), font.bold(), font.italic(), log.ColorOf(style)});
    }
    return lines;
}

QStringList LogTexts(const LogView& log) {
    QStringList out;
    for (int row = 0; row < log.LineCount(); ++row)
        out << log.ShownText(row);
    return out;
}

TempSettings::TempSettings() {
    FSettings = std::make_unique<QSettings>(FDir.filePath(QStringLiteral("settings.ini")),
                                            QSettings::IniFormat);
}

std::unique_ptr<QSettings> TempSettings::Reopen() const {
    FSettings->sync();
    return std::make_unique<QSettings>(FSettings->fileName(), QSettings::IniFormat);
}

void WindowTest::SetUp() {
    FSavedDir = ut::fs::GetCurrentDir();
}

void WindowTest::TearDown() {
    Window.reset();
    ut::fs::SetCurrentDir(FSavedDir);
}

std::unique_ptr<MainWindow> WindowTest::Make(QSettings& settings, const QStringList& arguments,
                                             const ut::RegistryStore* registry) {
    MainWindow::Options options;
    options.Arguments = arguments;
    options.prompts = &Prompts;
    options.Registry = registry;
    return std::make_unique<MainWindow>(settings, options);
}

void WindowTest::Open(const QStringList& arguments, const ut::RegistryStore* registry) {
    Window = Make(Settings.Settings(), arguments, registry);
    Window->show();
}

} // namespace ut::gui::test
