#pragma once
// Why the project uses a unit: its shortest paths from the project, as text and as JSON.
#include "analysis/DependencyAnalysis.h"

#include <nlohmann/json.hpp>

#include <string>

namespace ut::report {

/// "Why C (2 shortest paths):" and the steps of each path, paths apart by a blank line.
std::string WhyText(const DependencyAnalysis& analysis, int node);

/// {"unit", "paths": [[{"from", "to", "interface", "file", "line"}]], "truncated"}
nlohmann::ordered_json WhyJson(const DependencyAnalysis& analysis, int node);

} // namespace ut::report
