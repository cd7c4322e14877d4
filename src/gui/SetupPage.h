#pragma once
// The "Setup" page: the scan's inputs at the top, the unit counter, and the log below.
// The page only holds the controls; the main window connects them to the scan.
#include "scan/ProjectScan.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace ut::gui {

class EnterMovesFocus;
class FileNameEdit;
class LogView;

/// The one spelling of a version text that the scan keeps, saves and exports: a known
/// version's name as the command line takes it ("12" for "Delphi 12 Athens" or "23.0"); any
/// other text as typed.
std::string CanonicalVersion(const QString& text);
/// The version as the version box shows it: a known version by its product name.
QString ShownVersion(const std::string& version);

class SetupPage : public QWidget {
    Q_OBJECT
  public:
    explicit SetupPage(QWidget* parent = nullptr);

    /// The texts and the check state of the inputs that feed the scan.
    ut::SetupInputs Inputs() const;
    /// Shows `inputs` in the controls without running their change handlers.
    void ShowInputs(const ut::SetupInputs& inputs);
    /// Fills the configuration and platform choices with what the project's .dproj offers
    /// (a Lazarus project: its build modes) and selects those in force, without running
    /// their handlers; without either they are empty and disabled.
    void ShowBuildChoices(const ut::ProjectScan& scan);
    /// Lists `versions` (product names, newest first) under the version box, which keeps
    /// its text.
    void ShowInstalledVersions(const QStringList& versions);

    FileNameEdit* projectEdit;
    QLineEdit* searchPathEdit;
    QLineEdit* definesEdit;
    QLineEdit* libPathEdit;
    QLineEdit* delphiVersionEdit; ///< the text of delphiVersionChoice
    /// The compiler version: typed, or picked from the installed versions.
    QComboBox* delphiVersionChoice;
    /// The compiler the sources are read for (its items' data: the TCompiler); a Lazarus
    /// project decides it, so the box is disabled for one.
    QComboBox* compilerChoice;
    QLabel* configLabel;       ///< "Configuration:", for a Lazarus project "Build mode:"
    QComboBox* configChoice;   ///< the .dproj's build configuration
    QComboBox* platformChoice; ///< the .dproj's target platform
    QLineEdit* browsePathEdit;
    FileNameEdit* rulesFileEdit; ///< the rules checked after a scan; empty for none
    FileNameEdit* baselineEdit;  ///< the violations already known; empty for none
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
