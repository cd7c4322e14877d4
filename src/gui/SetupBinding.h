#pragma once
// The Setup page's inputs bound to the scan: each edit and choice goes into the scan's
// inputs as it changes, the project's options are read when the project changes, and the
// build choices (configuration and platform, or a Lazarus build mode) and the rules file
// and baseline are remembered per project.
#include "config/Compiler.h"
#include "gui/StoredSettings.h"

#include <QList>
#include <QObject>

#include <exception>
#include <functional>
#include <string>

namespace ut {
class ProjectScan;
}

namespace ut::gui {

class Prompts;
class ScanRules;
class SetupPage;

class SetupBinding : public QObject {
    Q_OBJECT
  public:
    /// `failure` logs what a handler could not do (the window's exception handler).
    SetupBinding(SetupPage& page, ut::ProjectScan& scan, Prompts& prompts,
                 std::function<void(const std::exception&)> failure, QObject* parent);

    /// Connects the page's inputs; their changes from now on reach the scan, and the rules
    /// file and baseline reach `rules` (which must outlive the binding).
    void Connect(ScanRules& rules);
    /// Shows the scan's inputs and build choices on the page.
    void ShowInputs();
    /// Takes `project` as the project to scan, with the build choices remembered for it,
    /// and reads its options.
    void LoadProject(const std::string& project);
    /// The compiler the user chose; a Lazarus project is read as Free Pascal all the same.
    void ChooseCompiler(ut::TCompiler compiler);
    ut::TCompiler ChosenCompiler() const { return FChosenCompiler; }
    /// The build choices remembered per project (saved with the settings).
    QList<ProjectChoice>& ProjectChoices() { return FProjectChoices; }

  private:
    /// Reads the project's options for another configuration or platform (a Lazarus
    /// project: build mode), and remembers the choice for the project.
    void ChooseBuild(const QString& config, const QString& platform);
    /// Puts a configuration and platform, or a Lazarus project's build mode, into the inputs.
    void SetBuildInputs(const QString& config, const QString& platform);
    /// Takes the rules file and baseline of the page, and remembers them for the project.
    void ChooseRules();
    /// Reads the project's options with the build inputs; a build mode the project no longer
    /// has is logged and its default taken.
    void ReadProjectOptions();

    SetupPage& FPage;
    ut::ProjectScan& FScan;
    Prompts& FPrompts;
    ScanRules* FRules = nullptr;
    std::function<void(const std::exception&)> FFailure;
    QList<ProjectChoice> FProjectChoices;
    /// What the compiler box was set to by the user or the settings (saved with them).
    ut::TCompiler FChosenCompiler = ut::TCompiler::Delphi;
};

} // namespace ut::gui
