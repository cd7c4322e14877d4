#include "gui/StartOptions.h"

namespace ut::gui {

StartOptions ParseStartOptions(const QStringList& args) {
    StartOptions out;
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--screenshots")) {
            if (i + 1 >= args.size()) {
                out.Error = QStringLiteral("--screenshots needs a directory");
                return out;
            }
            out.ScreenshotDir = args[++i];
            continue;
        }
        out.Arguments << args[i];
    }
    return out;
}

} // namespace ut::gui
