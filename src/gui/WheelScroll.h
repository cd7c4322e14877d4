#pragma once
// The mouse-wheel rule of the log and the map view: Shift scrolls one line, Ctrl (without
// Shift) one page, neither two lines; scrolling down stops at the end.
#include <Qt>

class QScrollBar;

namespace ut::gui {

/// Scrolls `bar` for one wheel notch. `delta` > 0 is up (towards the start). `lineStep` is
/// one text line in the bar's units.
void ApplyWheelRule(QScrollBar& bar, int delta, Qt::KeyboardModifiers modifiers, int lineStep);

} // namespace ut::gui
