#include "gui/WheelScroll.h"

#include <QScrollBar>

namespace ut::gui {

void ApplyWheelRule(QScrollBar& bar, int delta, Qt::KeyboardModifiers modifiers, int lineStep) {
    if (delta == 0)
        return;
    int step = 2 * lineStep;
    if (modifiers & Qt::ShiftModifier)
        step = lineStep;
    else if (modifiers & Qt::ControlModifier)
        step = bar.pageStep();
    if (delta < 0) {
        if (bar.value() >= bar.maximum())
            return;
        bar.setValue(bar.value() + step);
    } else {
        bar.setValue(bar.value() - step);
    }
}

} // namespace ut::gui
