// unitrace: the main window on the project named by the first argument, if any.
#include "gui/Application.h"
#include "gui/MainWindow.h"
#include "gui/Prompts.h"
#include "gui/Screenshots.h"
#include "gui/SettingsKeys.h"
#include "gui/StartOptions.h"
#include "platform/Registry.h"

#include <QDir>
#include <QSettings>
#include <QTemporaryDir>

#include <cstdio>

int main(int argc, char** argv) {
    using namespace ut::gui;
    Application app(argc, argv);
    const StartOptions start = ParseStartOptions(app.arguments().mid(1));
    if (!start.Error.isEmpty()) {
        std::fprintf(stderr, "unitrace: %s\n", qPrintable(start.Error));
        return 2;
    }
    const ut::RegistryStore registry = ut::RegistryStore::FromEnvironment();
    registry.InstallDriveMapper();
    MainWindow::Options options;
    options.Arguments = start.Arguments;
    options.Registry = &registry;

    if (!start.ScreenshotDir.isEmpty()) {
        // The scan changes the current directory; the target is the one the user meant.
        const QString shotDir = QDir(start.ScreenshotDir).absolutePath();
        // Pictures are taken with default settings and leave the user's settings alone.
        QTemporaryDir scratch;
        ConsolePrompts prompts;
        options.prompts = &prompts;
        QSettings settings(scratch.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat);
        MainWindow window(settings, options);
        window.show();
        return SaveScreenshots(window, shotDir, DefaultScreenshotPages()) == 0 ? 0 : 1;
    }
    QSettings settings(QLatin1String(keys::Organization), QLatin1String(keys::Application));
    MainWindow window(settings, options);
    window.show();
    return app.exec();
}
