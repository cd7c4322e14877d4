#pragma once
// The scan's result as a JSON document.
#include "analysis/DependencyAnalysis.h"
#include "cli/CliFrontEnd.h"
#include "cli/JsonStream.h"
#include "scan/ProjectScan.h"

#include <string>

namespace ut::cli {

/// `s` as UTF-8: valid UTF-8 stays, other bytes are read as Windows-1252 (the sources'
/// code page), so every text of the document is valid.
std::string ToUtf8(const std::string& s);

struct ScanSummary {
    std::string Project;
    bool Completed = false;
    std::vector<std::string> Directories; ///< listed search directories, in order
    /// Adds "cycles", "exclusiveSize" per unit (or a note that sizes are absent).
    const DependencyAnalysis* Analysis = nullptr;
    int WhyUnit = -1; ///< a node of Analysis: adds "why"
};

/// Writes the document to `sink` in pieces as it goes.
void WriteScanResultJson(const ProjectScan& scan, const ScanSummary& summary,
                         const std::vector<LogEntry>& log, const JsonStream::Sink& sink);
/// The whole document in one string.
std::string ScanResultJson(const ProjectScan& scan, const ScanSummary& summary,
                           const std::vector<LogEntry>& log);

} // namespace ut::cli
