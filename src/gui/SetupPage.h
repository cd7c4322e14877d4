#pragma once
// The "Setup" page: the scan's inputs at the top, the unit counter, and the log below.
// The page only holds the controls; the main window connects them to the scan.
#include "scan/ProjectScan.h"

#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace ut::gui {

class EnterMovesFocus;
class FileNameEdit;
class LogView;

class SetupPage : public QWidget {
    Q_OBJECT
  public:
    explicit SetupPage(QWidget* parent = nullptr);

    /// The texts and the check state of the inputs that feed the scan.
    ut::SetupInputs Inputs() const;
    /// Shows `inputs` in the controls without running their change handlers.
    void ShowInputs(const ut::SetupInputs& inputs);

    FileNameEdit* projectEdit;
    QLineEdit* searchPathEdit;
    QLineEdit* definesEdit;
    QLineEdit* libPathEdit;
    QLineEdit* delphiVersionEdit;
    QLineEdit* browsePathEdit;
    QCheckBox* useBrowsePathCheck;
    QCheckBox* showIgnoredCheck;
    QCheckBox* showUnknownCheck;
    QPushButton* ignoredUnitsButton;
    QPushButton* startButton;
    QLabel* unitCountLabel;
    LogView* logView;

    /// Moves the focus on Enter; other pages' inputs (the DLL page's file box) join it.
    EnterMovesFocus* enterMovesFocus;
};

} // namespace ut::gui
