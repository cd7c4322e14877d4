#include "gui/MatrixView.h"

#include "analysis/DependencyMatrix.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScrollBar>

#include <algorithm>

namespace ut::gui {

namespace {

const QColor HoverColor(255, 200, 0, 60);
const QColor DiagonalColor(232, 234, 238);
const QColor SeparatorColor(184, 190, 200);
const QColor BlockColor(208, 0, 0);

} // namespace

MatrixView::MatrixView(QWidget* parent) : QAbstractScrollArea(parent) {
    setObjectName(QStringLiteral("matrixView"));
    viewport()->setMouseTracking(true);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    Measure();
}

void MatrixView::SetMatrix(const DependencyMatrix* matrix) {
    FMatrix = matrix;
    FHoverRow = FHoverColumn = -1;
    MatrixChanged();
}

void MatrixView::MatrixChanged() {
    Measure();
    UpdateScrollBars();
    viewport()->update();
}

// Sizes from the font: a cell holds three digits, the numbers on top five.
void MatrixView::Measure() {
    const QFontMetrics fm(font());
    FCell = std::max(fm.height() + 4, fm.horizontalAdvance(QStringLiteral("999")) + 6);
    FColumnHeader = fm.horizontalAdvance(QStringLiteral("99999")) + 8;
    int widest = fm.horizontalAdvance(QStringLiteral("Unit name"));
    if (FMatrix && LineName) {
        // The longest names decide; measuring every line of a large matrix costs little
        // next to building it, and happens once per change.
        for (int i = 0; i < FMatrix->LineCount(); ++i)
            widest = std::max(widest, fm.horizontalAdvance(LineName(i)) +
                                          (GroupLabel ? fm.horizontalAdvance(GroupLabel(i)) +
                                                            fm.averageCharWidth() * 3
                                                      : 0));
    }
    const int number = fm.horizontalAdvance(QStringLiteral("99999 "));
    FRowHeader = FCell + std::min(number + widest + 8, fm.horizontalAdvance(QLatin1Char('x')) * 48);
}

void MatrixView::UpdateScrollBars() {
    const int lines = FMatrix ? FMatrix->LineCount() : 0;
    const QSize area = viewport()->size();
    horizontalScrollBar()->setRange(0, std::max(0, FRowHeader + lines * FCell - area.width()));
    verticalScrollBar()->setRange(0, std::max(0, FColumnHeader + lines * FCell - area.height()));
    horizontalScrollBar()->setPageStep(area.width());
    verticalScrollBar()->setPageStep(area.height());
    horizontalScrollBar()->setSingleStep(FCell);
    verticalScrollBar()->setSingleStep(FCell);
}

void MatrixView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollBars();
}

void MatrixView::changeEvent(QEvent* event) {
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        MatrixChanged();
}

std::pair<int, int> MatrixView::LineAt(const QPoint& p) const {
    const int lines = FMatrix ? FMatrix->LineCount() : 0;
    auto line = [&](int offset, int header, int scroll) {
        if (offset < header)
            return -1;
        const int i = (offset - header + scroll) / FCell;
        return i < lines ? i : -1;
    };
    return {line(p.y(), FColumnHeader, verticalScrollBar()->value()),
            line(p.x(), FRowHeader, horizontalScrollBar()->value())};
}

void MatrixView::ScrollTo(int row, int column) {
    const QSize area = viewport()->size();
    auto fit = [this](QScrollBar* bar, int line, int room) {
        if (line < 0)
            return;
        const int top = line * FCell;
        if (top < bar->value())
            bar->setValue(top);
        else if (top + FCell > bar->value() + room)
            bar->setValue(top + FCell - room);
    };
    fit(verticalScrollBar(), row, area.height() - FColumnHeader);
    fit(horizontalScrollBar(), column, area.width() - FRowHeader);
}

QPoint MatrixView::CellCentre(int row, int column) {
    ScrollTo(row, column);
    return {FRowHeader + column * FCell - horizontalScrollBar()->value() + FCell / 2,
            FColumnHeader + row * FCell - verticalScrollBar()->value() + FCell / 2};
}

