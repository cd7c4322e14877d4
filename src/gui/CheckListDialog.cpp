#include "gui/CheckListDialog.h"

#include "gui/DialogButtons.h"
#include "gui/WindowFit.h"

#include <QEvent>

#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace ut::gui {

namespace {

constexpr int Spacer = 4;
constexpr int ButtonWidth = 72;
// In a client area 377 wide the buttons start at 96 and 208.
constexpr int ButtonGap = 208 - 96 - ButtonWidth;
constexpr int RightMargin = 377 - 208 - ButtonWidth;

} // namespace

CheckListDialog::CheckListDialog(QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("checkListDialog"));
    setWindowTitle(tr("Select..."));
    resize(377, 269);

    checkList = new QListWidget(this);
    checkList->setObjectName(QStringLiteral("checkList"));
    checkList->setSortingEnabled(false);
    checkList->setUniformItemSizes(true);

    buttonPanel =
        MakeDialogButtons(this, {ButtonWidth, ButtonGap, RightMargin}, okButton, cancelButton);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(Spacer, Spacer, Spacer, 0);
    layout->setSpacing(0);
    layout->addWidget(checkList);
    layout->addWidget(buttonPanel);
}

void CheckListDialog::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::WindowTitleChange)
        FitTitle(*this);
}

void CheckListDialog::AddItem(const QString& text) {
    auto* item = new QListWidgetItem(text, checkList);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    item->setCheckState(Qt::Unchecked);
}

int CheckListDialog::Count() const {
    return checkList->count();
}

bool CheckListDialog::Checked(int index) const {
    const QListWidgetItem* item = checkList->item(index);
    return item && item->checkState() == Qt::Checked;
}

void CheckListDialog::SetChecked(int index, bool checked) {
    if (QListWidgetItem* item = checkList->item(index))
        item->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
}

} // namespace ut::gui
