#pragma once
// The scan log: read-only, fixed-pitch, each appended line styled (bold, or italic and
// red, or plain in the window-text colour), the caret kept at the end and in view.
#include "scan/ScanFrontEnd.h"

#include <QTextEdit>

namespace ut::gui {

class LogView : public QTextEdit {
    Q_OBJECT
  public:
    explicit LogView(QWidget* parent = nullptr);

    /// Appends `text` (lines separated by line feeds) in `style`.
    void AppendLog(const QString& text, ut::LogStyle style);

    /// The colour of italic lines.
    static QColor FailureColor() { return QColor(255, 0, 0); }

  protected:
    void wheelEvent(QWheelEvent* event) override;
};

} // namespace ut::gui
