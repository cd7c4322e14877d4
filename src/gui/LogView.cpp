#include "gui/LogView.h"

#include "gui/FixedPitchFont.h"
#include "gui/WheelScroll.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>
#include <climits>
#include <iterator>

namespace ut::gui {

namespace {

// Room between the view's edges and the text.
constexpr int Margin = 2;

// Calls piece(start, length) for each screen line of `text` when at most `columns`
// characters fit on one: a line ends at the last blank in reach (which is not drawn), or in
// the middle of a word too long for it. Returns the number of screen lines.
template <class F> int ForEachPiece(const QString& text, int columns, F&& piece) {
    const int length = static_cast<int>(text.size());
    int start = 0, count = 0;
    while (length - start > columns) {
        const int end = start + columns;
        const int blank = static_cast<int>(text.lastIndexOf(u' ', end));
        if (blank > start) {
            piece(start, blank - start);
            start = blank + 1;
        } else {
            piece(start, columns);
            start = end;
        }
        ++count;
    }
    piece(start, length - start);
    return count + 1;
}

int CountPieces(const QString& text, int columns) {
    return ForEachPiece(text, columns, [](int, int) {});
}

} // namespace

LogView::LogView(QWidget* parent) : QAbstractScrollArea(parent) {
    setObjectName(QStringLiteral("logView"));
    setFont(FixedPitchFont());
    setFocusPolicy(Qt::StrongFocus);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    UpdateScrollBars();
}

void LogView::AppendLine(int depth, const QString& text, ut::LogStyle style) {
    if (viewport()->width() != FLayoutWidth)
        Relayout();
    for (QString piece : text.split(u'\n')) {
        if (piece.endsWith(u'\r'))
            piece.chop(1);
        Line line{depth, std::move(piece), style};
        FFirstBand.push_back(FFirstBand.back() + CountPieces(line.Text, Columns(line)));
        FLines.push_back(std::move(line));
    }
    FCurrent = LineCount() - 1;
    FAnchor = -1;
    UpdateScrollBars();
    verticalScrollBar()->setValue(verticalScrollBar()->maximum());
    viewport()->update();
}

void LogView::clear() {
    FLines.clear();
    FFirstBand.assign(1, 0);
    FCurrent = -1;
    FAnchor = -1;
    UpdateScrollBars();
    viewport()->update();
}

QString LogView::ShownText(int row) const {
    const Line& line = LineAt(row);
    return QString(line.Depth * ut::LogIndentWidth, u' ') + line.Text;
}

QStringList LogView::DrawnLines(int row) const {
    const Line& line = LineAt(row);
    QStringList pieces;
    ForEachPiece(line.Text, Columns(line),
                 [&](int start, int length) { pieces << line.Text.mid(start, length); });
    return pieces;
}

QString LogView::DepthMark(int row) const {
    const int depth = LineAt(row).Depth;
    const qint64 full = qint64(depth) * ut::LogIndentWidth * fontMetrics().horizontalAdvance(u' ');
    return full > IndentWidth(depth) ? QString::number(depth) : QString();
}

QFont LogView::FontOf(ut::LogStyle style) const {
    QFont f = font();
    f.setBold((style & lsBold) != 0);
    f.setItalic((style & lsItalic) != 0);
    return f;
}

QColor LogView::ColorOf(ut::LogStyle style) const {
    return (style & lsItalic) ? FailureColor() : palette().color(QPalette::WindowText);
}

QString LogView::SelectedText() const {
    int first = 0, last = LineCount() - 1;
    if (FAnchor >= 0 && FCurrent >= 0) {
        first = std::min(FAnchor, FCurrent);
        last = std::max(FAnchor, FCurrent);
    }
    QString text;
    for (int row = first; row <= last; ++row)
        text += ShownText(row) + u'\n';
    return text;
}

qreal LogView::CharWidth(ut::LogStyle style) const {
    // The font is fixed-pitch: a line is as wide as its characters, which spares measuring
    // every appended line. The advance is a fraction of a pixel: measured over many.
    const int index = style & (lsBold | lsItalic);
    if (FCharWidths[index] == 0)
        FCharWidths[index] = std::max<qreal>(
            1, QFontMetricsF(FontOf(style)).horizontalAdvance(QString(100, u'x')) / 100);
    return FCharWidths[index];
}

int LogView::Columns(const Line& line) const {
    const int width = viewport()->width() - IndentWidth(line.Depth) - 2 * Margin;
    return std::max(1, static_cast<int>(width / CharWidth(line.Style)));
}

int LogView::LineHeight() const {
    return std::max(1, fontMetrics().lineSpacing());
}

int LogView::IndentWidth(int depth) const {
    const qint64 width = qint64(depth) * ut::LogIndentWidth * fontMetrics().horizontalAdvance(u' ');
    return static_cast<int>(std::min<qint64>(width, viewport()->width() / 2));
}

QRect LogView::RowRect(int row) const {
    const int height = LineHeight();
    const auto first = static_cast<size_t>(row);
    return QRect(0, FFirstBand[first] * height - verticalScrollBar()->value(), viewport()->width(),
                 (FFirstBand[first + 1] - FFirstBand[first]) * height);
}

int LogView::TextLeft(int row) const {
    return IndentWidth(LineAt(row).Depth) + Margin;
}

int LogView::RowAt(int y) const {
    const int band = (y + verticalScrollBar()->value()) / LineHeight();
    const auto after = std::upper_bound(FFirstBand.begin(), FFirstBand.end(), band);
    const int row = static_cast<int>(after - FFirstBand.begin()) - 1;
    return std::clamp(row, 0, std::max(0, LineCount() - 1));
}

void LogView::Relayout() {
    FLayoutWidth = viewport()->width();
    FFirstBand.assign(1, 0);
    FFirstBand.reserve(FLines.size() + 1);
    for (const Line& line : FLines)
        FFirstBand.push_back(FFirstBand.back() + CountPieces(line.Text, Columns(line)));
    UpdateScrollBars();
}

void LogView::UpdateScrollBars() {
    const int height = LineHeight();
    const qint64 total = qint64(FFirstBand.back()) * height;
    QScrollBar* v = verticalScrollBar();
    v->setRange(0, static_cast<int>(std::clamp<qint64>(total - viewport()->height(), 0, INT_MAX)));
    v->setPageStep(viewport()->height());
    v->setSingleStep(height);
}

void LogView::paintEvent(QPaintEvent* event) {
    if (FLines.empty())
        return;
    QPainter painter(viewport());
    const int height = LineHeight();
    const int ascent = fontMetrics().ascent();
    const QPalette& colours = palette();
    QFont markFont = font();
    if (markFont.pointSizeF() > 0)
        markFont.setPointSizeF(markFont.pointSizeF() * 0.75);
    else
        markFont.setPixelSize(std::max(1, markFont.pixelSize() * 3 / 4));
    const QRect area = event->rect();
    for (int row = RowAt(area.top()); row < LineCount(); ++row) {
        const QRect rect = RowRect(row);
        if (rect.top() > area.bottom())
            break;
        const Line& line = LineAt(row);
        const bool selected = FAnchor >= 0 && row >= std::min(FAnchor, FCurrent) &&
                              row <= std::max(FAnchor, FCurrent);
        if (selected)
            painter.fillRect(rect, colours.brush(QPalette::Highlight));
        const int left = TextLeft(row);
        if (const QString mark = DepthMark(row); !mark.isEmpty()) {
            painter.setFont(markFont);
            painter.setPen(
                colours.color(selected ? QPalette::HighlightedText : QPalette::PlaceholderText));
            painter.drawText(QRect(0, rect.top(), left - Margin, height),
                             Qt::AlignRight | Qt::AlignVCenter, mark);
        }
        painter.setFont(FontOf(line.Style));
        painter.setPen(selected ? colours.color(QPalette::HighlightedText) : ColorOf(line.Style));
        int y = rect.top();
        ForEachPiece(line.Text, Columns(line), [&](int start, int length) {
            if (y + height > area.top() && y <= area.bottom())
                painter.drawText(left, y + ascent, line.Text.mid(start, length));
            y += height;
        });
    }
}

void LogView::resizeEvent(QResizeEvent* event) {
    // A view that shows the newest line goes on showing it whole; any other keeps its top
    // line in place while the lines wrap anew.
    const QScrollBar* v = verticalScrollBar();
    const bool atEnd = v->value() >= v->maximum();
    const int top = RowAt(0);
    QAbstractScrollArea::resizeEvent(event);
    if (viewport()->width() != FLayoutWidth)
        Relayout();
    else
        UpdateScrollBars();
    if (atEnd || FLines.empty())
        verticalScrollBar()->setValue(verticalScrollBar()->maximum());
    else
        verticalScrollBar()->setValue(FFirstBand[static_cast<size_t>(top)] * LineHeight());
}

void LogView::changeEvent(QEvent* event) {
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        // The widths were measured with the old font.
        std::fill(std::begin(FCharWidths), std::end(FCharWidths), 0);
        Relayout();
    }
}

