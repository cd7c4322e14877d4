#pragma once
// Ctrl+Enter (or Ctrl+Return) on a list or tree opens what its current row names, as a
// double-click does.
#include <QEvent>
#include <QKeyEvent>

namespace ut::gui {

/// Is `event` a press of Ctrl+Enter or Ctrl+Return?
inline bool IsActivateKey(const QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto* key = static_cast<const QKeyEvent*>(event);
    return (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
           key->modifiers().testFlag(Qt::ControlModifier);
}

} // namespace ut::gui
