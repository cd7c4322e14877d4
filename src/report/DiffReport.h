#pragma once
// What changed between two results, as text, as JSON and as gate lines.
#include "analysis/ResultDiff.h"

#include <cstdio>
#include <string>
#include <vector>

namespace ut::report {

/// The diff as text: one section per kind of change, "No differences" when there is none.
std::string DiffText(const ResultDiff& diff);
/// The diff as a JSON document.
std::string DiffJson(const ResultDiff& diff);
/// Writes one line per offender of the named conditions (new-cycles, new-units) to `err`;
/// true when there was one.
bool ReportDiffGates(const std::vector<std::string>& failOn, const ResultDiff& diff,
                     std::FILE* err);

} // namespace ut::report
