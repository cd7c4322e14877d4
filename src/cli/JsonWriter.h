#pragma once
// The scan's result as a JSON document.
#include "cli/CliFrontEnd.h"
#include "scan/ProjectScan.h"

#include <string>

namespace ut::cli {

/// A JSON string literal of `s`; bytes that are not valid UTF-8 are read as Windows-1252.
std::string JsonString(const std::string& s);

struct ScanSummary {
    std::string Project;
    bool Completed = false;
    std::vector<std::string> Directories; ///< listed search directories, in order
};

std::string ScanResultJson(const ProjectScan& scan, const ScanSummary& summary,
                           const std::vector<LogEntry>& log);

} // namespace ut::cli
