#include "gui/ScanRules.h"

#include "gui/QtText.h"
#include "gui/ScanAnalysis.h"
#include "report/RulesReport.h"
#include "scan/ProjectScan.h"

namespace ut::gui {

ScanRules::ScanRules(const ProjectScan& scan, ScanAnalysis& analysis, QObject* parent)
    : QObject(parent), FScan(scan), FAnalysis(analysis) {
    connect(&FAnalysis, &ScanAnalysis::changed, this, &ScanRules::Invalidate);
}

ScanRules::~ScanRules() = default;

void ScanRules::SetFiles(const QString& rulesFile, const QString& baselineFile) {
    if (rulesFile == FRulesFile && baselineFile == FBaselineFile)
        return;
    FRulesFile = rulesFile;
    FBaselineFile = baselineFile;
    Drop();
    emit changed();
}

void ScanRules::Invalidate() {
    if (Drop())
        emit changed();
}

bool ScanRules::Drop() {
    const bool had = FChecked;
    FEdges.reset();
    FOutcome.reset();
    FError.clear();
    FChecked = false;
    return had;
}

const rules::RulesOutcome* ScanRules::Get() {
    if (FChecked)
        return FOutcome ? &*FOutcome : nullptr;
    const DependencyAnalysis* analysis = FAnalysis.Get();
    if (FRulesFile.trimmed().isEmpty() || !analysis)
        return nullptr;
    FChecked = true;
    try {
        FOutcome = rules::CheckScanFiles(FromQt(FRulesFile.trimmed()),
                                         FromQt(FBaselineFile.trimmed()), *analysis, FScan);
        FEdges = std::make_unique<rules::EdgeViolations>(FOutcome->Violations);
    } catch (const std::exception& e) {
        FError = ToQt(e.what());
        return nullptr;
    }
    return &*FOutcome;
}

std::string ScanRules::NameOf(const TUnit* unit, const std::string& name) {
    const DependencyAnalysis* analysis = unit ? FAnalysis.Get() : nullptr;
    const int node = analysis ? analysis->Graph().NodeOf(unit) : -1;
    return node >= 0 ? analysis->Graph().Node(node).Key : name;
}

QString ScanRules::EntryNote(const TUnit* from, const std::string& fromName, const TUnit* to,
                             const std::string& toName) {
    const rules::RulesOutcome* outcome = Get();
    if (!outcome || outcome->Violations.empty())
        return QString();
    const auto& found = FEdges->Of(NameOf(from, fromName), NameOf(to, toName));
    return found.empty() ? QString() : ToQt(report::EdgeNote(found, outcome->HasBaseline));
}

} // namespace ut::gui
