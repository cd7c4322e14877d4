#pragma once
// The JSON of untangling: each cycle's cuts and each unit's level and recompile reach.
#include "analysis/CycleCuts.h"
#include "analysis/DependencyAnalysis.h"
#include "report/JsonStream.h"

namespace ut::report {

/// `,"cuts":[..],"exact":bool` and, for an interface cycle, `,"interfaceCuts":[..]`; a cut
/// is {"from", "to", "interface", "file", "line", "references", "identifiers"}, an interface
/// cut also "movable".
void WriteCycleCuts(JsonStream& j, const UnitGraph& graph, const UnitCycle& cycle,
                    const CycleCuts& cuts);

/// `,"level":n,"recompile":n` of a node (null for a node the analysis lacks).
void WriteUnitReach(JsonStream& j, const DependencyAnalysis& analysis, int node);

} // namespace ut::report
