#include "gui/SetupPage.h"

#include "config/Compiler.h"
#include "config/CompilerVersions.h"
#include "gui/EnterMovesFocus.h"
#include "gui/FileNameEdit.h"
#include "gui/LogView.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace ut::gui {

namespace {

template <class W> W* Named(W* widget, const char* name) {
    widget->setObjectName(QLatin1String(name));
    return widget;
}

QLabel* Caption(const QString& text, QWidget* buddy, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setBuddy(buddy);
    return label;
}

void FillQuietly(QComboBox* choice, const std::vector<std::string>& items,
                 const std::string& current) {
    QSignalBlocker block(choice);
    choice->clear();
    for (const std::string& item : items)
        choice->addItem(QString::fromStdString(item));
    choice->setCurrentIndex(choice->findText(QString::fromStdString(current)));
    choice->setEnabled(!items.empty());
}

// A path set from elsewhere shows its start (a line edit shows where its caret is, at the
// end of a new text): the drive or root and the first directories tell most.
void ShowStart(QLineEdit* edit) {
    if (!edit->hasFocus())
        edit->setCursorPosition(0);
}

void SetTextQuietly(QLineEdit* edit, const std::string& text) {
    const QString value = QString::fromStdString(text);
    if (edit->text() != value) {
        QSignalBlocker block(edit);
        edit->setText(value);
    }
    ShowStart(edit);
}

} // namespace

std::string CanonicalVersion(const QString& text) {
    const std::string typed = text.toStdString();
    const TCompilerVersion* version = FindCompilerVersion(typed);
    return version ? version->Name : typed;
}

QString ShownVersion(const std::string& version) {
    const TCompilerVersion* known = FindCompilerVersion(version);
    return QString::fromStdString(known ? known->Product : version);
}

