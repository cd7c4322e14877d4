#pragma once
// The rules file and baseline chosen on the Setup page, checked against the window's scan:
// the verdict shared by the "Rules" page and the trees that mark violating uses entries.
// It is checked when a view first asks after a scan, and dropped whenever the analysis is.
#include "rules/EdgeViolations.h"
#include "rules/RuleCheck.h"

#include <QObject>
#include <QString>

#include <memory>
#include <optional>
#include <string>

namespace ut {
class ProjectScan;
class TUnit;
} // namespace ut

namespace ut::gui {

class ScanAnalysis;

class ScanRules : public QObject {
    Q_OBJECT
  public:
    /// `scan` and `analysis` must outlive the object.
    ScanRules(const ut::ProjectScan& scan, ScanAnalysis& analysis, QObject* parent = nullptr);
    ~ScanRules() override;

    /// Takes other files (empty: none), drops the verdict and tells the views.
    void SetFiles(const QString& rulesFile, const QString& baselineFile);
    const QString& RulesFile() const { return FRulesFile; }
    const QString& BaselineFile() const { return FBaselineFile; }

    /// The verdict on the scan as it stands; nullptr without a rules file or a finished scan,
    /// or when a file could not be read (Error says why).
    const ut::rules::RulesOutcome* Get();
    /// Why the last check failed; empty when it did not.
    const QString& Error() const { return FError; }
    /// Drops the verdict; the next Get checks again.
    void Invalidate();

    /// The note of the uses entry of `from` (a unit, or a bare `fromName`) naming `to`:
    /// the rules it breaks (EdgeNote); empty when it breaks none.
    QString EntryNote(const ut::TUnit* from, const std::string& fromName, const ut::TUnit* to,
                      const std::string& toName);

  signals:
    /// The verdict was dropped: what the views show of it may be out of date.
    void changed();

  private:
    /// Forgets the verdict; true when there was one.
    bool Drop();
    std::string NameOf(const ut::TUnit* unit, const std::string& name);

    const ut::ProjectScan& FScan;
    ScanAnalysis& FAnalysis;
    QString FRulesFile, FBaselineFile;
    std::optional<ut::rules::RulesOutcome> FOutcome;
    std::unique_ptr<ut::rules::EdgeViolations> FEdges;
    QString FError;
    bool FChecked = false;
};

} // namespace ut::gui
