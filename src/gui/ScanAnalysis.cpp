#include "gui/ScanAnalysis.h"

#include "gui/QtText.h"
#include "scan/ProjectScan.h"

#include <QTimer>

namespace ut::gui {

ScanAnalysis::ScanAnalysis(const ProjectScan& scan, QObject* parent)
    : QObject(parent), FScan(scan) {}

ScanAnalysis::~ScanAnalysis() = default;

const DependencyAnalysis* ScanAnalysis::Get() {
    if (!FScan.FProject || FScan.Busy())
        return nullptr;
    if (!FAnalysis)
        FAnalysis = std::make_unique<DependencyAnalysis>(FScan);
    return FAnalysis.get();
}

void ScanAnalysis::Invalidate() {
    if (FAnalysis)
        emit dropping();
    FAnalysis.reset();
    if (FNotifyPending)
        return;
    FNotifyPending = true;
    QTimer::singleShot(0, this, [this] {
        FNotifyPending = false;
        emit changed();
    });
}

int ScanAnalysis::CycleOf(const TUnit* unit) {
    const DependencyAnalysis* analysis = unit ? Get() : nullptr;
    return analysis ? analysis->CycleOf(unit) : -1;
}

bool ScanAnalysis::InInterfaceCycle(const TUnit* unit) {
    const int cycle = CycleOf(unit);
    return cycle >= 0 && FAnalysis->Cycles().Cycles[static_cast<size_t>(cycle)].Interface;
}

QString ScanAnalysis::CycleNote(const TUnit* unit) {
    const int cycle = CycleOf(unit);
    if (cycle < 0)
        return QString();
    return CycleDescription(*FAnalysis, FAnalysis->Cycles().Cycles[static_cast<size_t>(cycle)]);
}

QString CycleUnitNames(const DependencyAnalysis& analysis, const UnitCycle& cycle, int limit) {
    QStringList names;
    for (const int v : cycle.Units) {
        if (names.size() == limit) {
            names << QStringLiteral("...");
            break;
        }
        names << ToQt(analysis.Graph().Node(v).Key);
    }
    return names.join(QStringLiteral(", "));
}

QString CycleDescription(const DependencyAnalysis& analysis, const UnitCycle& cycle) {
    const QString units = cycle.Units.size() == 1 ? QObject::tr("1 unit")
                                                  : QObject::tr("%1 units").arg(cycle.Units.size());
    const QString names = CycleUnitNames(analysis, cycle);
    if (cycle.Interface)
        return QObject::tr("In a circular unit reference of %1, which the compiler rejects: %2")
            .arg(units, names);
    return QObject::tr("In a cycle of %1: %2").arg(units, names);
}

} // namespace ut::gui
