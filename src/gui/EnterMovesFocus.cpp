#include "gui/EnterMovesFocus.h"

#include <QKeyEvent>
#include <QWidget>

namespace ut::gui {

void EnterMovesFocus::Watch(QWidget* widget) {
    widget->installEventFilter(this);
}

bool EnterMovesFocus::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter)
        return false;
    if (key->modifiers() & ~Qt::KeypadModifier)
        return false;
    if (auto* widget = qobject_cast<QWidget*>(watched)) {
        // focusNextChild is protected; the window's chain decides the next tab stop.
        QWidget* next = widget->nextInFocusChain();
        while (next && next != widget &&
               (!(next->focusPolicy() & Qt::TabFocus) || !next->isEnabled() ||
                !next->isVisibleTo(widget->window())))
            next = next->nextInFocusChain();
        if (next && next != widget)
            next->setFocus(Qt::TabFocusReason);
    }
    return true;
}

} // namespace ut::gui
