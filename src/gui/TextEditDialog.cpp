#include "gui/TextEditDialog.h"

#include "gui/DialogButtons.h"
#include "gui/FixedPitchFont.h"
#include "gui/QtText.h"
#include "support/StringsComp.h"

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

TextEditDialog::TextEditDialog(QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("textEditDialog"));
    setWindowTitle(tr("Edit..."));
    resize(244, 319);

    editor = new QPlainTextEdit(this);
    editor->setObjectName(QStringLiteral("editor"));
    editor->setFont(FixedPitchFont());
    editor->setLineWrapMode(QPlainTextEdit::NoWrap);
    editor->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    editor->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    editor->setTabChangesFocus(true);
    editor->installEventFilter(this);

    buttonPanel =
        MakeDialogButtons(this, {ButtonWidth, ButtonGap, ButtonGap}, okButton, cancelButton);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(editor);
    layout->addWidget(buttonPanel);
}

void TextEditDialog::SetLines(const QStringList& lines) {
    editor->setPlainText(lines.join(u'\n'));
}

QStringList TextEditDialog::GetLines() const {
    const QString text = editor->toPlainText();
    if (text.isEmpty())
        return {};
    QStringList lines = text.split(u'\n');
    if (text.endsWith(u'\n'))
        lines.removeLast();
    return lines;
}

bool TextEditDialog::Execute() {
    editor->setFocus();
    return exec() == QDialog::Accepted;
}

bool TextEditDialog::eventFilter(QObject* watched, QEvent* event) {
    // Esc in the editor is the Cancel button.
    if (watched == editor && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        cancelButton->click();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

bool EditIgnoredUnits(QWidget* owner, TStringsComp& ignored) {
    TextEditDialog editor(owner);
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
