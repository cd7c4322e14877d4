#pragma once
// The dependency analysis of the window's scan, shared by every view that shows cycles,
// exclusive sizes or why-paths. The analysis refers to the scan's records, so it is dropped
// whenever they change (a new scan, a pruning command, another ignore list) and built again
// the next time a view asks for it.
#include "analysis/DependencyAnalysis.h"

#include <QObject>
#include <QString>

#include <memory>

namespace ut::gui {

class ScanAnalysis : public QObject {
    Q_OBJECT
  public:
    /// `scan` must outlive the object.
    explicit ScanAnalysis(const ut::ProjectScan& scan, QObject* parent = nullptr);
    ~ScanAnalysis() override;

    /// The analysis of the records as they stand; nullptr before a scan and while one runs.
    const ut::DependencyAnalysis* Get();
    /// Drops the analysis at once (before a record goes) and tells the views once the
    /// current command is over, so a command that removes many units costs one rebuild.
    void Invalidate();

    /// The cycle that holds `unit`, or -1.
    int CycleOf(const ut::TUnit* unit);
    /// The note of the unit's cycle (CycleDescription); empty for a unit outside every cycle.
    QString CycleNote(const ut::TUnit* unit);
    /// Whether the cycle that holds `unit` is closed by interface entries alone.
    bool InInterfaceCycle(const ut::TUnit* unit);

  signals:
    /// The analysis is being dropped: whatever points into it must let go now.
    void dropping();
    /// The records changed since the views last asked: what they show may be out of date.
    void changed();

  private:
    const ut::ProjectScan& FScan;
    std::unique_ptr<ut::DependencyAnalysis> FAnalysis;
    bool FNotifyPending = false;
};

/// The names of a cycle's units for a note: the first `limit`, then ", ..." when it has more.
QString CycleUnitNames(const ut::DependencyAnalysis& analysis, const ut::UnitCycle& cycle,
                       int limit = 10);

/// The text of a cycle's note: "In a cycle of 2 units: A, B", or for a cycle closed by
/// interface entries alone, "In a circular unit reference of 2 units, which the compiler
/// rejects: A, B".
QString CycleDescription(const ut::DependencyAnalysis& analysis, const ut::UnitCycle& cycle);

} // namespace ut::gui
