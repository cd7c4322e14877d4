#pragma once
// The "Matrix" page: the dependency structure matrix of the last scan, its units in level
// order or grouped (by folder, unit scope or package, chosen above it), with the uses
// entries behind a clicked cell listed below it. A click on a unit's row header selects the
// unit, a double-click on a header opens its detail window.
#include "analysis/DependencyMatrix.h"
#include "gui/ResultPage.h"

#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QComboBox;
class QLabel;
class QListWidget;

namespace ut {
class ProjectScan;
class TUnit;
} // namespace ut

namespace ut::gui {

class MatrixView;
class ScanAnalysis;

class MatrixPage : public QWidget, public ResultPage {
    Q_OBJECT
  public:
    /// `scan` and `analysis` must outlive the page.
    MatrixPage(const ut::ProjectScan& scan, ScanAnalysis& analysis, QWidget* parent = nullptr);
    ~MatrixPage() override;

    /// Builds the matrix when there is none and an analysis is at hand; false otherwise.
    bool Build();
    void ShowResult() override { Build(); }
    void ClearResult() override;

    /// The identifiers `from` references of `to` (the uses hygiene's); unset or empty when
    /// not known.
    std::function<std::vector<std::string>(const ut::TUnit* from, const ut::TUnit* to)> Identifiers;

    /// The matrix shown; nullptr before a scan.
    ut::DependencyMatrix* Matrix() const { return FMatrix.get(); }
    MatrixView* View() const { return FView; }
    QComboBox* GroupCombo() const { return FGroupBy; }
    /// The uses entries behind the last clicked cell.
    QListWidget* EntryList() const { return FEntries; }

  signals:
    /// A unit's header was double-clicked; `sourceTag` as the trees send it (the used-by
    /// direction, so the window shows what the unit uses).
    void unitActivated(ut::TUnit* unit, int sourceTag);
    /// A unit's row header was clicked.
    void unitSelected(const QString& key);

  private:
    void Regroup();
    void ShowEntries(int row, int column);
    void ToggleGroup(int line);
    QString LineName(int line) const;

    const ut::ProjectScan& FScan;
    ScanAnalysis& FAnalysis;
    std::unique_ptr<ut::DependencyMatrix> FMatrix;
    /// The packages around the scan, found once per result when asked for.
    std::optional<std::vector<ut::PackageContents>> FPackages;
    QComboBox* FGroupBy;
    MatrixView* FView;
    QLabel* FCaption;
    QListWidget* FEntries;
};

} // namespace ut::gui
