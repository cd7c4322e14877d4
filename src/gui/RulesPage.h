#pragma once
// The "Rules" page: the violations of the rules file chosen on the Setup page in the last
// scan, a row each (rule, severity, using and used unit, where the entry stands, and whether
// the baseline knows it), sortable by any column; above them the count, the sets that
// match nothing, or why the files could not be read. A double-click on a row, or
// Ctrl+Enter, opens the detail window of the using unit.
#include "gui/ResultPage.h"

#include <QWidget>

class QLabel;
class QTreeWidget;
class QTreeWidgetItem;

namespace ut {
class ProjectScan;
class TUnit;
} // namespace ut

namespace ut::gui {

class ScanRules;

class RulesPage : public QWidget, public ResultPage {
    Q_OBJECT
  public:
    enum Column { RuleCol, SeverityCol, FromCol, ToCol, LocationCol, BaselineCol };

    /// `scan` and `rules` must outlive the page.
    RulesPage(const ut::ProjectScan& scan, ScanRules& rules, QWidget* parent = nullptr);

    /// Lists the violations when the page is empty and a scan is at hand; false otherwise.
    bool Build();
    /// Empties the page and drops the verdict; the next Build checks again.
    void Clear();
    void ShowResult() override { Build(); }
    void ClearResult() override { Clear(); }

    QTreeWidget* List() const { return FList; }
    QLabel* Summary() const { return FSummary; }
    /// The using unit of a row; nullptr for a unit no longer scanned.
    ut::TUnit* UnitOf(const QTreeWidgetItem* item) const;

  signals:
    /// A row was chosen; `sourceTag` is the tree direction the window comes from (the
    /// used-by direction, so that the window shows what the unit uses).
    void unitActivated(ut::TUnit* unit, int sourceTag);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Activate(QTreeWidgetItem* item);

    const ut::ProjectScan& FScan;
    ScanRules& FRules;
    QLabel* FSummary;
    QTreeWidget* FList;
    bool FBuilt = false;
};

} // namespace ut::gui
