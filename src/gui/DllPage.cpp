#include "gui/DllPage.h"

#include "gui/Application.h"
#include "gui/DllTree.h"
#include "gui/FileNameEdit.h"
#include "gui/Prompts.h"
#include "gui/QtText.h"
#include "platform/FileSystem.h"
#include "support/Textutil.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QVBoxLayout>

namespace ut::gui {

namespace {

/// The browse dialog of exeEdit.
constexpr const char* ExeFilter = "Executables...|*.exe;*.dll;*.bpl|All files (*.*)|*.*";

} // namespace

DllPage::DllPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("DllPage"));
    FOwnPrompts = std::make_unique<MessageBoxPrompts>(this);
    FPrompts = FOwnPrompts.get();

    exeEdit = new FileNameEdit(this);
    exeEdit->setObjectName(QStringLiteral("exeEdit"));
    exeLabel = new QLabel(tr("Executable:"), this);
    exeLabel->setObjectName(QStringLiteral("exeLabel"));
    exeLabel->setBuddy(exeEdit);
    dllTree = new DllTree(this);
    statusLabel = new QLabel(this);
    statusLabel->setObjectName(QStringLiteral("dllStatus"));
    statusLabel->hide();

    auto* row = new QHBoxLayout;
    row->addWidget(exeLabel);
    row->addWidget(exeEdit, 1);
    auto* page = new QVBoxLayout(this);
    page->addLayout(row);
    page->addWidget(dllTree, 1);
    page->addWidget(statusLabel);
    setTabOrder(exeEdit, dllTree);

    connect(exeEdit, &QLineEdit::editingFinished, this,
            Guarded([this] { acceptExeName(exeEdit->text()); }));
    connect(exeEdit, &FileNameEdit::BrowseRequested, this, Guarded([this] { browseForExe(); }));
    connect(dllTree, &DllTree::DumpStatus, this, [this](const QString& text) {
        statusLabel->setText(text);
        statusLabel->setVisible(!text.isEmpty());
    });
}

void DllPage::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && dllTree->DumpRunning()) {
        event->accept();
        dllTree->CancelDumps();
        return;
    }
    QWidget::keyPressEvent(event);
}

DllPage::~DllPage() {
    // exeEdit loses the focus while the children are destroyed, after this part of the page
    // is gone: its editingFinished must not reach acceptExeName then.
    disconnect(exeEdit, nullptr, this, nullptr);
}

void DllPage::SetLogSink(std::function<void(const QString&)> sink) {
    dllTree->SetLogSink(std::move(sink));
}

void DllPage::SetDumpTool(const QString& toolPath) {
    dllTree->SetDumpTool(toolPath);
}

void DllPage::SetDumpTimeLimit(std::chrono::milliseconds limit) {
    dllTree->SetTimeLimit(limit);
}

void DllPage::SetPrompts(Prompts* prompts) {
    FPrompts = prompts ? prompts : FOwnPrompts.get();
}

void DllPage::SetExeName(const QString& name) {
    if (name == FExeName)
        return;
    FExeName = name;
    if (exeEdit->text() != name)
        exeEdit->setText(name);
    if (IsActive())
        dllTree->RebuildDllTree(FromQt(FExeName));
    else
        dllTree->ClearTree();
}

void DllPage::Activate() {
    if (dllTree->topLevelItemCount() == 0 && fs::FileExists(FromQt(FExeName)))
        dllTree->RebuildDllTree(FromQt(FExeName));
}

void DllPage::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    Guarded([this] { Activate(); })();
}

bool DllPage::SameFileName(const QString& name) const {
    return SameText(FromQt(name), FromQt(FExeName));
}

void DllPage::acceptExeName(const QString& name) {
    if (!SameFileName(name))
        SetExeName(name);
}

void DllPage::browseForExe() {
    QString dir = QDir::currentPath();
    if (!FExeName.isEmpty()) {
        const QFileInfo current(FExeName);
        if (current.absoluteDir().exists())
            dir = current.absolutePath();
    }
    const QString name =
        FPrompts->OpenFileName(tr("Select file..."), dir, NameFiltersFromPairs(ExeFilter));
    if (!name.isEmpty())
        acceptExeName(QDir::toNativeSeparators(name));
}

void DllPage::PrepareForScreenshot() {
    if (!fs::FileExists(FromQt(FExeName)))
        SetExeName(QCoreApplication::applicationFilePath());
    Activate();
    QTreeWidgetItem* root = dllTree->Root();
    if (!root)
        return;
    root->setExpanded(true);
    dllTree->WaitForDumps();
    for (int i = 0; i < root->childCount(); ++i)
        root->child(i)->setExpanded(true);
    dllTree->WaitForDumps();
    dllTree->setCurrentItem(root);
    dllTree->scrollToTop();
}

} // namespace ut::gui
