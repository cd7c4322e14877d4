#include "gui/WindowFit.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace ut::gui {

int TitleWidth(const QWidget& window) {
    QFont bold = window.font();
    bold.setBold(true);
    const QFontMetrics metrics(bold);
    // The icon, the minimise, maximise and close buttons and the margins: about a line's
    // height each, and as much again.
    return metrics.horizontalAdvance(window.windowTitle()) + 6 * metrics.height();
}

QSize WithinScreen(const QWidget& window, QSize size) {
    const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return size;
    return size.boundedTo(screen->availableGeometry().size());
}

void FitTitle(QWidget& window) {
    const int width = std::max(window.width(), TitleWidth(window));
    window.resize(WithinScreen(window, QSize(width, window.height())));
}

} // namespace ut::gui
