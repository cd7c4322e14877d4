#pragma once
// The "DLL usage" page: the file box exeEdit naming the executable, library or package to
// inspect, the tree of the libraries it imports (DllTree), and a status line that says
// which file the dump tool is listing while it runs.
#include <QString>
#include <QWidget>

#include <chrono>
#include <functional>
#include <memory>

class QLabel;

namespace ut::gui {

class DllTree;
class FileNameEdit;
class Prompts;

class DllPage : public QWidget {
    Q_OBJECT
  public:
    explicit DllPage(QWidget* parent = nullptr);
    ~DllPage() override;

    /// FExeName: the file the page shows.
    const QString& ExeName() const { return FExeName; }
    /// Takes `name` when it differs from FExeName (exactly): shows it in exeEdit and rebuilds
    /// the tree when the page is on view; otherwise empties the tree, so that the next
    /// Activate builds the new file's tree instead of leaving the old one on view.
    void SetExeName(const QString& name);
    /// The page became the current one: builds the root and its first level when the tree
    /// has no nodes and FExeName names an existing file.
    void Activate();
    /// The page counts as active while it is visible (the pager shows only its current page).
    bool IsActive() const { return isVisible(); }

    /// Where the page reports what the user should learn about (a dump tool that hung).
    void SetLogSink(std::function<void(const QString&)> sink);
    /// The dump tool; empty: the one beside the application, else the first on PATH.
    void SetDumpTool(const QString& toolPath);
    void SetDumpTimeLimit(std::chrono::milliseconds limit);
    /// Who shows the browse dialog; nullptr: the real dialog. Must outlive the page.
    void SetPrompts(Prompts* prompts);

    /// For the screenshots: the tree of FExeName (or, when that is no existing file, of
    /// the running program itself) with its first two levels expanded.
    void PrepareForScreenshot();

    QLabel* exeLabel;
    FileNameEdit* exeEdit;
    DllTree* dllTree;
    QLabel* statusLabel;

  protected:
    /// Escape anywhere on the page stops a running dump.
    void keyPressEvent(QKeyEvent* event) override;
    /// Coming into view counts as activation too (a window shown again on this page).
    void showEvent(QShowEvent* event) override;

  private:
    /// Takes a file name typed or picked by the user, unless it names the shown file.
    void acceptExeName(const QString& name);
    void browseForExe();
    bool SameFileName(const QString& name) const;

    QString FExeName;
    std::unique_ptr<Prompts> FOwnPrompts;
    Prompts* FPrompts;
};

} // namespace ut::gui
