#include "gui/LogView.h"

#include "gui/FixedPitchFont.h"
#include "gui/WheelScroll.h"

#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QWheelEvent>

namespace ut::gui {

LogView::LogView(QWidget* parent) : QTextEdit(parent) {
    setObjectName(QStringLiteral("logView"));
    setReadOnly(true);
    setAcceptRichText(false);
    // Only a vertical scroll bar: long lines wrap, so the start of every line stays in view.
    setLineWrapMode(QTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Read-only text edits do not show a caret; keyboard selection keeps the log navigable.
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    setFont(FixedPitchFont());
}

void LogView::AppendLog(const QString& text, ut::LogStyle style) {
    QTextCharFormat format;
    format.setFontWeight((style & lsBold) ? QFont::Bold : QFont::Normal);
    format.setFontItalic((style & lsItalic) != 0);
    format.setForeground((style & lsItalic) ? QBrush(FailureColor())
                                            : palette().brush(QPalette::WindowText));

    // Every line ends with a line break, as lines added to a text control do; the caret goes
    // to the end of the appended text, before that last break.
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    cursor.beginEditBlock();
    int caret = cursor.position();
    for (QString line : text.split(u'\n')) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        cursor.insertText(line, format);
        caret = cursor.position();
        cursor.insertBlock(QTextBlockFormat(), QTextCharFormat());
    }
    cursor.endEditBlock();
    cursor.setPosition(caret);
    setTextCursor(cursor);
    ensureCursorVisible();
}

void LogView::wheelEvent(QWheelEvent* event) {
    const int delta = event->angleDelta().y();
    ApplyWheelRule(*verticalScrollBar(), delta, event->modifiers(), fontMetrics().lineSpacing());
    event->accept();
}

} // namespace ut::gui
