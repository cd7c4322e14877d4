#include "GuiTestSupport.h"

#include "platform/FileSystem.h"

#include <QTextBlock>

namespace ut::gui::test {

std::vector<LogLine> ReadLog(const QTextEdit& log) {
    std::vector<LogLine> lines;
    for (QTextBlock block = log.document()->begin(); block.isValid(); block = block.next()) {
        if (!block.next().isValid() && block.text().isEmpty())
            break;
        LogLine line;
        line.Text = block.text();
        // The format of the first character is the one after position 1 of the block.
        QTextCursor cursor(block);
        cursor.movePosition(QTextCursor::NextCharacter);
        const QTextCharFormat format = cursor.charFormat();
        line.Bold = format.fontWeight() >= QFont::Bold;
        line.Italic = format.fontItalic();
        line.Color = format.foreground().color();
        lines.push_back(line);
    }
    return lines;
}

QStringList LogTexts(const QTextEdit& log) {
    QStringList out;
    for (const LogLine& line : ReadLog(log))
        out << line.Text;
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
