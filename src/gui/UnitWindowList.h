#pragma once
// The open detail windows of the main window, at most one per unit and
// direction. Opens or raises them, closes them all at once (new scan, filter change, exit),
// lets a removed unit go from every one of them, and keeps their why-paths up to date.
#include "trees/TreeRules.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QSize>

#include <functional>

namespace ut::gui {

class Prompts;
class ScanAnalysis;
class UnitWindow;
class TreePage;

class UnitWindowList : public QObject {
    Q_OBJECT
  public:
    /// The windows are owned by `owner`; the template trees give the sort key of each
    /// direction. Everything must outlive the list.
    UnitWindowList(ut::ProjectScan& scan, const ut::TreeFilters& filters, ScanAnalysis& analysis,
                   Prompts& prompts, QWidget* owner, TreePage& usesPage, TreePage& usedByPage);
    ~UnitWindowList() override;

    /// From a tree of tag `sourceTag`, the window of `unit` in the opposite
    /// direction (made, or made visible and raised). Any other tag does nothing.
    void showUnitWindow(ut::TUnit* unit, int sourceTag);
    /// Destroys every window at once, without its close event.
    void CloseAll();
    /// A window showing `unit` is closed; every other window deletes the unit's nodes.
    void RemoveUnit(const ut::TUnit* unit);

    /// The open windows, oldest first.
    QList<UnitWindow*> Windows() const;
    /// The window of `unit` in `direction`, or nullptr.
    UnitWindow* Find(const ut::TUnit* unit, int direction) const;

    /// Runs for the tree of every new window, before its unit is set (menus and keys).
    std::function<void(TreePage&)> TreeCreated;

    /// The size the user last gave a window, which the next ones open at; invalid while
    /// none was given, when each opens at the size its content needs. Saved with the
    /// settings.
    QSize RememberedSize() const { return FRememberedSize; }
    void SetRememberedSize(QSize size) { FRememberedSize = size; }

  private:
    void windowClosed(UnitWindow* window);
    void ShowWhy(UnitWindow& window);
    void Release(UnitWindow* window);
    void RememberSize(const UnitWindow& window);

    ut::ProjectScan& FScan;
    const ut::TreeFilters& FFilters;
    ScanAnalysis& FAnalysis;
    Prompts& FPrompts;
    QWidget* FOwner;
    TreePage& FUsesPage;
    TreePage& FUsedByPage;
    QList<QPointer<UnitWindow>> FUnitWindows;
    QSize FRememberedSize;
};

} // namespace ut::gui