void LogView::wheelEvent(QWheelEvent* event) {
    ApplyWheelRule(*verticalScrollBar(), event->angleDelta().y(), event->modifiers(), LineHeight());
    event->accept();
}

void LogView::SetCurrent(int row, bool extend) {
    if (LineCount() == 0)
        return;
    row = std::clamp(row, 0, LineCount() - 1);
    if (!extend)
        FAnchor = row;
    else if (FAnchor < 0)
        FAnchor = std::max(FCurrent, 0);
    FCurrent = row;
    ScrollToRow(row);
    viewport()->update();
}

void LogView::ScrollToRow(int row) {
    const int height = LineHeight();
    const int top = FFirstBand[static_cast<size_t>(row)] * height;
    const int bottom = FFirstBand[static_cast<size_t>(row) + 1] * height;
    QScrollBar* v = verticalScrollBar();
    if (top < v->value())
        v->setValue(top);
    else if (bottom > v->value() + viewport()->height())
        v->setValue(std::min(top, bottom - viewport()->height()));
}

void LogView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        SetCurrent(RowAt(event->position().toPoint().y()),
                   (event->modifiers() & Qt::ShiftModifier) != 0);
    QAbstractScrollArea::mousePressEvent(event);
}

void LogView::mouseMoveEvent(QMouseEvent* event) {
    if (event->buttons() & Qt::LeftButton)
        SetCurrent(RowAt(event->position().toPoint().y()), true);
}

