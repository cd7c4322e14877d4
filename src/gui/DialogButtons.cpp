#include "gui/DialogButtons.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>

namespace ut::gui {

namespace {

constexpr int PanelHeight = 30;
constexpr int ButtonHeight = 26;

} // namespace

QWidget* MakeDialogButtons(QDialog* dialog, const DialogButtonsLayout& layout,
                           QPushButton*& okButton, QPushButton*& cancelButton) {
    auto* panel = new QWidget(dialog);
    panel->setObjectName(QStringLiteral("buttonPanel"));
    panel->setFixedHeight(PanelHeight);
    okButton = new QPushButton(QDialog::tr("OK"), panel);
    okButton->setObjectName(QStringLiteral("okButton"));
    okButton->setDefault(true);
    cancelButton = new QPushButton(QDialog::tr("Cancel"), panel);
    cancelButton->setObjectName(QStringLiteral("cancelButton"));
    for (QPushButton* button : {okButton, cancelButton})
        button->setFixedSize(layout.ButtonWidth, ButtonHeight);
    auto* buttons = new QHBoxLayout(panel);
    buttons->setContentsMargins(0, 2, layout.RightMargin, 2);
    buttons->setSpacing(layout.Gap);
    buttons->addStretch();
    buttons->addWidget(okButton, 0, Qt::AlignTop);
    buttons->addWidget(cancelButton, 0, Qt::AlignTop);
    QObject::connect(okButton, &QPushButton::clicked, dialog, &QDialog::accept);
    QObject::connect(cancelButton, &QPushButton::clicked, dialog, &QDialog::reject);
    return panel;
}

} // namespace ut::gui
