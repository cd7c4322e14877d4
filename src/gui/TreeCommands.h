#pragma once
// The commands that thin out the dependency trees: the popup menu with its
// shortcuts, the key handler of every dependency tree (numpad *, F4, Del), removing a unit
// from the whole result, deleting small units or the units of chosen locations, expanding a
// branch, keeping only form units, and opening a unit's source.
#include "trees/TreeRules.h"

#include <QList>
#include <QObject>
#include <QPointer>

#include <functional>
#include <string>

class QAction;
class QKeyEvent;
class QMenu;
class QModelIndex;

namespace ut::gui {

class Prompts;
class ScanAnalysis;
class UnitWindowList;
class TreePage;

class TreeCommands : public QObject {
    Q_OBJECT
  public:
    /// The views a removal reaches; all must outlive the commands.
    struct Views {
        TreePage* UsesPage = nullptr;
        TreePage* UsedByPage = nullptr;
        UnitWindowList* UnitWindows = nullptr;
        /// Dropped before a unit goes (it refers to the records); may be null.
        ScanAnalysis* Analysis = nullptr;
    };

    /// Dialogs and the menu belong to `owner`.
    TreeCommands(ut::ProjectScan& scan, Prompts& prompts, Views views, QWidget* owner);
    ~TreeCommands() override;

    /// Gives a dependency tree the popup menu, the menu's shortcuts and the key handler.
    void AttachTree(TreePage& page);

    QMenu* treeMenu;
    QAction* openUnitWindowAction;
    QAction* onlyFormsAction;
    QAction* expandFormsAction;
    QAction* editSourceAction;
    QAction* deleteSmallAction;
    QAction* deleteByLocationAction;

    /// Brings the items up to date for a popup on `component` (nullptr: the
    /// widget with the keyboard focus) and remembers the tree they act on.
    void prepareMenu(QWidget* component);
    /// Shows the popup on `page` at `pos` of its tree's viewport.
    void PopupAt(TreePage& page, const QPoint& pos);

    /// The tree a menu command acts on: the focused tree, else the tree of the last popup
    /// while it lives; otherwise the command stops silently (EAbort).
    TreePage* CommandTree() const;

    /// Takes `unit` out of the result and out of every tree and detail window, then
    /// destroys it. The project's unit is refused (EWarning); an unknown unit is ignored.
    void RemoveUnit(ut::TUnit* unit);
    /// "&Delete small units...": removes every unit smaller than the size entered.
    void deleteSmallUnits();
    /// "Delete by &Location...": removes every unit of the locations ticked.
    void deleteUnitsByLocation();
    /// Hands the file to the desktop's associated program.
    void OpenSourceFile(const std::string& fileName);

    /// How a file is opened; tests put a recorder here so that nothing is launched.
    std::function<void(const QString& fileName)> OpenFile;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    TreePage* PageOfTree(const QObject* tree) const;
    /// Numpad *, F4 and Del in a dependency tree; true when the key was consumed.
    bool handleTreeKey(TreePage& page, const QKeyEvent& key);
    void RequireIdle() const;
    void openUnitWindow(TreePage& page);
    void EditSource(TreePage& page);
    QAction* AddItem(const QString& caption, const QList<QKeySequence>& keys,
                     std::function<void()> command);

    ut::ProjectScan& FScan;
    Prompts& FPrompts;
    Views FViews;
    QWidget* FOwner;
    QList<QPointer<TreePage>> FTrees;
    QPointer<TreePage> FMenuTree;
};

} // namespace ut::gui
