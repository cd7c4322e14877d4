#include "gui/SetupBinding.h"

#include "gui/Application.h"
#include "gui/FileNameEdit.h"
#include "gui/Prompts.h"
#include "gui/QtText.h"
#include "gui/SetupPage.h"
#include "scan/ProjectScan.h"
#include "support/Exceptions.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>

namespace ut::gui {

namespace {

/// The browse dialog of the project box.
constexpr const char* ProjectFilter =
    "Pascal sources (*.pas,*.dpr,*.dpk)|*.pas;*.dpr;*.dpk|All files (*.*)|*.*";

} // namespace

SetupBinding::SetupBinding(SetupPage& page, ut::ProjectScan& scan, Prompts& prompts,
                           std::function<void(const std::exception&)> failure, QObject* parent)
    : QObject(parent), FPage(page), FScan(scan), FPrompts(prompts), FFailure(std::move(failure)) {}

void SetupBinding::Connect() {
    SetupPage& page = FPage;
    auto onText = [this](QLineEdit* edit, auto apply) {
        connect(edit, &QLineEdit::textChanged, this,
                Guarded([edit, apply] { apply(FromQt(edit->text())); }));
    };
    onText(page.projectEdit, [this](const std::string& text) { LoadProject(text); });
    connect(page.delphiVersionEdit, &QLineEdit::textChanged, this, Guarded([this] {
                FScan.Inputs.Delphi = CanonicalVersion(FPage.delphiVersionEdit->text());
                FScan.LoadCompilerSettings();
            }));
    onText(page.searchPathEdit, [this](std::string text) { FScan.Inputs.SearchPath = text; });
    onText(page.definesEdit, [this](std::string text) { FScan.Inputs.Defines = text; });
    onText(page.libPathEdit, [this](std::string text) { FScan.Inputs.LibPath = text; });
    onText(page.browsePathEdit, [this](std::string text) { FScan.Inputs.BrowsePath = text; });
    auto chooseBuild = Guarded([this] {
        ChooseBuild(FPage.configChoice->currentText(), FPage.platformChoice->currentText());
    });
    connect(page.configChoice, &QComboBox::activated, this, chooseBuild);
    connect(page.platformChoice, &QComboBox::activated, this, chooseBuild);
    connect(page.compilerChoice, &QComboBox::activated, this, Guarded([this] {
                ChooseCompiler(static_cast<TCompiler>(FPage.compilerChoice->currentData().toInt()));
            }));
    connect(page.useBrowsePathCheck, &QCheckBox::toggled, this,
            [this](bool on) { FScan.Inputs.BrowseAlso = on; });
    connect(page.projectEdit, &FileNameEdit::BrowseRequested, this, Guarded([this] {
                const QString file = FPrompts.OpenFileName(
                    tr("Select file..."), QDir::currentPath(), NameFiltersFromPairs(ProjectFilter));
                if (!file.isEmpty())
                    FPage.projectEdit->setText(QDir::toNativeSeparators(file));
            }));
}

void SetupBinding::ShowInputs() {
    FPage.ShowInputs(FScan.Inputs);
    FPage.ShowBuildChoices(FScan);
}

void SetupBinding::LoadProject(const std::string& project) {
    FScan.Inputs.Project = project;
    const ProjectChoice* choice = FindProjectChoice(FProjectChoices, gui::ToQt(project));
    SetBuildInputs(choice ? choice->Config : QString(), choice ? choice->Platform : QString());
    ReadProjectOptions();
}

void SetupBinding::ChooseBuild(const QString& config, const QString& platform) {
    SetBuildInputs(config, platform);
    ReadProjectOptions();
    RememberProjectChoice(FProjectChoices, {FPage.projectEdit->text(), gui::ToQt(FScan.FConfig),
                                            gui::ToQt(FScan.FPlatform)});
}

void SetupBinding::ChooseCompiler(TCompiler compiler) {
    FChosenCompiler = compiler;
    if (!IsFreePascalProject(FScan.Inputs.Project))
        FScan.SetCompiler(compiler);
    ShowInputs();
}

void SetupBinding::SetBuildInputs(const QString& config, const QString& platform) {
    const bool lazarus = IsFreePascalProject(FScan.Inputs.Project);
    FScan.Inputs.Config = lazarus ? std::string() : FromQt(config);
    FScan.Inputs.Platform = lazarus ? std::string() : FromQt(platform);
    FScan.Inputs.BuildMode = lazarus ? FromQt(config) : std::string();
}

void SetupBinding::ReadProjectOptions() {
    try {
        FScan.LoadProjectOptions();
    } catch (const EParserError& e) {
        if (FScan.Inputs.BuildMode.empty())
            throw;
        // A file that cannot be read fails again, alone.
        FScan.Inputs.BuildMode.clear();
        FScan.LoadProjectOptions();
        FFailure(e);
    }
    // The scan reads a Lazarus project as Free Pascal; any other as the user chose.
    if (!IsFreePascalProject(FScan.Inputs.Project))
        FScan.SetCompiler(FChosenCompiler);
    ShowInputs();
}

} // namespace ut::gui