SetupPage::SetupPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("setupPage"));
    projectEdit = Named(new FileNameEdit(this), "projectEdit");
    searchPathEdit = Named(new QLineEdit(QStringLiteral("."), this), "searchPathEdit");
    definesEdit = Named(new QLineEdit(this), "definesEdit");
    libPathEdit = Named(new QLineEdit(this), "libPathEdit");
    delphiVersionEdit = Named(new QLineEdit(this), "delphiVersionEdit");
    delphiVersionChoice = Named(new QComboBox(this), "delphiVersionChoice");
    delphiVersionChoice->setEditable(true);
    delphiVersionChoice->setLineEdit(delphiVersionEdit);
    // A version typed and confirmed with Enter is not added to the list of installed ones.
    delphiVersionChoice->setInsertPolicy(QComboBox::NoInsert);
    compilerChoice = Named(new QComboBox(this), "compilerChoice");
    for (const TCompilerChoice& choice : CompilerChoices())
        compilerChoice->addItem(tr(choice.Label), static_cast<int>(choice.Compiler));
    configChoice = Named(new QComboBox(this), "configChoice");
    platformChoice = Named(new QComboBox(this), "platformChoice");
    configChoice->setMinimumContentsLength(12);
    configChoice->setEnabled(false);
    platformChoice->setEnabled(false);
    browsePathEdit = Named(new QLineEdit(this), "browsePathEdit");
    rulesFileEdit = Named(new FileNameEdit(this), "rulesFileEdit");
    baselineEdit = Named(new FileNameEdit(this), "baselineEdit");
    useBrowsePathCheck = Named(new QCheckBox(tr("&Use browse path"), this), "useBrowsePathCheck");
    showIgnoredCheck = Named(new QCheckBox(tr("Sho&w ign. units in 3"), this), "showIgnoredCheck");
    showUnknownCheck = Named(new QCheckBox(tr("S&how unkn.units in 3"), this), "showUnknownCheck");
    ignoredUnitsButton = Named(new QPushButton(tr("&Ignore units"), this), "ignoredUnitsButton");
    startButton = Named(new QPushButton(tr("&Start"), this), "startButton");
    unitCountLabel = Named(new QLabel(this), "unitCountLabel");
    logView = new LogView(this);

    showIgnoredCheck->setChecked(true);
    showUnknownCheck->setChecked(true);
    delphiVersionChoice->setMinimumContentsLength(12);
    delphiVersionChoice->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    QSizePolicy keepPlace = unitCountLabel->sizePolicy();
    keepPlace.setRetainSizeWhenHidden(true);
    unitCountLabel->setSizePolicy(keepPlace);
    unitCountLabel->setFont(logView->font());
    unitCountLabel->setMinimumWidth(
        unitCountLabel->fontMetrics().horizontalAdvance(QStringLiteral("9999 units parsed...")));
    unitCountLabel->hide();

    auto* grid = new QGridLayout;
    configLabel = Caption(tr("Confi&guration:"), configChoice, this);
    // Columns: caption, input (stretching), then two caption and choice pairs, the
    // compiler's beside the version's.
    grid->addWidget(Caption(tr("&Project:"), projectEdit, this), 0, 0);
    grid->addWidget(projectEdit, 0, 1, 1, 5);
    grid->addWidget(Caption(tr("Search p&ath:"), searchPathEdit, this), 1, 0);
    grid->addWidget(searchPathEdit, 1, 1, 1, 5);
    grid->addWidget(Caption(tr("Con&ditionals:"), definesEdit, this), 2, 0);
    grid->addWidget(definesEdit, 2, 1);
    grid->addWidget(unitCountLabel, 2, 2, 1, 4, Qt::AlignRight | Qt::AlignVCenter);
    grid->addWidget(Caption(tr("&Lib. path:"), libPathEdit, this), 3, 0);
    grid->addWidget(libPathEdit, 3, 1);
    grid->addWidget(Caption(tr("Delphi &version:"), delphiVersionChoice, this), 3, 2);
    grid->addWidget(delphiVersionChoice, 3, 3);
    grid->addWidget(Caption(tr("&Compiler:"), compilerChoice, this), 3, 4);
    grid->addWidget(compilerChoice, 3, 5);
    grid->addWidget(Caption(tr("&Brow. path:"), browsePathEdit, this), 4, 0);
    grid->addWidget(browsePathEdit, 4, 1);
    grid->addWidget(useBrowsePathCheck, 4, 2, 1, 4);
    grid->addWidget(configLabel, 5, 0);
    grid->addWidget(configChoice, 5, 1, Qt::AlignLeft);
    grid->addWidget(Caption(tr("Pla&tform:"), platformChoice, this), 5, 2);
    grid->addWidget(platformChoice, 5, 3);
    grid->addWidget(Caption(tr("&Rules file:"), rulesFileEdit, this), 6, 0);
    grid->addWidget(rulesFileEdit, 6, 1);
    grid->addWidget(Caption(tr("Bas&eline:"), baselineEdit, this), 6, 2);
    grid->addWidget(baselineEdit, 6, 3, 1, 3);
    grid->setColumnStretch(1, 1);

    auto* row = new QHBoxLayout;
    row->addWidget(showIgnoredCheck);
    row->addWidget(showUnknownCheck);
    row->addStretch(1);
    row->addWidget(ignoredUnitsButton);
    row->addWidget(startButton);

    auto* page = new QVBoxLayout(this);
    page->addLayout(grid);
    page->addLayout(row);
    page->addWidget(logView, 1);

    QWidget* order[] = {
        projectEdit,    searchPathEdit, definesEdit,        libPathEdit,      delphiVersionChoice,
        compilerChoice, browsePathEdit, useBrowsePathCheck, configChoice,     platformChoice,
        rulesFileEdit,  baselineEdit,   showIgnoredCheck,   showUnknownCheck, ignoredUnitsButton,
        startButton,    logView};
    for (size_t i = 0; i + 1 < std::size(order); ++i)
        setTabOrder(order[i], order[i + 1]);

    enterMovesFocus = new EnterMovesFocus(this);
    for (QWidget* edit :
         {static_cast<QWidget*>(projectEdit), static_cast<QWidget*>(searchPathEdit),
          static_cast<QWidget*>(definesEdit), static_cast<QWidget*>(libPathEdit),
          static_cast<QWidget*>(delphiVersionEdit), static_cast<QWidget*>(delphiVersionChoice),
          static_cast<QWidget*>(browsePathEdit), static_cast<QWidget*>(rulesFileEdit),
          static_cast<QWidget*>(baselineEdit)})
        enterMovesFocus->Watch(edit);
}

