#pragma once
// The scan log: read-only, fixed-pitch, one styled line per entry (bold, or italic and red,
// or plain in the window-text colour). Lines are kept as the scan gives them (depth, text,
// style) and only the lines in view are drawn, the indentation as space rather than as
// blanks: appending costs the same however long the log or deep the line. There is no
// sideways scrolling: a line too long for the view wraps, after a blank where one is in
// reach, and the indentation stops at half the view's width, where a small number before
// the text gives the real depth. Whole lines are selected with the mouse or the keyboard and
// copied as the text log shows them.
#include "scan/ScanFrontEnd.h"

#include <QAbstractScrollArea>
#include <QColor>
#include <QFont>
#include <QString>
#include <QStringList>

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
    /// Appends lines `depth` levels deep; the view then shows the newest line.
    void AppendLine(int depth, const QString& text, ut::LogStyle style);
    void clear();

    int LineCount() const { return static_cast<int>(FLines.size()); }
    const Line& LineAt(int row) const { return FLines[static_cast<size_t>(row)]; }
    /// The line as the text log shows it: two blanks per level, then the text.
    QString ShownText(int row) const;
    /// The pieces the text of `row` is drawn in, one per screen line.
    QStringList DrawnLines(int row) const;
    /// The depth drawn before the text of a line whose indentation was cut short; empty
    /// for any other line.
    QString DepthMark(int row) const;
    /// The font and colour a line of `style` is drawn with.
    QFont FontOf(ut::LogStyle style) const;
    QColor ColorOf(ut::LogStyle style) const;
    /// The row of the caret (the newest line after an append); -1 when the log is empty.
    int CurrentRow() const { return FCurrent; }
    /// The selected rows as shown, one per line; every row when none is selected.
    QString SelectedText() const;
    /// The area of `row`, all its screen lines, in viewport coordinates.
    QRect RowRect(int row) const;
    /// Where the text of `row` starts, after its indentation, in viewport coordinates.
    int TextLeft(int row) const;
    /// Scrolls as little as needed to show every screen line of `row`.
    void ScrollToRow(int row);

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
    /// The row shown at `y` (viewport coordinates), clamped to the rows there are.
    int RowAt(int y) const;
    int LineHeight() const;
    /// The indentation of `depth` levels in pixels, never more than half the view.
    int IndentWidth(int depth) const;
    /// Characters of `line`'s style that fit on one of its screen lines.
    int Columns(const Line& line) const;
    qreal CharWidth(ut::LogStyle style) const;
    /// Screen lines from the first of every row again (the width or the font changed).
    void Relayout();
    void UpdateScrollBars();
    void SetCurrent(int row, bool extend);

    std::vector<Line> FLines;
    /// The first screen line of each row, and after the last row their number.
    std::vector<int> FFirstBand{0};
    int FLayoutWidth = -1;             ///< the viewport's width when FFirstBand was counted
    mutable qreal FCharWidths[4] = {}; ///< by style; 0 until measured
    int FCurrent = -1;
    int FAnchor = -1; ///< the other end of the selection; -1 when nothing is selected
};

} // namespace ut::gui
