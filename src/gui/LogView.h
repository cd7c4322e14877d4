#pragma once
// The scan log: read-only, fixed-pitch, one styled line per entry (bold, or italic and red,
// or plain in the window-text colour). Lines are kept as the scan gives them (depth, text,
// style) and only the rows in view are drawn, the indentation as space rather than as
// blanks: appending costs the same however long the log or deep the line. Whole lines are
// selected with the mouse or the keyboard and copied as shown.
#include "scan/ScanFrontEnd.h"

#include <QAbstractScrollArea>
#include <QColor>
#include <QFont>
#include <QString>

#include <vector>

namespace ut::gui {

class LogView : public QAbstractScrollArea {
    Q_OBJECT
  public:
    struct Line {
        int Depth = 0;
        QString Text; ///< without the indentation
        LogStyle Style = lsPlain;
    };

    explicit LogView(QWidget* parent = nullptr);

    /// Appends `text` (lines separated by line feeds, a CR before one dropped) in `style`.
    void AppendLog(const QString& text, ut::LogStyle style) { AppendLine(0, text, style); }
    /// Appends lines `depth` levels deep; the view then shows the newest line from its
    /// first column.
    void AppendLine(int depth, const QString& text, ut::LogStyle style);
    void clear();

    int LineCount() const { return static_cast<int>(FLines.size()); }
    const Line& LineAt(int row) const { return FLines[static_cast<size_t>(row)]; }
    /// The line as shown: two blanks per level, then the text.
    QString ShownText(int row) const;
    /// The font and colour a line of `style` is drawn with.
    QFont FontOf(ut::LogStyle style) const;
    QColor ColorOf(ut::LogStyle style) const;
    /// The row of the caret (the newest line after an append); -1 when the log is empty.
    int CurrentRow() const { return FCurrent; }
    /// The selected rows as shown, one per line; every row when none is selected.
    QString SelectedText() const;
    /// The area of `row` in viewport coordinates.
    QRect RowRect(int row) const;
    /// Where the text of `row` starts, after its indentation, in viewport coordinates.
    int TextLeft(int row) const;

    /// The colour of italic lines.
    static QColor FailureColor() { return QColor(255, 0, 0); }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    int RowAt(int y) const;
    int LineHeight() const;
    int IndentWidth(int depth) const;
    qint64 LineWidth(int depth, const QString& text, ut::LogStyle style);
    void UpdateScrollBars();
    void SetCurrent(int row, bool extend);
    void ScrollToRow(int row);

    std::vector<Line> FLines;
    /// The widest line's width in pixels (indentation included).
    qint64 FWidest = 0;
    int FCharWidths[4] = {}; ///< by style; 0 until measured
    int FCurrent = -1;
    int FAnchor = -1; ///< the other end of the selection; -1 when nothing is selected
};

} // namespace ut::gui
