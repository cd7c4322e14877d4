#pragma once
// The untangling as text: each cycle with its units and the entries to cut, and the units
// whose interface changes recompile the most.
#include "analysis/CycleCuts.h"
#include "analysis/DependencyAnalysis.h"

#include <string>

namespace ut::report {

/// "Cycle 1 (circular unit reference): A, B" and a line per entry to cut:
/// "  cut A -> B (implementation, /src/A.pas:12): 2 references (TFoo, Bar)"; for an interface
/// cycle also the entries to move to the implementation. "No cycles" when there are none.
std::string CutsText(const DependencyAnalysis& analysis, const EntryCosts& costs);

/// "Recompile reach (the 2 largest):" and per unit "  12  A  (cycle 1)", the largest first.
std::string TopRecompileText(const DependencyAnalysis& analysis, int count);

} // namespace ut::report