QPoint MatrixView::ExpanderCentre(int line) {
    return {FCell / 2, RowHeaderCentre(line).y()};
}

QPoint MatrixView::RowHeaderCentre(int line) {
    ScrollTo(line, -1);
    return {(FRowHeader + FCell) / 2,
            FColumnHeader + line * FCell - verticalScrollBar()->value() + FCell / 2};
}

QPoint MatrixView::ColumnHeaderCentre(int line) {
    ScrollTo(-1, line);
    return {FRowHeader + line * FCell - horizontalScrollBar()->value() + FCell / 2,
            FColumnHeader / 2};
}

void MatrixView::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    FPainted = 0;
    if (!FMatrix || FMatrix->LineCount() == 0)
        return;
    const QSize area = viewport()->size();
    const int sx = horizontalScrollBar()->value(), sy = verticalScrollBar()->value();
    const int last = FMatrix->LineCount() - 1;
    const int r0 = sy / FCell, r1 = std::min(last, (sy + area.height() - FColumnHeader) / FCell);
    const int c0 = sx / FCell, c1 = std::min(last, (sx + area.width() - FRowHeader) / FCell);
    painter.save();
    painter.setClipRect(FRowHeader, FColumnHeader, area.width(), area.height());
    PaintCells(painter, r0, r1, c0, c1);
    painter.restore();
    PaintHeaders(painter, r0, r1, c0, c1);
}

void MatrixView::PaintCells(QPainter& painter, int r0, int r1, int c0, int c1) {
    const QSize area = viewport()->size();
    const int sx = horizontalScrollBar()->value(), sy = verticalScrollBar()->value();
    auto X = [&](int c) { return FRowHeader + c * FCell - sx; };
    auto Y = [&](int r) { return FColumnHeader + r * FCell - sy; };
    for (int i = std::max(r0, c0); i <= std::min(r1, c1); ++i)
        painter.fillRect(X(i), Y(i), FCell, FCell, DiagonalColor);
    if (FHoverRow >= 0)
        painter.fillRect(FRowHeader, Y(FHoverRow), area.width(), FCell, HoverColor);
    if (FHoverColumn >= 0)
        painter.fillRect(X(FHoverColumn), FColumnHeader, FCell, area.height(), HoverColor);

    painter.setPen(Qt::white);
    FMatrix->ForEachCell(r0, r1, c0, c1, [&](int r, int c, MatrixCell cell) {
        const QRect box(X(c) + 1, Y(r) + 1, FCell - 2, FCell - 2);
        painter.fillRect(box, cell.Interface ? InterfaceColor() : ImplementationColor());
        if (cell.Interface && cell.Implementation) {
            // Both sections: the lower right half in the implementation's colour.
            QPainterPath half;
            half.moveTo(box.topRight());
            half.lineTo(box.bottomRight());
            half.lineTo(box.bottomLeft());
            half.closeSubpath();
            painter.fillPath(half, ImplementationColor());
        }
        if (cell.Total() < 1000)
            painter.drawText(box, Qt::AlignCenter, QString::number(cell.Total()));
        ++FPainted;
    });

    // Lines between groups, then the cycles' blocks.
    painter.setPen(SeparatorColor);
    for (int i = std::min(r0, c0) + 1; i <= std::max(r1, c1); ++i) {
        if (FMatrix->Line(i).Group == FMatrix->Line(i - 1).Group)
            continue;
        painter.drawLine(FRowHeader, Y(i), area.width(), Y(i));
        painter.drawLine(X(i), FColumnHeader, X(i), area.height());
    }
    painter.setPen(QPen(BlockColor, 2));
    painter.setBrush(Qt::NoBrush);
    for (const MatrixBlock& b : FMatrix->Blocks()) {
        if (b.Last < std::min(r0, c0) || b.First > std::max(r1, c1))
            continue;
        const int side = (b.Last - b.First + 1) * FCell;
        painter.drawRect(X(b.First) + 1, Y(b.First) + 1, side - 2, side - 2);
    }
}

