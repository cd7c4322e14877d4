#pragma once
// The button panel at the foot of the small dialogs: "OK" (the default) and "Cancel",
// right-aligned, accepting and rejecting the dialog.
#include <QString>

class QDialog;
class QPushButton;
class QWidget;

namespace ut::gui {

struct DialogButtonsLayout {
    int ButtonWidth;
    int Gap;         ///< between the two buttons
    int RightMargin; ///< after "Cancel"
};

/// Makes the panel (object name "buttonPanel") with okButton and cancelButton wired to `dialog`.
QWidget* MakeDialogButtons(QDialog* dialog, const DialogButtonsLayout& layout,
                           QPushButton*& okButton, QPushButton*& cancelButton);

} // namespace ut::gui
