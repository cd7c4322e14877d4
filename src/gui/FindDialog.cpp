#include "gui/FindDialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace ut::gui {

FindDialog::FindDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("findDialog"));
    setWindowTitle(tr("Find"));
    setModal(false);

    auto* label = new QLabel(tr("Fi&nd what:"), this);
    FFindEdit = new QLineEdit(this);
    FFindEdit->setObjectName(QStringLiteral("findEdit"));
    label->setBuddy(FFindEdit);

    FWholeWord = new QCheckBox(tr("Match &whole word only"), this);
    FWholeWord->setObjectName(QStringLiteral("wholeWordCheck"));
    FMatchCase = new QCheckBox(tr("Match &case"), this);
    FMatchCase->setObjectName(QStringLiteral("matchCaseCheck"));

    auto* direction = new QGroupBox(tr("Direction"), this);
    FUp = new QRadioButton(tr("&Up"), direction);
    FUp->setObjectName(QStringLiteral("upButton"));
    FDown = new QRadioButton(tr("&Down"), direction);
    FDown->setObjectName(QStringLiteral("downButton"));
    FDown->setChecked(true);
    auto* directionLayout = new QHBoxLayout(direction);
    directionLayout->addWidget(FUp);
    directionLayout->addWidget(FDown);

    FFindNext = new QPushButton(tr("&Find Next"), this);
    FFindNext->setObjectName(QStringLiteral("findNextButton"));
    FFindNext->setDefault(true);
    FFindNext->setEnabled(false);
    FCancel = new QPushButton(tr("Cancel"), this);
    FCancel->setObjectName(QStringLiteral("cancelButton"));

    auto* options = new QVBoxLayout;
    options->addWidget(FWholeWord);
    options->addWidget(FMatchCase);
    options->addStretch();

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(FFindNext);
    buttons->addWidget(FCancel);
    buttons->addStretch();

    auto* grid = new QGridLayout(this);
    grid->addWidget(label, 0, 0);
    grid->addWidget(FFindEdit, 0, 1, 1, 2);
    grid->addLayout(options, 1, 0, 1, 2);
    grid->addWidget(direction, 1, 2);
    grid->addLayout(buttons, 0, 3, 2, 1);

    // Like the system's find dialog: nothing to look for, nothing to press.
    connect(FFindEdit, &QLineEdit::textChanged, this,
            [this](const QString& text) { FFindNext->setEnabled(!text.isEmpty()); });
    connect(FFindNext, &QPushButton::clicked, this, &FindDialog::requestFind);
    connect(FCancel, &QPushButton::clicked, this, &QDialog::reject);
}

QString FindDialog::FindText() const {
    return FFindEdit->text();
}

ut::TFindOptions FindDialog::Options() const {
    ut::TFindOptions options;
    options.Down = FDown->isChecked();
    options.MatchCase = FMatchCase->isChecked();
    options.WholeWord = FWholeWord->isChecked();
    return options;
}

void FindDialog::Open() {
    show();
    raise();
    activateWindow();
    FFindEdit->selectAll();
    FFindEdit->setFocus();
}

void FindDialog::requestFind() {
    if (FFindEdit->text().isEmpty())
        return;
    emit find();
}

} // namespace ut::gui
