#pragma once
// One dependency tree page ("Uses" or "Used by"): the tree view over a lazy unit model, its
// header sections that refit to the window, header-click sorting, and the double-click
// command that opens a unit instead of toggling the node.
#include "gui/ResultPage.h"
#include "trees/TreeRules.h"

#include <QWidget>

class QHeaderView;
class QModelIndex;
class QTreeView;

namespace ut::gui {

class ScanAnalysis;
class ScanHygiene;
class ScanRules;
class UnitTreeModel;

class TreePage : public QWidget, public ResultPage {
    Q_OBJECT
  public:
    /// `scan` and `filters` must outlive the page; `direction` is tdUses or tdUsedBy.
    TreePage(ut::ProjectScan& scan, const ut::TreeFilters& filters, int direction,
             QWidget* parent = nullptr);
    ~TreePage() override;

    int Direction() const { return FDirection; }
    QTreeView* Tree() const { return FTree; }
    QHeaderView* Header() const;
    UnitTreeModel* Model() const { return FModel; }

    /// Builds the first level when the tree has no nodes (the uses tree's root is expanded at
    /// once); false when there was nothing to build (nodes present, or no scan yet).
    bool Build();
    /// Replaces the nodes by one expanded root for `unit` (the tree of a detail window).
    void BuildUnit(ut::TUnit& unit);
    /// Removes every node; the next Build starts over.
    void Clear();
    void ShowResult() override { Build(); }
    /// Clear, and the sort order starts over.
    void ClearResult() override;
    /// Marks cycles and fills the "Exclusive" column from `analysis` (which must outlive the
    /// page), redrawing whenever it changes.
    void SetAnalysis(ScanAnalysis& analysis);
    /// Marks the uses entries with their verdicts from `hygiene` (which must outlive the
    /// page), redrawing whenever they change.
    void SetHygiene(const ScanHygiene& hygiene);
    /// Marks the uses entries that break a rule of `rules` (which must outlive the page),
    /// redrawing whenever its verdict changes.
    void SetRules(ScanRules& rules);

    /// Puts `panel` to the right of the tree, behind a 3-pixel splitter; the tree takes
    /// every change of width.
    void SetSidePanel(QWidget* panel);

    /// The sort key (0 natural order, +-1 name, +-2 location, +-3 size, +-4 exclusive size).
    /// Setting it does not
    /// re-sort what is shown; SortTree does.
    int SortKey() const;
    void SetSortKey(int key);
    void SortTree();

    /// With a double-click command, a double-click (or Ctrl+Enter) on a node with a unit emits
    /// nodeActivated and never expands or collapses the node; without one the node toggles.
    void SetDoubleClickCommand(bool enabled);
    bool HasDoubleClickCommand() const { return FHasCommand; }

    /// Gives header section `index` what is left of the tree's width after the other
    /// sections, the vertical scroll bar and a 4-pixel margin; never less than 0. The name
    /// section keeps room for NameLeastChars characters: below that, "Location" gives way
    /// (down to half of it), then the tree scrolls sideways.
    void FitHeaderSection(int index);
    static constexpr int NameLeastChars = 14;

    /// Deletes every node of `unit` with its subtree.
    void RemoveUnitNodes(const ut::TUnit* unit);
    /// The unit of the selected node; nullptr when none is selected or it has no unit.
    ut::TUnit* SelectedUnit() const;

  signals:
    void nodeActivated(ut::TUnit* unit, int direction);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void SectionClicked(int section);
    void SectionResized(int section);
    void Activate(const QModelIndex& index);

    const int FDirection;
    UnitTreeModel* FModel;
    QTreeView* FTree;
    bool FHasCommand = false;
    bool FFitting = false;
};

} // namespace ut::gui
