#pragma once
// Why the project uses a unit: its shortest paths from the project, as text and as JSON.
#include "analysis/DependencyAnalysis.h"

#include <nlohmann/json.hpp>

#include <functional>
#include <string>

namespace ut::report {

/// "Why C (2 shortest paths):" and the steps of each path, paths apart by a blank line.
std::string WhyText(const DependencyAnalysis& analysis, int node);

/// {"unit", "paths": [[{"from", "to", "interface", "file", "line"}]], "truncated"}
nlohmann::ordered_json WhyJson(const DependencyAnalysis& analysis, int node);

/// For a name that no file answered to: "Why X (not found; 1 shortest path):", the paths to
/// the nearest units that name it, each closed by their entry "A -> X".
std::string WhyNameText(const DependencyAnalysis& analysis, const std::string& name);
/// The same as WhyJson's document, with "notFound": true.
nlohmann::ordered_json WhyNameJson(const DependencyAnalysis& analysis, const std::string& name);

} // namespace ut::report
