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

    FileNameEdit* EProject;
    QLineEdit* ESearchPath;
    QLineEdit* EDefines;
    QLineEdit* ELibPath;
    QLineEdit* EDelphi;
    QLineEdit* EBrowsePath;
    QCheckBox* chkBrowseAlso;
    QCheckBox* chkShowIgnored;
    QCheckBox* chkShowUnkn;
    QPushButton* btIgnored;
    QPushButton* btStart;
    QLabel* labUnitCount;
    LogView* ELog;

    /// Moves the focus on Enter; other pages' inputs (the DLL page's file box) join it.
    EnterMovesFocus* SelNext;
};

} // namespace ut::gui
