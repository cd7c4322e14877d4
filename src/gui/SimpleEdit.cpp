#include "gui/SimpleEdit.h"

#include "gui/DialogButtons.h"
#include "gui/QtText.h"
#include "support/StringsComp.h"

#include <QFontDatabase>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace ut::gui {

namespace {

constexpr int ButtonWidth = 75;
// The buttons sit 4 pixels apart and 4 pixels from the right edge.
constexpr int ButtonGap = 4;

} // namespace

TFSimpleEdit::TFSimpleEdit(QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("FSimpleEdit"));
    setWindowTitle(tr("Edit..."));
    resize(244, 319);

    Editor = new QPlainTextEdit(this);
    Editor->setObjectName(QStringLiteral("Editor"));
    Editor->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    Editor->setLineWrapMode(QPlainTextEdit::NoWrap);
    Editor->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Editor->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Editor->setTabChangesFocus(true);
    Editor->installEventFilter(this);

    BPanel = MakeDialogButtons(this, {ButtonWidth, ButtonGap, ButtonGap}, btOk, btCancel);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(Editor);
    layout->addWidget(BPanel);
}

void TFSimpleEdit::SetLines(const QStringList& lines) {
    Editor->setPlainText(lines.join(u'\n'));
}

QStringList TFSimpleEdit::GetLines() const {
    const QString text = Editor->toPlainText();
    if (text.isEmpty())
        return {};
    QStringList lines = text.split(u'\n');
    if (text.endsWith(u'\n'))
        lines.removeLast();
    return lines;
}

bool TFSimpleEdit::Execute() {
    Editor->setFocus();
    return exec() == QDialog::Accepted;
}

bool TFSimpleEdit::eventFilter(QObject* watched, QEvent* event) {
    // EditorKeyDown: Esc in the editor is the Cancel button.
    if (watched == Editor && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        btCancel->click();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

bool EditIgnoredUnits(QWidget* owner, TStringsComp& ignored) {
    TFSimpleEdit editor(owner);
    editor.setWindowTitle(QObject::tr("List of ignored units:"));
    QStringList lines;
    for (const std::string& name : ignored.Lines().ToVector())
        lines << ToQt(name);
    editor.SetLines(lines);
    if (!editor.Execute())
        return false;
    std::vector<std::string> edited;
    for (const QString& line : editor.GetLines())
        edited.push_back(FromQt(line));
    ignored.SetLines(edited);
    return true;
}

} // namespace ut::gui
