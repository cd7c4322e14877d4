#include "gui/SetupBinding.h"

#include "gui/Application.h"
#include "gui/FileNameEdit.h"
#include "gui/Prompts.h"
#include "gui/QtText.h"
#include "gui/ScanRules.h"
#include "gui/SetupPage.h"
#include "scan/ProjectScan.h"
#include "support/Exceptions.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QSignalBlocker>

namespace ut::gui {

namespace {

/// The browse dialog of the project box.
constexpr const char* ProjectFilter =
    "Pascal sources (*.pas,*.dpr,*.dpk)|*.pas;*.dpr;*.dpk|All files (*.*)|*.*";
constexpr const char* RulesFilter = "Rules files (*.toml)|*.toml|All files (*.*)|*.*";
constexpr const char* BaselineFilter = "All files (*.*)|*.*";

void SetQuietly(QLineEdit* edit, const QString& text) {
    QSignalBlocker block(edit);
    edit->setText(text);
}

} // namespace

SetupBinding::SetupBinding(SetupPage& page, ut::ProjectScan& scan, Prompts& prompts,
                           std::function<void(const std::exception&)> failure, QObject* parent)
    : QObject(parent), FPage(page), FScan(scan), FPrompts(prompts), FFailure(std::move(failure)) {}

void SetupBinding::Connect(ScanRules& rules) {
    FRules = &rules;
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
    for (FileNameEdit* edit : {page.rulesFileEdit, page.baselineEdit})
        connect(edit, &QLineEdit::textChanged, this, Guarded([this] { ChooseRules(); }));
    auto browse = [this](FileNameEdit* edit, const char* filter) {
        connect(edit, &FileNameEdit::BrowseRequested, this, Guarded([this, edit, filter] {
                    const QString file = FPrompts.OpenFileName(
                        tr("Select file..."), QDir::currentPath(), NameFiltersFromPairs(filter));
                    if (!file.isEmpty())
                        edit->setText(QDir::toNativeSeparators(file));
                }));
    };
    browse(page.projectEdit, ProjectFilter);
    browse(page.rulesFileEdit, RulesFilter);
    browse(page.baselineEdit, BaselineFilter);
}

void SetupBinding::ShowInputs() {
    FPage.ShowInputs(FScan.Inputs);
    FPage.ShowBuildChoices(FScan);
}

void SetupBinding::LoadProject(const std::string& project) {
    FScan.Inputs.Project = project;
    const ProjectChoice* choice = FindProjectChoice(FProjectChoices, gui::ToQt(project));
    SetBuildInputs(choice ? choice->Config : QString(), choice ? choice->Platform : QString());
    SetQuietly(FPage.rulesFileEdit, choice ? choice->RulesFile : QString());
    SetQuietly(FPage.baselineEdit, choice ? choice->Baseline : QString());
    if (FRules)
        FRules->SetFiles(FPage.rulesFileEdit->text(), FPage.baselineEdit->text());
    ReadProjectOptions();
}

void SetupBinding::ChooseRules() {
    FRules->SetFiles(FPage.rulesFileEdit->text(), FPage.baselineEdit->text());
    const QString project = FPage.projectEdit->text();
    if (project.isEmpty())
        return;
    const ProjectChoice* old = FindProjectChoice(FProjectChoices, project);
    ProjectChoice choice = old ? *old : ProjectChoice{project, {}, {}, {}, {}};
    choice.RulesFile = FPage.rulesFileEdit->text();
    choice.Baseline = FPage.baselineEdit->text();
    RememberProjectChoice(FProjectChoices, choice);
}

void SetupBinding::ChooseBuild(const QString& config, const QString& platform) {
    SetBuildInputs(config, platform);
    ReadProjectOptions();
    RememberProjectChoice(FProjectChoices, {FPage.projectEdit->text(), gui::ToQt(FScan.FConfig),
                                            gui::ToQt(FScan.FPlatform), FPage.rulesFileEdit->text(),
                                            FPage.baselineEdit->text()});
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
