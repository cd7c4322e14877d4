#pragma once
// The tree of the "DLL usage" page (dllTree): the inspected file at the root, the libraries
// it imports below it, and theirs in turn. Children come from one run of the dump tool per
// expanded node; until then a node carries one placeholder child. The tool runs on a thread
// of its own, one run at a time, so the window goes on answering while it works; Escape
// stops it.
#include "support/DualStringList.h"
#include "support/StringList.h"

#include <QString>
#include <QTreeWidget>

#include <atomic>
#include <chrono>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <unordered_set>

namespace ut {
struct TDumpResult;
}

namespace ut::gui {

class WaitCursor;

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

    /// A dump is running or waiting to run.
    bool DumpRunning() const { return FRunning.has_value(); }
    /// Stops the running dump and drops the waiting ones; their nodes get their placeholder
    /// back, so expanding them again lists them.
    void CancelDumps();
    /// Lets events run until no dump is left (for the screenshots and the tests).
    void WaitForDumps();

    QTreeWidgetItem* Root() const { return topLevelItemCount() > 0 ? topLevelItem(0) : nullptr; }
    static bool IsPlaceholder(const QTreeWidgetItem* node);
    /// The full path a node stands for; empty for a library that was not found.
    static std::string NodePath(const QTreeWidgetItem* node);

    /// FDllNodes: one entry per node that stands for a located file (the root first), in
    /// the order they were met: string = full path, object = the node.
    const BasicStringList<QTreeWidgetItem*>& DllNodes() const { return FDllNodes; }
    /// FDllPaths: the successful searches, DLL name to full path; nullptr before the first.
    const TDualStringList* DllPaths() const { return FDllPaths.get(); }

  signals:
    /// What the page's status line says: which file is being listed; empty when idle.
    void DumpStatus(const QString& text);

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void RegisterDllNode(const std::string& path, QTreeWidgetItem* node);
    void fillExpandedNode(QTreeWidgetItem* node);
    void ListImports(const std::string& fileName, QTreeWidgetItem* node);
    void StartNextDump();
    void DumpFinished(const TDumpResult& result, const std::string& failure);
    /// Forgets the dumps of the nodes in `doomed` (about to be deleted).
    void ForgetDumps(const std::unordered_set<QTreeWidgetItem*>& doomed);
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

    struct DumpJob {
        std::string File;
        QTreeWidgetItem* Node; ///< null once the node is gone
    };
    std::optional<DumpJob> FRunning;
    std::deque<DumpJob> FWaiting;
    std::thread FDumpThread;
    std::atomic<bool> FCancel{false};
    std::unique_ptr<WaitCursor> FWaitCursor;
};

} // namespace ut::gui
