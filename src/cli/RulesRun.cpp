#include "cli/RulesRun.h"

#include "platform/FileSystem.h"
#include "report/RulesReport.h"
#include "report/SarifWriter.h"
#include "support/Exceptions.h"

#include <algorithm>

namespace ut::cli {

using namespace rules;

namespace {

bool Asked(const std::vector<std::string>& failOn, const std::string& name) {
    return std::find(failOn.begin(), failOn.end(), name) != failOn.end();
}

} // namespace

RulesRun::RulesRun(const CliOptions& options) : FOptions(options) {
    FAudit = options.Audit;
    for (const char* name : AuditNames)
        FAudit = FAudit || Asked(options.FailOn, name);
}

bool RulesRun::Load(std::FILE* err) {
    if (!FOptions.Rules)
        return true;
    try {
        FRules = LoadRules(*FOptions.Rules);
        if (FOptions.Baseline) {
            FBaselineFile = fs::ExpandFileName(*FOptions.Baseline);
            if (FOptions.UpdateBaseline && !fs::FileExists(FBaselineFile))
                FBaseline.emplace(); // written from nothing
            else
                FBaseline = Baseline::Load(*FOptions.Baseline);
        }
    } catch (const ERulesError& e) {
        std::fprintf(err, "unitrace-cli: %s\n", e.what());
        return false;
    }
    return true;
}

void RulesRun::Check(const ProjectScan& scan, const DependencyAnalysis& analysis, std::FILE* err) {
    if (FOptions.Rules) {
        FOutcome = CheckScan(FRules, analysis, scan, FBaseline ? &*FBaseline : nullptr);
        for (const std::string& warning : report::RulesWarnings(*FOutcome))
            std::fprintf(err, "warning: %s\n", warning.c_str());
    }
    if (FAudit)
        FAuditReport = AuditScan(scan);
}

void RulesRun::AddSections(report::ScanSummary& summary) const {
    if (FOutcome) {
        summary.Sections.emplace_back("violations", report::ViolationsJson(*FOutcome));
        summary.Sections.emplace_back(
            "rules", report::RulesJson(*FOutcome, *FOptions.Rules, FOptions.Baseline.value_or("")));
    }
    if (FAuditReport)
        summary.Sections.emplace_back("audit", report::AuditJson(*FAuditReport));
}

std::string RulesRun::Text() const {
    std::string s;
    if (FOutcome)
        s += "\nRules of " + *FOptions.Rules + ":\n" + report::RulesText(*FOutcome);
    if (FAuditReport && FOptions.Audit)
        s += "\n" + report::AuditText(*FAuditReport);
    return s;
}

std::string RulesRun::Sarif(bool completed) const {
    static const RulesOutcome none;
    return report::SarifDocument(FRules, FOutcome ? *FOutcome : none, completed);
}

int RulesRun::Finish(std::FILE* err) const {
    bool failed = false;
    if (FOutcome && FOptions.UpdateBaseline) {
        try {
            WriteBaseline(FBaselineFile, FOutcome->Violations);
        } catch (const std::exception& e) {
            std::fprintf(err, "unitrace-cli: %s\n", e.what());
            return 1;
        }
    } else if (FOutcome) {
        for (const Violation& v : FOutcome->Violations)
            if (!v.Known && v.Level == Severity::Error) {
                std::fputs(report::ViolationText(v).c_str(), err);
                failed = true;
            }
        if (Asked(FOptions.FailOn, "stale-baseline"))
            for (const std::string& entry : FOutcome->Fixed) {
                std::fprintf(err, "stale-baseline: %s\n", entry.c_str());
                failed = true;
            }
    }
    if (FAuditReport)
        for (const auto& [name, text] : report::AuditLines(*FAuditReport))
            if (Asked(FOptions.FailOn, name)) {
                std::fprintf(err, "%s: %s\n", name.c_str(), text.c_str());
                failed = true;
            }
    return failed ? 3 : 0;
}

} // namespace ut::cli
