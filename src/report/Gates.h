#pragma once
// The --fail-on gates: one line per offender of each condition asked for.
#include "analysis/DependencyAnalysis.h"
#include "scan/ProjectScan.h"

#include <cstdio>
#include <string>
#include <vector>

namespace ut::report {

/// Writes one line per offender of the named conditions to `err`; true when there was one.
bool ReportGates(const std::vector<std::string>& failOn, const ProjectScan& scan,
                 const DependencyAnalysis& analysis, const std::vector<LogLine>& log,
                 std::FILE* err);

} // namespace ut::report
