#pragma once
// What the uses-hygiene analysis says each uses entry costs to cut.
#include "analysis/EntryCosts.h"

namespace ut {

class ProjectScan;
class THygiene;
class UnitGraph;

/// The costs of the entries the hygiene judged: their references into the unit they name
/// (an entry kept for what its unit does without being named, start-up code, a helper, a
/// form, costs at least one), the names those use, and whether an interface entry moves to
/// the implementation as it is (its verdict is move or remove).
EntryCosts CostsOfHygiene(const ProjectScan& scan, const UnitGraph& graph, const THygiene& hygiene);

} // namespace ut
