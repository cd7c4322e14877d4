#include "gui/SetupPage.h"

#include "gui/EnterMovesFocus.h"
#include "gui/FileNameEdit.h"
#include "gui/LogView.h"

#include <QCheckBox>
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

void SetTextQuietly(QLineEdit* edit, const std::string& text) {
    const QString value = QString::fromStdString(text);
    if (edit->text() == value)
        return;
    QSignalBlocker block(edit);
    edit->setText(value);
}

} // namespace

SetupPage::SetupPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("SetupPage"));
    EProject = Named(new FileNameEdit(this), "EProject");
    ESearchPath = Named(new QLineEdit(QStringLiteral("."), this), "ESearchPath");
    EDefines = Named(new QLineEdit(this), "EDefines");
    ELibPath = Named(new QLineEdit(this), "ELibPath");
    EDelphi = Named(new QLineEdit(this), "EDelphi");
    EBrowsePath = Named(new QLineEdit(this), "EBrowsePath");
    chkBrowseAlso = Named(new QCheckBox(tr("&Use browse path"), this), "chkBrowseAlso");
    chkShowIgnored = Named(new QCheckBox(tr("Sho&w ign. units in 3"), this), "chkShowIgnored");
    chkShowUnkn = Named(new QCheckBox(tr("S&how unkn.units in 3"), this), "chkShowUnkn");
    btIgnored = Named(new QPushButton(tr("&Ignore units"), this), "btIgnored");
    btStart = Named(new QPushButton(tr("&Start"), this), "btStart");
    labUnitCount = Named(new QLabel(this), "labUnitCount");
    ELog = new LogView(this);

    chkShowIgnored->setChecked(true);
    chkShowUnkn->setChecked(true);
    EDelphi->setMaximumWidth(fontMetrics().horizontalAdvance(QLatin1Char('0')) * 12);
    QSizePolicy keepPlace = labUnitCount->sizePolicy();
    keepPlace.setRetainSizeWhenHidden(true);
    labUnitCount->setSizePolicy(keepPlace);
    labUnitCount->setFont(ELog->font());
    labUnitCount->setMinimumWidth(
        labUnitCount->fontMetrics().horizontalAdvance(QStringLiteral("9999 units parsed...")));
    labUnitCount->hide();

    auto* grid = new QGridLayout;
    grid->addWidget(Caption(tr("&Project:"), EProject, this), 0, 0);
    grid->addWidget(EProject, 0, 1, 1, 3);
    grid->addWidget(Caption(tr("Search p&ath:"), ESearchPath, this), 1, 0);
    grid->addWidget(ESearchPath, 1, 1, 1, 3);
    grid->addWidget(Caption(tr("Con&ditionals:"), EDefines, this), 2, 0);
    grid->addWidget(EDefines, 2, 1);
    grid->addWidget(labUnitCount, 2, 2, 1, 2, Qt::AlignRight | Qt::AlignVCenter);
    grid->addWidget(Caption(tr("&Lib. path:"), ELibPath, this), 3, 0);
    grid->addWidget(ELibPath, 3, 1);
    grid->addWidget(Caption(tr("Delphi &version:"), EDelphi, this), 3, 2);
    grid->addWidget(EDelphi, 3, 3);
    grid->addWidget(Caption(tr("&Brow. path:"), EBrowsePath, this), 4, 0);
    grid->addWidget(EBrowsePath, 4, 1);
    grid->addWidget(chkBrowseAlso, 4, 2, 1, 2);
    grid->setColumnStretch(1, 1);

    auto* row = new QHBoxLayout;
    row->addWidget(chkShowIgnored);
    row->addWidget(chkShowUnkn);
    row->addStretch(1);
    row->addWidget(btIgnored);
    row->addWidget(btStart);

    auto* page = new QVBoxLayout(this);
    page->addLayout(grid);
    page->addLayout(row);
    page->addWidget(ELog, 1);

    QWidget* order[] = {EProject,      ESearchPath,    EDefines,    ELibPath,  EDelphi, EBrowsePath,
                        chkBrowseAlso, chkShowIgnored, chkShowUnkn, btIgnored, btStart, ELog};
    for (size_t i = 0; i + 1 < std::size(order); ++i)
        setTabOrder(order[i], order[i + 1]);

    SelNext = new EnterMovesFocus(this);
    for (QWidget* edit : {static_cast<QWidget*>(EProject), static_cast<QWidget*>(ESearchPath),
                          static_cast<QWidget*>(EDefines), static_cast<QWidget*>(ELibPath),
                          static_cast<QWidget*>(EDelphi), static_cast<QWidget*>(EBrowsePath)})
        SelNext->Watch(edit);
}

ut::SetupInputs SetupPage::Inputs() const {
    ut::SetupInputs in;
    in.Project = EProject->text().toStdString();
    in.SearchPath = ESearchPath->text().toStdString();
    in.Defines = EDefines->text().toStdString();
    in.Delphi = EDelphi->text().toStdString();
    in.LibPath = ELibPath->text().toStdString();
    in.BrowsePath = EBrowsePath->text().toStdString();
    in.BrowseAlso = chkBrowseAlso->isChecked();
    return in;
}

void SetupPage::ShowInputs(const ut::SetupInputs& in) {
    SetTextQuietly(EProject, in.Project);
    SetTextQuietly(ESearchPath, in.SearchPath);
    SetTextQuietly(EDefines, in.Defines);
    SetTextQuietly(EDelphi, in.Delphi);
    SetTextQuietly(ELibPath, in.LibPath);
    SetTextQuietly(EBrowsePath, in.BrowsePath);
    if (chkBrowseAlso->isChecked() != in.BrowseAlso) {
        QSignalBlocker block(chkBrowseAlso);
        chkBrowseAlso->setChecked(in.BrowseAlso);
    }
}

} // namespace ut::gui
