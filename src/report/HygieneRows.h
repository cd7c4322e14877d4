#pragma once
// The uses hygiene as the window lists it: a row per judged uses entry, and the text that
// explains one verdict with its evidence.
#include "scan/ProjectScan.h"
#include "symbols/Hygiene.h"

#include <string>
#include <vector>

namespace ut::report {

struct THygieneRow {
    std::string Unit;     ///< the key of the unit whose entry it is
    std::string Entry;    ///< the name as the uses clause writes it
    std::string Section;  ///< "interface", "implementation", "program", "library"
    std::string Verdict;  ///< "keep", "move", "remove", "unknown"
    std::string Reasons;  ///< the keep reasons, ", " between them; why a verdict is unknown
    std::string Evidence; ///< "IDENT (FILE:LINE)", "; " between them
    std::string File;     ///< the entry's file, below the project's directory when in it
    int Line = 0;
    bool operator==(const THygieneRow&) const = default;
};

/// A row for every entry with a verdict of the judged units, the units in key order, their
/// entries in order.
std::vector<THygieneRow> HygieneRows(const ProjectScan& scan, const THygiene& hygiene);

/// The verdict on entry `k` of `unit` and why, as a tooltip tells it: "remove: nothing of
/// the unit is referenced", "move to the implementation: used there only", "keep: used,
/// form" or "unknown: NOTE", then a line "IDENT at FILE:LINE" per piece of evidence.
std::string EntryVerdictText(const TUnitHygiene& unit, size_t k, const std::string& projectDir);

/// The summary line of HygieneText ("Uses hygiene: 2 entries can go, ..."), without its
/// line end.
std::string HygieneSummary(const ProjectScan& scan, const THygiene& hygiene);

/// `file` below `projectDir` when it lies in it; as it is otherwise.
std::string ShownPath(const std::string& file, const std::string& projectDir);

} // namespace ut::report
