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

LogView::LogView(QWidget* parent) : QAbstractScrollArea(parent) {
    setObjectName(QStringLiteral("logView"));
    setFont(FixedPitchFont());
    setFocusPolicy(Qt::StrongFocus);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    UpdateScrollBars();
}

void LogView::AppendLine(int depth, const QString& text, ut::LogStyle style) {
    for (QString line : text.split(u'\n')) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        FWidest = std::max(FWidest, LineWidth(depth, line, style));
        FLines.push_back({depth, std::move(line), style});
    }
    FCurrent = LineCount() - 1;
    FAnchor = -1;
    UpdateScrollBars();
    // The newest line in view from its first column, however deep the line before it was.
    verticalScrollBar()->setValue(verticalScrollBar()->maximum());
    horizontalScrollBar()->setValue(0);
    viewport()->update();
}

void LogView::clear() {
    FLines.clear();
    FWidest = 0;
    FCurrent = -1;
    FAnchor = -1;
    UpdateScrollBars();
    viewport()->update();
}

QString LogView::ShownText(int row) const {
    const Line& line = LineAt(row);
    return QString(line.Depth * ut::LogIndentWidth, u' ') + line.Text;
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

qint64 LogView::LineWidth(int depth, const QString& text, ut::LogStyle style) {
    // The font is fixed-pitch: a line is as wide as its characters, which spares measuring
    // every appended line.
    const int index = style & (lsBold | lsItalic);
    if (FCharWidths[index] == 0)
        FCharWidths[index] = std::max(1, QFontMetrics(FontOf(style)).horizontalAdvance(u'x'));
    return IndentWidth(depth) + qint64(text.size()) * FCharWidths[index];
}

int LogView::LineHeight() const {
    return std::max(1, fontMetrics().lineSpacing());
}

int LogView::IndentWidth(int depth) const {
    const qint64 width = qint64(depth) * ut::LogIndentWidth * fontMetrics().horizontalAdvance(u' ');
    return static_cast<int>(std::min<qint64>(width, INT_MAX / 2));
}

QRect LogView::RowRect(int row) const {
    return QRect(-horizontalScrollBar()->value(), row * LineHeight() - verticalScrollBar()->value(),
                 static_cast<int>(std::min<qint64>(FWidest, INT_MAX / 2)) + viewport()->width(),
                 LineHeight());
}

int LogView::TextLeft(int row) const {
    return IndentWidth(LineAt(row).Depth) - horizontalScrollBar()->value() + 2;
}

int LogView::RowAt(int y) const {
    return (y + verticalScrollBar()->value()) / LineHeight();
}

void LogView::UpdateScrollBars() {
    const int height = LineHeight();
    const qint64 total = qint64(LineCount()) * height;
    QScrollBar* v = verticalScrollBar();
    v->setRange(0, static_cast<int>(std::clamp<qint64>(total - viewport()->height(), 0, INT_MAX)));
    v->setPageStep(viewport()->height());
    v->setSingleStep(height);
    QScrollBar* h = horizontalScrollBar();
    h->setRange(
        0, static_cast<int>(std::clamp<qint64>(FWidest + 4 - viewport()->width(), 0, INT_MAX / 2)));
    h->setPageStep(viewport()->width());
    h->setSingleStep(fontMetrics().horizontalAdvance(u' '));
}

void LogView::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    const int height = LineHeight();
    const int first = std::max(0, RowAt(event->rect().top()));
    const int last = std::min(LineCount() - 1, RowAt(event->rect().bottom()));
    const int ascent = fontMetrics().ascent();
    const QPalette& colours = palette();
    for (int row = first; row <= last; ++row) {
        const Line& line = LineAt(row);
        const QRect rect = RowRect(row);
        const bool selected = FAnchor >= 0 && row >= std::min(FAnchor, FCurrent) &&
                              row <= std::max(FAnchor, FCurrent);
        if (selected)
            painter.fillRect(QRect(0, rect.top(), viewport()->width(), height),
                             colours.brush(QPalette::Highlight));
        painter.setFont(FontOf(line.Style));
        painter.setPen(selected ? colours.color(QPalette::HighlightedText) : ColorOf(line.Style));
        painter.drawText(TextLeft(row), rect.top() + ascent, line.Text);
    }
}

void LogView::resizeEvent(QResizeEvent* event) {
    // A view that shows the newest line goes on showing it whole when it shrinks.
    const QScrollBar* v = verticalScrollBar();
    const bool atEnd = v->value() >= v->maximum();
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollBars();
    if (atEnd)
        verticalScrollBar()->setValue(verticalScrollBar()->maximum());
}

void LogView::changeEvent(QEvent* event) {
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        // The widths were measured with the old font.
        std::fill(std::begin(FCharWidths), std::end(FCharWidths), 0);
        FWidest = 0;
        for (const Line& line : FLines)
            FWidest = std::max(FWidest, LineWidth(line.Depth, line.Text, line.Style));
        UpdateScrollBars();
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
    const int top = row * LineHeight();
    QScrollBar* v = verticalScrollBar();
    if (top < v->value())
        v->setValue(top);
    else if (top + LineHeight() > v->value() + viewport()->height())
        v->setValue(top + LineHeight() - viewport()->height());
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
    const int page = std::max(1, viewport()->height() / LineHeight());
    switch (event->key()) {
    case Qt::Key_Up:
        SetCurrent(FCurrent - 1, extend);
        return;
    case Qt::Key_Down:
        SetCurrent(FCurrent + 1, extend);
        return;
    case Qt::Key_PageUp:
        SetCurrent(FCurrent - page, extend);
        return;
    case Qt::Key_PageDown:
        SetCurrent(FCurrent + page, extend);
        return;
    case Qt::Key_Home:
        if (event->modifiers() & Qt::ControlModifier)
            SetCurrent(0, extend);
        else
            horizontalScrollBar()->setValue(0);
        return;
    case Qt::Key_End:
        if (event->modifiers() & Qt::ControlModifier)
            SetCurrent(LineCount() - 1, extend);
        else if (FCurrent >= 0)
            horizontalScrollBar()->setValue(TextLeft(FCurrent) + horizontalScrollBar()->value());
        return;
    case Qt::Key_Left:
    case Qt::Key_Right:
        horizontalScrollBar()->triggerAction(event->key() == Qt::Key_Left
                                                 ? QAbstractSlider::SliderSingleStepSub
                                                 : QAbstractSlider::SliderSingleStepAdd);
        return;
    default:
        // Escape and the rest go on to the window (Escape stops a scan).
        QAbstractScrollArea::keyPressEvent(event);
    }
}

} // namespace ut::gui
