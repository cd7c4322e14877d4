#pragma once
// The untangling as text: each cycle with its units and the entries to cut, and the units
// whose interface changes recompile the most.
#include "analysis/CycleCuts.h"
#include "analysis/DependencyAnalysis.h"

#include <string>

namespace ut::report {

/// The parts of a cut entry as the window lists them.
struct CutFields {
    std::string Entry;       ///< "A -> B"
    std::string Section;     ///< "interface" or "implementation"
    std::string Site;        ///< "/src/A.pas:12" (no line when the entry has none)
    std::string References;  ///< "2 references"
    std::string Identifiers; ///< "TFoo, Bar"; empty when none are known
    /// For an entry to move: "movable" or "needs code changes"; empty when not judged.
    std::string Verdict;
};
CutFields CutEntryFields(const UnitGraph& graph, const CutEntry& cut);

/// Whether a cycle's cuts are the cheapest there are: "the cheapest cut" or "the cheapest
/// found, not proven: components of more than 20 entries are not searched exactly".
std::string CutsExactness(bool exact);

/// "Cycle 1 (circular unit reference): A, B" and a line per entry to cut:
/// "  cut A -> B (implementation, /src/A.pas:12): 2 references (TFoo, Bar)"; for an interface
/// cycle also the entries to move to the implementation. "No cycles" when there are none.
std::string CutsText(const DependencyAnalysis& analysis, const EntryCosts& costs);

/// "Recompile reach (the 2 largest):" and per unit "  12  A  (cycle 1)", the largest first.
std::string TopRecompileText(const DependencyAnalysis& analysis, int count);

} // namespace ut::report
