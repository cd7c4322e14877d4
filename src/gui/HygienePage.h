#pragma once
// The "Hygiene" page: the verdict on every uses entry of the judged units, with its reasons
// and evidence, sortable by any column. Opening the page judges the entries when that is
// not done yet. A double-click on a row (or Ctrl+Enter) opens the detail window of what the
// unit uses; "Save patch..." writes the edits that apply the verdicts.
#include "gui/ResultPage.h"

#include <QWidget>

class QCheckBox;
class QLabel;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace ut {
class ProjectScan;
class TUnit;
} // namespace ut

namespace ut::gui {

class Prompts;
class ScanAnalysis;
class ScanHygiene;

class HygienePage : public QWidget, public ResultPage {
    Q_OBJECT
  public:
    enum Column { UnitCol, EntryCol, SectionCol, VerdictCol, ReasonsCol, EvidenceCol, SiteCol };

    /// Everything must outlive the page.
    HygienePage(const ut::ProjectScan& scan, ScanHygiene& hygiene, ScanAnalysis& analysis,
                Prompts& prompts, QWidget* parent = nullptr);

    /// Judges the entries if need be and lists them when the list is empty; false when
    /// nothing was listed.
    bool Build();
    /// Empties the list; the next Build starts over.
    void Clear();
    void ShowResult() override { Build(); }
    void ClearResult() override { Clear(); }

    /// Asks for a file and writes the patch into it; a message box when a source changed
    /// since it was read, when there is nothing to patch or when the file cannot be written.
    void savePatch();

    QTreeWidget* List() const { return FList; }
    QLabel* SummaryLabel() const { return FSummary; }
    QCheckBox* ShowKeptCheck() const { return FShowKept; }
    QPushButton* SavePatchButton() const { return FSavePatch; }
    /// The unit of a row; nullptr for none or a unit no longer scanned.
    ut::TUnit* UnitOf(const QTreeWidgetItem* item) const;

  signals:
    /// A unit was chosen; `sourceTag` is the tree direction the window comes from (the
    /// used-by direction, so that the window shows what the unit uses and its verdicts).
    void unitActivated(ut::TUnit* unit, int sourceTag);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Activate(QTreeWidgetItem* item);
    void ApplyShowKept();

    const ut::ProjectScan& FScan;
    ScanHygiene& FHygiene;
    Prompts& FPrompts;
    QLabel* FSummary;
    QCheckBox* FShowKept;
    QPushButton* FSavePatch;
    QTreeWidget* FList;
    bool FBuilt = false;
};

} // namespace ut::gui
