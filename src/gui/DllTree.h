#pragma once
// The tree of the "DLL usage" page (dllTree): the inspected file at the root, the libraries
// it imports below it, and theirs in turn. Children come from one run of the dump tool per
// expanded node; until then a node carries one placeholder child.
#include "support/DualStringList.h"
#include "support/StringList.h"

#include <QString>
#include <QTreeWidget>

#include <chrono>
#include <functional>
#include <memory>
#include <string>

namespace ut::gui {

class DllTree : public QTreeWidget {
    Q_OBJECT
  public:
    using LogSink = std::function<void(const QString&)>;

    /// Item data: 1 in PlaceholderRole marks the placeholder child; PathRole holds the full
    /// path (bytes) of the file a node stands for, also on copied nodes.
    static constexpr int PlaceholderRole = Qt::UserRole;
    static constexpr int PathRole = Qt::UserRole + 1;

    explicit DllTree(QWidget* parent = nullptr);
    ~DllTree() override;

    void SetLogSink(LogSink sink) { FLog = std::move(sink); }
    /// The dump tool to run; empty: the one beside the application, else the first on PATH.
    void SetDumpTool(const QString& toolPath);
    /// The tool that the next dump runs (empty when there is none).
    QString DumpTool();
    void SetTimeLimit(std::chrono::milliseconds limit) { FTimeLimit = limit; }
    std::chrono::milliseconds TimeLimit() const { return FTimeLimit; }

    /// Empties the tree, then adds the root for `exeName` and lists its imports at once.
    void RebuildDllTree(const std::string& exeName);
    /// Removes every node and the registered files.
    void ClearTree();
    /// Deletes `node` with its subtree and forgets the registered files among them.
    void DeleteNode(QTreeWidgetItem* node);

    QTreeWidgetItem* Root() const { return topLevelItemCount() > 0 ? topLevelItem(0) : nullptr; }
    static bool IsPlaceholder(const QTreeWidgetItem* node);
    /// The full path a node stands for; empty for a library that was not found.
    static std::string NodePath(const QTreeWidgetItem* node);

    /// FDllNodes: one entry per node that stands for a located file (the root first), in
    /// the order they were met: string = full path, object = the node.
    const BasicStringList<QTreeWidgetItem*>& DllNodes() const { return FDllNodes; }
    /// FDllPaths: the successful searches, DLL name to full path; nullptr before the first.
    const TDualStringList* DllPaths() const { return FDllPaths.get(); }

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void RegisterDllNode(const std::string& path, QTreeWidgetItem* node);
    void fillExpandedNode(QTreeWidgetItem* node);
    void ListImports(const std::string& fileName, QTreeWidgetItem* node);
    void AddImportNode(const std::string& dllName, QTreeWidgetItem* parent);
    void CopySubtree(QTreeWidgetItem* source, QTreeWidgetItem* target);
    std::string ResolveDll(const std::string& dllName);
    void Log(const QString& text) const;

    BasicStringList<QTreeWidgetItem*> FDllNodes;
    std::unique_ptr<TDualStringList> FDllPaths;
    /// The directory of the inspected file: where its libraries are looked for first.
    std::string FExeDir;
    QString FDumpTool;
    bool FDumpToolKnown = false;
    std::chrono::milliseconds FTimeLimit;
    LogSink FLog;
};

} // namespace ut::gui
