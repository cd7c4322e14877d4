#include "gui/DllTree.h"

#include "gui/Application.h"
#include "gui/QtText.h"
#include "gui/WaitCursor.h"
#include "imports/DllSearch.h"
#include "imports/DumpRunner.h"
#include "platform/FileSystem.h"
#include "support/Textutil.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QKeyEvent>

#include <optional>
#include <unordered_set>
#include <utility>
#include <vector>

namespace ut::gui {

namespace {

void AddPlaceholder(QTreeWidgetItem* node) {
    auto* placeholder = new QTreeWidgetItem(node);
    placeholder->setData(0, DllTree::PlaceholderRole, 1);
}

/// The path goes into the node's data and, for the user, into its tool tip.
void SetNodePath(QTreeWidgetItem* node, const std::string& path) {
    node->setData(0, DllTree::PathRole, QByteArray::fromStdString(path));
    node->setToolTip(0, ToQt(path));
}

void CollectSubtree(QTreeWidgetItem* top, std::unordered_set<QTreeWidgetItem*>& into) {
    std::vector<QTreeWidgetItem*> pending{top};
    while (!pending.empty()) {
        QTreeWidgetItem* node = pending.back();
        pending.pop_back();
        into.insert(node);
        for (int i = 0; i < node->childCount(); ++i)
            pending.push_back(node->child(i));
    }
}

} // namespace

DllTree::DllTree(QWidget* parent) : QTreeWidget(parent), FTimeLimit(DumpTimeLimit) {
    setObjectName(QStringLiteral("dllTree"));
    setColumnCount(1);
    setHeaderHidden(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QTreeWidget::itemExpanded, this,
            [this](QTreeWidgetItem* node) { Guarded([this, node] { fillExpandedNode(node); })(); });
}

DllTree::~DllTree() {
    FCancel = true;
    if (FDumpThread.joinable())
        FDumpThread.join();
}

void DllTree::SetDumpTool(const QString& toolPath) {
    FDumpTool = toolPath;
    FDumpToolKnown = !toolPath.isEmpty();
}

QString DllTree::DumpTool() {
    // Looked for at the first dump, and again later while there is none: it may be
    // installed meanwhile.
    if (!FDumpToolKnown) {
        FDumpTool = ToQt(FindDumpTool(FromQt(QCoreApplication::applicationDirPath())));
        FDumpToolKnown = !FDumpTool.isEmpty();
    }
    return FDumpTool;
}

bool DllTree::IsPlaceholder(const QTreeWidgetItem* node) {
    return node && node->data(0, PlaceholderRole).toInt() == 1;
}

std::string DllTree::NodePath(const QTreeWidgetItem* node) {
    return node ? node->data(0, PathRole).toByteArray().toStdString() : std::string();
}

void DllTree::ClearTree() {
    // The running dump is of no use any more: it is stopped, and its result dropped.
    if (FRunning) {
        FRunning->Node = nullptr;
        FCancel = true;
    }
    FWaiting.clear();
    FDllNodes.Clear();
    clear();
}

void DllTree::RebuildDllTree(const std::string& exeName) {
    ClearTree();
    if (exeName.empty())
        return;
    const std::string path = fs::ExpandFileName(exeName);
    FExeDir = fs::ExtractFileDir(path);
    auto* root = new QTreeWidgetItem(this, QStringList(ToQt(fs::ExtractFileName(path))));
    SetNodePath(root, path);
    RegisterDllNode(path, root);
    AddPlaceholder(root);
    setCurrentItem(root);
    // Expanding runs fillExpandedNode, which lists the file's imports at once.
    root->setExpanded(true);
}

void DllTree::RegisterDllNode(const std::string& path, QTreeWidgetItem* node) {
    FDllNodes.AddObject(path, node);
}

void DllTree::DeleteNode(QTreeWidgetItem* node) {
    if (!node)
        return;
    std::unordered_set<QTreeWidgetItem*> doomed;
    CollectSubtree(node, doomed);
    for (int i = FDllNodes.Count() - 1; i >= 0; --i)
        if (doomed.count(FDllNodes.Objects(i)) != 0)
            FDllNodes.Delete(i);
    ForgetDumps(doomed);
    delete node;
}

void DllTree::ForgetDumps(const std::unordered_set<QTreeWidgetItem*>& doomed) {
    if (FRunning && doomed.count(FRunning->Node))
        FRunning->Node = nullptr;
    std::erase_if(FWaiting, [&](const DumpJob& job) { return doomed.count(job.Node) != 0; });
}

void DllTree::keyPressEvent(QKeyEvent* event) {
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    if (event->key() == Qt::Key_Delete && mods == Qt::ControlModifier) {
        event->accept();
        QTreeWidgetItem* node = currentItem();
        if (node && node != Root())
            DeleteNode(node);
        return;
    }
    if (event->key() == Qt::Key_Escape && DumpRunning()) {
        event->accept();
        CancelDumps();
        return;
    }
    QTreeWidget::keyPressEvent(event);
}

void DllTree::fillExpandedNode(QTreeWidgetItem* node) {
    if (node->childCount() == 0 || !IsPlaceholder(node->child(0)))
        return;
    delete node->takeChild(0);
    // Copied nodes carry their source's path too, so expanding a copy lists its imports.
    const std::string path = NodePath(node);
    if (!path.empty())
        ListImports(path, node);
}

void DllTree::ListImports(const std::string& fileName, QTreeWidgetItem* node) {
    FWaiting.push_back({fileName, node});
    StartNextDump();
}

void DllTree::StartNextDump() {
    if (FRunning || FWaiting.empty())
        return;
    FRunning = FWaiting.front();
    FWaiting.pop_front();
    if (FDumpThread.joinable())
        FDumpThread.join(); // the previous run has delivered its result already
    FCancel = false;
    TDumpOptions options;
    options.ToolPath = FromQt(DumpTool());
    options.TimeLimit = FTimeLimit;
    options.Cancel = &FCancel;
    if (!FWaitCursor)
        FWaitCursor = std::make_unique<WaitCursor>();
    emit DumpStatus(tr("Listing the imports of %1... (Escape stops it)")
                        .arg(ToQt(fs::ExtractFileName(FRunning->File))));
    FDumpThread = std::thread([this, file = FRunning->File, options] {
        TDumpResult result;
        std::string failure;
        try {
            result = ut::ListImports(file, options);
        } catch (const std::exception& e) {
            failure = e.what();
        }
        // Delivered on the window's thread; dropped with the tree if it is gone by then.
        QMetaObject::invokeMethod(
            this, [this, result, failure] { Guarded([&] { DumpFinished(result, failure); })(); },
            Qt::QueuedConnection);
    });
}

void DllTree::DumpFinished(const TDumpResult& result, const std::string& failure) {
    QTreeWidgetItem* node = FRunning ? FRunning->Node : nullptr;
    FRunning.reset();
    if (FDumpThread.joinable())
        FDumpThread.join();
    if (FWaiting.empty()) {
        FWaitCursor.reset();
        emit DumpStatus(QString());
    }
    if (!node) {
        // The node went, or the tree was rebuilt: nothing to show, nothing to report.
    } else if (!failure.empty()) {
        Log(ToQt(failure));
    } else if (result.Status == TDumpStatus::Cancelled) {
        Log(ToQt(result.Message));
        // Listed again when expanded again.
        node->setExpanded(false);
        AddPlaceholder(node);
    } else {
        if (result.Status == TDumpStatus::TimedOut)
            Log(ToQt(result.Message));
        if (result.Status == TDumpStatus::Listed)
            for (const std::string& name : result.Imports)
                AddImportNode(name, node);
    }
    StartNextDump();
}

void DllTree::CancelDumps() {
    for (const DumpJob& job : FWaiting)
        if (job.Node) {
            job.Node->setExpanded(false);
            AddPlaceholder(job.Node);
        }
    FWaiting.clear();
    FCancel = true;
}

void DllTree::WaitForDumps() {
    while (DumpRunning())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

void DllTree::AddImportNode(const std::string& dllName, QTreeWidgetItem* parent) {
    const QString text = ToQt(dllName);
    for (int i = 0; i < parent->childCount(); ++i)
        if (parent->child(i)->text(0).compare(text, Qt::CaseInsensitive) == 0)
            return;

    const std::string path = ResolveDll(dllName);
    auto* node = new QTreeWidgetItem(parent, QStringList(text));
    if (path.empty())
        return;
    SetNodePath(node, path);
    // A library that imports itself through the chain above stays a leaf. The chain is
    // compared by path, so copies (which are not registered) are caught as well.
    for (const QTreeWidgetItem* up = parent; up; up = up->parent())
        if (CompareFolded(NodePath(up), path) == 0)
            return;
    const int known = IndexOfText(FDllNodes, path);
    if (known < 0) {
        RegisterDllNode(path, node);
        AddPlaceholder(node);
    } else {
        CopySubtree(FDllNodes.Objects(known), node);
    }
}

void DllTree::CopySubtree(QTreeWidgetItem* source, QTreeWidgetItem* target) {
    // Level by level from a list of (original, copy) pairs, so an import chain of any
    // length is copied without recursion; each copy keeps its children's order.
    std::vector<std::pair<const QTreeWidgetItem*, QTreeWidgetItem*>> pending{{source, target}};
    while (!pending.empty()) {
        const auto [from, to] = pending.back();
        pending.pop_back();
        for (int i = 0; i < from->childCount(); ++i) {
            const QTreeWidgetItem* child = from->child(i);
            auto* copy = new QTreeWidgetItem(to, QStringList(child->text(0)));
            copy->setData(0, PlaceholderRole, child->data(0, PlaceholderRole));
            if (const std::string path = NodePath(child); !path.empty())
                SetNodePath(copy, path);
            if (child->childCount() > 0)
                pending.emplace_back(child, copy);
        }
    }
}

std::string DllTree::ResolveDll(const std::string& dllName) {
    if (FDllPaths) {
        int index = 0;
        if (FDllPaths->Find(dllName, index))
            return FDllPaths->Duals(index);
    } else {
        FDllPaths = std::make_unique<TDualStringList>();
        FDllPaths->SetSorted(true);
        FDllPaths->SetDuplicates(TDuplicates::dupIgnore);
    }
    std::string path = ut::ResolveDll(dllName, FExeDir);
    if (!path.empty())
        FDllPaths->AddDual(dllName, path);
    return path;
}

void DllTree::Log(const QString& text) const {
    if (FLog)
        FLog(text);
}

} // namespace ut::gui
