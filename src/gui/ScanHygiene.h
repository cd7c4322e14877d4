#pragma once
// The uses hygiene of the window's scan, shared by the trees, the detail windows and the
// "Hygiene" page. Judging reads every source again, so it is done only when asked for:
// after a scan when the Setup page says so, or when a view first needs it. It runs under a
// modal progress dialog, which can cancel it and keeps the records from changing meanwhile.
#include "symbols/Hygiene.h"

#include <QObject>
#include <QString>

#include <functional>
#include <optional>

class QWidget;

namespace ut::gui {

class ScanHygiene : public QObject {
    Q_OBJECT
  public:
    /// `scan` must outlive the object; the progress dialog is parented to `owner`.
    ScanHygiene(const ut::ProjectScan& scan, QWidget* owner);

    /// A scan ended; only a completed one can be judged.
    void ScanFinished(bool completed) { FCompleted = completed; }
    /// Forgets the verdicts: a new scan is coming.
    void Clear();

    /// Judges the last completed scan's entries unless that is done; false when there is no
    /// such scan, the user cancelled or judging failed (told to `Failed`).
    bool Judge();
    /// The verdicts; nullptr before Judge succeeded.
    const ut::THygiene* Get() const { return FHygiene ? &*FHygiene : nullptr; }
    /// The verdicts on the entries of `unit`; nullptr when it was not judged.
    const ut::TUnitHygiene* Of(const ut::TUnit* unit) const;
    /// Why there are no verdicts, for a page that has none to show.
    QString Missing() const;
    /// The tooltip of entry `k` of `user`: its verdict and evidence; empty when it has none.
    QString EntryText(const ut::TUnit* user, int k) const;

    /// Receives a failure of judging (the window logs it).
    std::function<void(const std::exception&)> Failed;

  signals:
    /// The verdicts came or went.
    void changed();

  private:
    const ut::ProjectScan& FScan;
    QWidget* FOwner;
    std::optional<ut::THygiene> FHygiene;
    bool FCompleted = false;
    bool FCancelled = false;
    bool FRunning = false;
};

} // namespace ut::gui