ut::SetupInputs SetupPage::Inputs() const {
    ut::SetupInputs in;
    in.Project = projectEdit->text().toStdString();
    in.SearchPath = searchPathEdit->text().toStdString();
    in.Defines = definesEdit->text().toStdString();
    in.Delphi = CanonicalVersion(delphiVersionEdit->text());
    in.LibPath = libPathEdit->text().toStdString();
    in.BrowsePath = browsePathEdit->text().toStdString();
    in.BrowseAlso = useBrowsePathCheck->isChecked();
    in.Compiler = static_cast<TCompiler>(compilerChoice->currentData().toInt());
    return in;
}

void SetupPage::ShowBuildChoices(const ut::ProjectScan& scan) {
    configLabel->setText(IsFreePascalProject(scan.Inputs.Project) ? tr("Build &mode:")
                                                                  : tr("Confi&guration:"));
    FillQuietly(configChoice, scan.FConfigs, scan.FConfig);
    FillQuietly(platformChoice, scan.FPlatforms, scan.FPlatform);
}

void SetupPage::ShowInstalledVersions(const QStringList& versions) {
    // Filling an empty list selects its first item, which would replace the text.
    const QString text = delphiVersionEdit->text();
    QSignalBlocker blockChoice(delphiVersionChoice);
    QSignalBlocker blockEdit(delphiVersionEdit);
    delphiVersionChoice->clear();
    delphiVersionChoice->addItems(versions);
    delphiVersionChoice->setCurrentIndex(-1);
    delphiVersionEdit->setText(text);
}

void SetupPage::ShowInputs(const ut::SetupInputs& in) {
    SetTextQuietly(projectEdit, in.Project);
    SetTextQuietly(searchPathEdit, in.SearchPath);
    SetTextQuietly(definesEdit, in.Defines);
    // A version being typed keeps its spelling; one set from elsewhere shows its product name.
    if (CanonicalVersion(delphiVersionEdit->text()) != in.Delphi)
        SetTextQuietly(delphiVersionEdit, ShownVersion(in.Delphi).toStdString());
    SetTextQuietly(libPathEdit, in.LibPath);
    SetTextQuietly(browsePathEdit, in.BrowsePath);
    {
        QSignalBlocker block(compilerChoice);
        compilerChoice->setCurrentIndex(compilerChoice->findData(static_cast<int>(in.Compiler)));
    }
    const bool delphi = in.Compiler != ut::TCompiler::FreePascal;
    delphiVersionChoice->setEnabled(delphi);
    delphiVersionChoice->setToolTip(
        delphi ? QString()
               : tr("Free Pascal's symbols and version are those of the installed fpc"));
    libPathEdit->setToolTip(delphi ? QString()
                                   : tr("Free Pascal's library: never a Delphi installation's"));
    const bool lazarus = IsFreePascalProject(in.Project);
    compilerChoice->setEnabled(!lazarus);
    compilerChoice->setToolTip(lazarus ? tr("A Lazarus project is read as Free Pascal reads it")
                                       : QString());
    if (useBrowsePathCheck->isChecked() != in.BrowseAlso) {
        QSignalBlocker block(useBrowsePathCheck);
        useBrowsePathCheck->setChecked(in.BrowseAlso);
    }
}

} // namespace ut::gui