void LogView::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Copy)) {
        QApplication::clipboard()->setText(SelectedText());
        return;
    }
    if (event->matches(QKeySequence::SelectAll)) {
        FAnchor = 0;
        SetCurrent(LineCount() - 1, true);
        return;
    }
    const bool extend = (event->modifiers() & Qt::ShiftModifier) != 0;
    // A page is the screen lines in view, counted from the caret's first.
    const int page = std::max(1, viewport()->height() / LineHeight()) * LineHeight();
    const int caretY = FCurrent >= 0 ? RowRect(FCurrent).top() : 0;
    switch (event->key()) {
    case Qt::Key_Up:
        SetCurrent(FCurrent - 1, extend);
        return;
    case Qt::Key_Down:
        SetCurrent(FCurrent + 1, extend);
        return;
    case Qt::Key_PageUp:
        SetCurrent(std::min(FCurrent - 1, RowAt(caretY - page)), extend);
        return;
    case Qt::Key_PageDown:
        SetCurrent(std::max(FCurrent + 1, RowAt(caretY + page)), extend);
        return;
    case Qt::Key_Home:
        SetCurrent(0, extend);
        return;
    case Qt::Key_End:
        SetCurrent(LineCount() - 1, extend);
        return;
    default:
        // Escape and the rest go on to the window (Escape stops a scan).
        QAbstractScrollArea::keyPressEvent(event);
    }
}

} // namespace ut::gui
