#pragma once
// The program's command line: an optional first argument naming the project, and
// "--screenshots DIR", which saves a picture of each page into DIR and ends.
#include <QString>
#include <QStringList>

namespace ut::gui {

struct StartOptions {
    QStringList Arguments; ///< what the main window receives (the project first)
    QString ScreenshotDir; ///< empty for an ordinary run
    QString Error;         ///< not empty when the command line cannot be used
};

/// `args` without the program name.
StartOptions ParseStartOptions(const QStringList& args);

} // namespace ut::gui
