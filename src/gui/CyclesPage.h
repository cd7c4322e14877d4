#pragma once
// The "Cycles" page: every cycle of the uses graph with its units, a cycle the compiler
// rejects (closed by interface entries alone) told apart. A double-click on a unit, or
// Ctrl+Enter, opens the detail window of what the unit uses, from which the cycle can be
// followed.
#include "gui/ResultPage.h"

#include <QWidget>

class QTreeWidget;
class QTreeWidgetItem;

namespace ut {
class ProjectScan;
class TUnit;
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

    QTreeWidget* List() const { return FList; }
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

    const ut::ProjectScan& FScan;
    ScanAnalysis& FAnalysis;
    QTreeWidget* FList;
};

} // namespace ut::gui
