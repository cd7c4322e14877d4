#pragma once
// The drawing of a dependency matrix: row names on the left, line numbers on top, the cells
// that count uses entries coloured by section (interface, implementation, both), cycles as
// red outlined blocks, the row and column under the mouse highlighted. Only the cells in
// view are painted, so a matrix of thousands of lines scrolls as fast as a small one.
#include <QAbstractScrollArea>

#include <functional>

namespace ut {
class DependencyMatrix;
}

namespace ut::gui {

class MatrixView : public QAbstractScrollArea {
    Q_OBJECT
  public:
    explicit MatrixView(QWidget* parent = nullptr);

    /// The matrix shown (it must outlive its showing); nullptr shows nothing.
    void SetMatrix(const ut::DependencyMatrix* matrix);
    /// The lines changed (a group opened or closed): sizes and scroll range anew.
    void MatrixChanged();

    /// Name of a line as its row header shows it.
    std::function<QString(int line)> LineName;
    /// Name of the group whose first open line `line` is, shown beside it; empty for others.
    std::function<QString(int line)> GroupLabel;

    int CellSize() const { return FCell; }
    /// Where a cell, a row header or a column header is drawn, in viewport coordinates (the
    /// line scrolled into view first).
    QPoint CellCentre(int row, int column);
    QPoint RowHeaderCentre(int line);
    QPoint ExpanderCentre(int line);
    QPoint ColumnHeaderCentre(int line);
    /// The row and column under the mouse; -1 when none.
    int HoverRow() const { return FHoverRow; }
    int HoverColumn() const { return FHoverColumn; }
    /// Cells painted by the last paint.
    int PaintedCells() const { return FPainted; }

    static QColor InterfaceColor() { return {59, 111, 182}; }
    static QColor ImplementationColor() { return {224, 146, 47}; }

  signals:
    void cellClicked(int row, int column);
    /// A click on a row header's name.
    void headerClicked(int line);
    /// A click on the expander left of a group's row (or an open group's first row).
    void expanderClicked(int line);
    /// A double-click on a row or column header.
    void headerDoubleClicked(int line);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    void Measure();
    void UpdateScrollBars();
    /// The row and column at a viewport point; -1 in a header or past the last line.
    std::pair<int, int> LineAt(const QPoint& p) const;
    void ScrollTo(int row, int column);
    void PaintCells(class QPainter& painter, int r0, int r1, int c0, int c1);
    void PaintHeaders(class QPainter& painter, int r0, int r1, int c0, int c1);

    const ut::DependencyMatrix* FMatrix = nullptr;
    int FCell = 18;         ///< side of a cell
    int FRowHeader = 120;   ///< width of the row names
    int FColumnHeader = 40; ///< height of the numbers on top
    int FHoverRow = -1, FHoverColumn = -1;
    int FPainted = 0;
};

} // namespace ut::gui
