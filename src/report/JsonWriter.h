#pragma once
// The scan's result as a JSON document.
#include "analysis/DependencyAnalysis.h"
#include "report/JsonStream.h"
#include "scan/ProjectScan.h"

#include <string>

namespace ut::report {

struct ScanSummary {
    std::string Project;
    bool Completed = false;
    std::vector<std::string> Directories; ///< listed search directories, in order
    /// Adds "cycles", "exclusiveSize" per unit (or a note that sizes are absent).
    const DependencyAnalysis* Analysis = nullptr;
    int WhyUnit = -1;    ///< a node of Analysis: adds "why"
    std::string WhyName; ///< a name not found (when WhyUnit is -1): adds "why" for it
};

/// Writes the document to `sink` in pieces as it goes.
void WriteScanResultJson(const ProjectScan& scan, const ScanSummary& summary,
                         const std::vector<LogLine>& log, const JsonStream::Sink& sink);
/// The whole document in one string.
std::string ScanResultJson(const ProjectScan& scan, const ScanSummary& summary,
                           const std::vector<LogLine>& log);

} // namespace ut::report
