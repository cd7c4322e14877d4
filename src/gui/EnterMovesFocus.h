#pragma once
// Enter in a single-line input moves the focus to the next control in tab order instead of
// being handed to the input.
#include <QObject>

namespace ut::gui {

class EnterMovesFocus : public QObject {
    Q_OBJECT
  public:
    using QObject::QObject;

    /// Watches `widget` (typically a QLineEdit).
    void Watch(QWidget* widget);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace ut::gui
