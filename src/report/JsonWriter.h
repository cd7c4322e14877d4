#pragma once
// The scan's result as a JSON document.
#include "analysis/DependencyAnalysis.h"
#include "analysis/EntryCosts.h"
#include "report/JsonStream.h"
#include "scan/ProjectScan.h"
#include "symbols/Hygiene.h"

#include <nlohmann/json.hpp>

#include <string>
#include <utility>
#include <vector>

namespace ut::report {

struct ScanSummary {
    std::string Project;
    bool Completed = false;
    std::vector<std::string> Directories; ///< listed search directories, in order
    /// Adds "cycles", "exclusiveSize", "level" and "recompile" per unit (or a note that sizes
    /// are absent).
    const DependencyAnalysis* Analysis = nullptr;
    /// What each uses entry costs to cut; none: one reference each.
    const EntryCosts* Costs = nullptr;
    int WhyUnit = -1;    ///< a node of Analysis: adds "why"
    std::string WhyName; ///< a name not found (when WhyUnit is -1): adds "why" for it
    /// Adds "verdict", "reasons" and "evidence" to the uses entries of the units it judged.
    const THygiene* Hygiene = nullptr;
    /// Further sections ("violations", "audit"), written before the log in this order.
    std::vector<std::pair<std::string, nlohmann::ordered_json>> Sections;
};

/// Writes the document to `sink` in pieces as it goes.
void WriteScanResultJson(const ProjectScan& scan, const ScanSummary& summary,
                         const std::vector<LogLine>& log, const JsonStream::Sink& sink);
/// The whole document in one string.
std::string ScanResultJson(const ProjectScan& scan, const ScanSummary& summary,
                           const std::vector<LogLine>& log);

} // namespace ut::report
