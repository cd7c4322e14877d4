#pragma once
// The dependency analysis on the command line: --why as text and JSON, and the --fail-on
// gates.
#include "analysis/DependencyAnalysis.h"
#include "cli/CliFrontEnd.h"
#include "scan/ProjectScan.h"

#include <nlohmann/json.hpp>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace ut::cli {

/// The node named by `option`'s value (without regard to case): -1 when the option is not
/// given; false, with a message on `err`, when no parsed unit has that name.
bool FindNamedUnit(const DependencyAnalysis& analysis, const char* option,
                   const std::optional<std::string>& name, int& node, std::FILE* err);

/// "Why C (2 shortest paths):" and the steps of each path, paths apart by a blank line.
std::string WhyText(const DependencyAnalysis& analysis, int node);

/// {"unit", "paths": [[{"from", "to", "interface", "file", "line"}]], "truncated"}
nlohmann::ordered_json WhyJson(const DependencyAnalysis& analysis, int node);

/// Writes one line per offender of the named conditions to `err`; true when there was one.
bool ReportGates(const std::vector<std::string>& failOn, const ProjectScan& scan,
                 const DependencyAnalysis& analysis, const std::vector<LogEntry>& log,
                 std::FILE* err);

} // namespace ut::cli
