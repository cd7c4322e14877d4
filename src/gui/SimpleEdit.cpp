#include "gui/SimpleEdit.h"

#include "gui/QtText.h"
#include "support/StringsComp.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace ut::gui {

namespace {

constexpr int ButtonWidth = 75;
constexpr int ButtonHeight = 26;
constexpr int PanelHeight = 30;
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

    BPanel = new QWidget(this);
    BPanel->setObjectName(QStringLiteral("BPanel"));
    BPanel->setFixedHeight(PanelHeight);
    btOk = new QPushButton(tr("OK"), BPanel);
    btOk->setObjectName(QStringLiteral("btOk"));
    btOk->setDefault(true);
    btCancel = new QPushButton(tr("Cancel"), BPanel);
    btCancel->setObjectName(QStringLiteral("btCancel"));
    for (QPushButton* button : {btOk, btCancel})
        button->setFixedSize(ButtonWidth, ButtonHeight);
    auto* buttons = new QHBoxLayout(BPanel);
    buttons->setContentsMargins(0, 2, ButtonGap, 2);
    buttons->setSpacing(ButtonGap);
    buttons->addStretch();
    buttons->addWidget(btOk, 0, Qt::AlignTop);
    buttons->addWidget(btCancel, 0, Qt::AlignTop);
    connect(btOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(btCancel, &QPushButton::clicked, this, &QDialog::reject);

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
