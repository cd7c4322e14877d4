#pragma once
// The hourglass for the lifetime of a scope, restored on every way out, exceptions included.
#include <QGuiApplication>

namespace ut::gui {

class WaitCursor {
  public:
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

} // namespace ut::gui
