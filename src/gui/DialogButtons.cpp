#include "gui/DialogButtons.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>

namespace ut::gui {

namespace {

constexpr int PanelHeight = 30;
constexpr int ButtonHeight = 26;

} // namespace

QWidget* MakeDialogButtons(QDialog* dialog, const DialogButtonsLayout& layout, QPushButton*& btOk,
                           QPushButton*& btCancel) {
    auto* panel = new QWidget(dialog);
    panel->setObjectName(QStringLiteral("BPanel"));
    panel->setFixedHeight(PanelHeight);
    btOk = new QPushButton(QDialog::tr("OK"), panel);
    btOk->setObjectName(QStringLiteral("btOk"));
    btOk->setDefault(true);
    btCancel = new QPushButton(QDialog::tr("Cancel"), panel);
    btCancel->setObjectName(QStringLiteral("btCancel"));
    for (QPushButton* button : {btOk, btCancel})
        button->setFixedSize(layout.ButtonWidth, ButtonHeight);
    auto* buttons = new QHBoxLayout(panel);
    buttons->setContentsMargins(0, 2, layout.RightMargin, 2);
    buttons->setSpacing(layout.Gap);
    buttons->addStretch();
    buttons->addWidget(btOk, 0, Qt::AlignTop);
    buttons->addWidget(btCancel, 0, Qt::AlignTop);
    QObject::connect(btOk, &QPushButton::clicked, dialog, &QDialog::accept);
    QObject::connect(btCancel, &QPushButton::clicked, dialog, &QDialog::reject);
    return panel;
}

} // namespace ut::gui
