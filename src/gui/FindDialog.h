#pragma once
// The find dialog of the map view: the text to look for, whole word, match case and the
// direction. It is shown modeless, keeps what the user last entered, and tells its owner
// through `find` when the user presses "&Find Next"; it does not search by itself.
#include "mapfile/MapSearch.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace ut::gui {

class FindDialog : public QDialog {
    Q_OBJECT
  public:
    explicit FindDialog(QWidget* parent = nullptr);

    QString FindText() const;
    /// The direction, match case and whole word as the dialog shows them.
    ut::TFindOptions Options() const;

    /// Shows the dialog (or raises it when already shown) with the text selected and focused.
    void Open();

    QLineEdit* FindEdit() const { return FFindEdit; }
    QCheckBox* WholeWordBox() const { return FWholeWord; }
    QCheckBox* MatchCaseBox() const { return FMatchCase; }
    QRadioButton* UpButton() const { return FUp; }
    QRadioButton* DownButton() const { return FDown; }
    QPushButton* FindNextButton() const { return FFindNext; }

  signals:
    /// "&Find Next" was pressed with a text to look for.
    void find();

  private:
    void requestFind();

    QLineEdit* FFindEdit;
    QCheckBox* FWholeWord;
    QCheckBox* FMatchCase;
    QRadioButton* FUp;
    QRadioButton* FDown;
    QPushButton* FFindNext;
    QPushButton* FCancel;
};

} // namespace ut::gui
