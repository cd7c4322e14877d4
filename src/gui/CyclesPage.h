#pragma once
// The "Cycles" page: every cycle of the uses graph with its units, a cycle the compiler
// rejects (closed by interface entries alone) told apart. Below, the selected cycle's uses
// entries to cut (and, for a cycle the compiler rejects, the interface entries to move to
// the implementation) with the references that tie them. A double-click on a unit or a cut,
// or Ctrl+Enter, opens the detail window of what the (using) unit uses, from which the cycle
// can be followed.
#include "analysis/EntryCosts.h"
#include "gui/ResultPage.h"

#include <QWidget>

#include <functional>
#include <optional>

class QLabel;
class QTreeWidget;
class QTreeWidgetItem;

namespace ut {
class ProjectScan;
class TUnit;
class UnitGraph;
} // namespace ut

namespace ut::gui {

class ScanAnalysis;

class CyclesPage : public QWidget, public ResultPage {
    Q_OBJECT
  public:
    /// `scan` and `analysis` must outlive the page.
    CyclesPage(const ut::ProjectScan& scan, ScanAnalysis& analysis, QWidget* parent = nullptr);

    /// Lists the cycles when the list is empty and an analysis is at hand; false otherwise.
    bool Build();
    /// Empties the list; the next Build starts over.
    void Clear();
    void ShowResult() override { Build(); }
    void ClearResult() override { Clear(); }

    /// What cutting each uses entry costs: the uses hygiene's costs (CostsOfHygiene) once the
    /// window has judged the entries, none before. Unset or none: every entry costs one
    /// reference. Call CostsChanged when the answer changes.
    std::function<std::optional<ut::EntryCosts>(const ut::UnitGraph& graph)> Costs;
    /// Shows the selected cycle's cuts again under the costs as they are now.
    void CostsChanged();

    QTreeWidget* List() const { return FList; }
    /// The selected cycle's cuts: "Entry", "Section", "Location", "References",
    /// "Identifiers", "Verdict", in groups "Cut" and "Move to the implementation".
    QTreeWidget* CutList() const { return FCuts; }
    /// Names the cycle whose cuts are shown and whether they are the cheapest there are.
    QLabel* CutsHeader() const { return FCutsHeader; }
    /// The unit of a unit row; nullptr for any other row or a unit no longer scanned.
    ut::TUnit* UnitOf(const QTreeWidgetItem* item) const;

  signals:
    /// A unit was chosen; `sourceTag` is the tree direction the window comes from (the
    /// used-by direction, so that the window shows what the unit uses).
    void unitActivated(ut::TUnit* unit, int sourceTag);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Activate(QTreeWidgetItem* item);
    /// Lists the cuts of cycle `cycle` (an index into the analysis's cycles; -1 for none).
    void ShowCuts(int cycle);

    const ut::ProjectScan& FScan;
    ScanAnalysis& FAnalysis;
    QTreeWidget* FList;
    QLabel* FCutsHeader;
    QTreeWidget* FCuts;
    /// The cycle whose cuts are listed, or -1.
    int FShownCycle = -1;
    /// The costs of the analysis's entries (none: one per entry), asked for at the first cut
    /// listed since Clear or CostsChanged.
    bool FCostsAsked = false;
    std::optional<ut::EntryCosts> FCosts;
};

} // namespace ut::gui
