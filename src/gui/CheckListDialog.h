#pragma once
// A check list with OK and Cancel. The caller adds the items (unsorted: they
// keep the order given), sets the caption, runs it modally and reads the ticks by index.
#include <QDialog>

class QListWidget;
class QPushButton;

namespace ut::gui {

class CheckListDialog : public QDialog {
    Q_OBJECT
  public:
    /// Centred on `owner`; caption "Select..." until the caller sets its own.
    explicit CheckListDialog(QWidget* owner);

    /// Appends an item, not ticked.
    void AddItem(const QString& text);
    int Count() const;
    bool Checked(int index) const;
    void SetChecked(int index, bool checked);

    QListWidget* checkList;
    QWidget* buttonPanel;
    QPushButton* okButton;
    QPushButton* cancelButton;

  protected:
    /// A caption wider than the dialog widens it.
    void changeEvent(QEvent* event) override;
};

} // namespace ut::gui
