#pragma once
// Sizes that let a window show its title and its content whole, on the screen it is on.
#include <QSize>

class QWidget;

namespace ut::gui {

/// The width a title bar needs to show the window's title whole: the text in the window's
/// font made bold (as title bars often draw it), and room for the icon and the buttons.
int TitleWidth(const QWidget& window);

/// `size` made no larger than the available area of the window's screen (the primary one
/// before the window has one).
QSize WithinScreen(const QWidget& window, QSize size);

/// Widens the window, when it is narrower, so that its title shows whole.
void FitTitle(QWidget& window);

} // namespace ut::gui
