#include "gui/ScanHygiene.h"

#include "gui/QtText.h"
#include "report/HygieneRows.h"
#include "support/Exceptions.h"

#include <QProgressDialog>

namespace ut::gui {

ScanHygiene::ScanHygiene(const ProjectScan& scan, QWidget* owner)
    : QObject(owner), FScan(scan), FOwner(owner) {}

void ScanHygiene::Clear() {
    FCompleted = false;
    FCancelled = false;
    if (!FHygiene)
        return;
    FHygiene.reset();
    emit changed();
}

bool ScanHygiene::Judge() {
    if (FHygiene)
        return true;
    if (FRunning || !FCompleted || !FScan.FProject || FScan.Busy())
        return false;
    FRunning = true;
    FCancelled = false;
    QProgressDialog progress(tr("Judging the uses entries..."), tr("Cancel"), 0, 0, FOwner);
    progress.setWindowModality(Qt::ApplicationModal);
    progress.setMinimumDuration(300);
    THygieneOptions options;
    options.Jobs = FScan.Jobs;
    options.IncludeDirs = FScan.IncludeDirs();
    options.Progress = [&progress](int done, int total) {
        progress.setMaximum(total);
        progress.setValue(done);
        return progress.wasCanceled();
    };
    try {
        FHygiene = THygiene::Judge(FScan, options);
    } catch (const EAbort&) {
        FCancelled = true;
    } catch (const std::exception& e) {
        if (Failed)
            Failed(e);
    }
    FRunning = false;
    if (FHygiene)
        emit changed();
    return FHygiene.has_value();
}

const TUnitHygiene* ScanHygiene::Of(const TUnit* unit) const {
    return FHygiene && unit ? FHygiene->Of(unit) : nullptr;
}

QString ScanHygiene::Missing() const {
    if (FHygiene)
        return QString();
    if (FCancelled)
        return tr("Judging the uses entries was cancelled: open the page again to judge them.");
    if (!FCompleted)
        return tr("The uses entries are judged after a scan that ran to its end.");
    return tr("The uses entries could not be judged.");
}

QString ScanHygiene::EntryText(const TUnit* user, int k) const {
    const TUnitHygiene* h = Of(user);
    if (!h || k < 0 || static_cast<size_t>(k) >= h->Entries.size())
        return QString();
    return ToQt(report::EntryVerdictText(*h, static_cast<size_t>(k), FHygiene->ProjectDir()));
}

} // namespace ut::gui
