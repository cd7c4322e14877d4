#include "gui/CheckSelect.h"

#include "gui/DialogButtons.h"

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

TFCheckSel::TFCheckSel(QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("FCheckSel"));
    setWindowTitle(tr("Select..."));
    resize(377, 269);

    ChList = new QListWidget(this);
    ChList->setObjectName(QStringLiteral("ChList"));
    ChList->setSortingEnabled(false);
    ChList->setUniformItemSizes(true);

    BPanel = MakeDialogButtons(this, {ButtonWidth, ButtonGap, RightMargin}, btOk, btCancel);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(Spacer, Spacer, Spacer, 0);
    layout->setSpacing(0);
    layout->addWidget(ChList);
    layout->addWidget(BPanel);
}

void TFCheckSel::AddItem(const QString& text) {
    auto* item = new QListWidgetItem(text, ChList);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    item->setCheckState(Qt::Unchecked);
}

int TFCheckSel::Count() const {
    return ChList->count();
}

bool TFCheckSel::Checked(int index) const {
    const QListWidgetItem* item = ChList->item(index);
    return item && item->checkState() == Qt::Checked;
}

void TFCheckSel::SetChecked(int index, bool checked) {
    if (QListWidgetItem* item = ChList->item(index))
        item->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
}

} // namespace ut::gui
