#pragma once
// The uses hygiene as text (after the log), as the --fail-on gates report it, and as the
// fields of the JSON document's uses entries.
#include "report/JsonStream.h"
#include "scan/ProjectScan.h"
#include "symbols/Hygiene.h"

#include <cstdio>
#include <string>
#include <vector>

namespace ut::report {

/// "FILE:LINE: remove NAME", "FILE:LINE: move NAME to the implementation (first used at
/// FILE:LINE: IDENT)" and "FILE: note: ..." for the judged units in key order, then one
/// summary line.
std::string HygieneText(const ProjectScan& scan, const THygiene& hygiene);

/// The gates `unused` and `movable` of `failOn`: one line per entry that can go
/// ("unused: FILE:LINE NAME") or move ("movable: FILE:LINE NAME") on `err`; true when
/// there was one.
bool ReportHygieneGates(const std::vector<std::string>& failOn, const ProjectScan& scan,
                        const THygiene& hygiene, std::FILE* err);

/// `,"verdict":...,"reasons":[...],"evidence":[{"identifier","file","line"}]` and, for an
/// unknown verdict, `,"note":...`: what the unit's uses entry `k` gains in the JSON document.
void WriteEntryHygiene(JsonStream& j, const TUnitHygiene& unit, size_t k);

} // namespace ut::report