void MatrixView::PaintHeaders(QPainter& painter, int r0, int r1, int c0, int c1) {
    const QSize area = viewport()->size();
    const int sx = horizontalScrollBar()->value(), sy = verticalScrollBar()->value();
    const QColor text = palette().color(QPalette::Text);
    const QColor window = palette().color(QPalette::Window);
    painter.fillRect(0, 0, FRowHeader, area.height(), window);
    painter.fillRect(0, 0, area.width(), FColumnHeader, window);
    painter.save();
    painter.setClipRect(0, FColumnHeader, FRowHeader, area.height());
    QFont bold = font();
    bold.setBold(true);
    for (int r = r0; r <= r1; ++r) {
        const MatrixLine& line = FMatrix->Line(r);
        const int y = FColumnHeader + r * FCell - sy;
        if (r == FHoverRow)
            painter.fillRect(0, y, FRowHeader, FCell, HoverColor);
        painter.setPen(text);
        // A closed group's row, and the first row of an open one, carry its expander.
        if (line.Node < 0 || (line.Group >= 0 && FMatrix->FirstLineOfGroup(line.Group) == r))
            painter.drawText(QRect(0, y, FCell, FCell), Qt::AlignCenter,
                             line.Node < 0 ? QStringLiteral("\u25B8") : QStringLiteral("\u25BE"));
        painter.setFont(line.Node < 0 ? bold : font());
        painter.drawText(
            QRect(FCell, y, FRowHeader - FCell - 4, FCell), Qt::AlignVCenter | Qt::AlignLeft,
            QString::number(r + 1) + QLatin1Char(' ') + (LineName ? LineName(r) : QString()));
        painter.setFont(font());
        if (const QString group = GroupLabel ? GroupLabel(r) : QString(); !group.isEmpty()) {
            QColor dim = text;
            dim.setAlpha(150);
            painter.setPen(dim);
            painter.drawText(QRect(FCell, y, FRowHeader - FCell - 4, FCell),
                             Qt::AlignVCenter | Qt::AlignRight, group);
        }
    }
    painter.restore();
    painter.save();
    painter.setClipRect(FRowHeader, 0, area.width(), FColumnHeader);
    painter.setPen(text);
    for (int c = c0; c <= c1; ++c) {
        const int x = FRowHeader + c * FCell - sx;
        if (c == FHoverColumn)
            painter.fillRect(x, 0, FCell, FColumnHeader, HoverColor);
        painter.save();
        painter.translate(x, FColumnHeader - 4);
        painter.rotate(-90);
        painter.drawText(QRect(0, 0, FColumnHeader - 4, FCell), Qt::AlignVCenter | Qt::AlignLeft,
                         QString::number(c + 1));
        painter.restore();
    }
    painter.restore();
}

void MatrixView::mouseMoveEvent(QMouseEvent* event) {
    const auto [row, column] = LineAt(event->position().toPoint());
    if (row != FHoverRow || column != FHoverColumn) {
        FHoverRow = row;
        FHoverColumn = column;
        viewport()->update();
    }
    QAbstractScrollArea::mouseMoveEvent(event);
}

void MatrixView::leaveEvent(QEvent* event) {
    FHoverRow = FHoverColumn = -1;
    viewport()->update();
    QAbstractScrollArea::leaveEvent(event);
}

void MatrixView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return QAbstractScrollArea::mousePressEvent(event);
    const auto [row, column] = LineAt(event->position().toPoint());
    if (row >= 0 && column >= 0)
        emit cellClicked(row, column);
    else if (row >= 0 && event->position().x() < FCell)
        emit expanderClicked(row);
    else if (row >= 0)
        emit headerClicked(row);
}

void MatrixView::mouseDoubleClickEvent(QMouseEvent* event) {
    const auto [row, column] = LineAt(event->position().toPoint());
    if (row >= 0 && column < 0 && event->position().x() >= FCell)
        emit headerDoubleClicked(row);
    else if (column >= 0 && row < 0)
        emit headerDoubleClicked(column);
}

} // namespace ut::gui
