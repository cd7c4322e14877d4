#pragma once
// Groups of units for the views at scale: by the folder of the source, by the unit scope
// prefix of the name ("System.", "Vcl."), or by the package that contains the unit.
#include "analysis/UnitGraph.h"
#include "scan/PackageContents.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ut {

enum class GroupBy { None, Folder, Scope, Package };

/// "none", "folder", "scope", "package".
const char* GroupByName(GroupBy by);
/// The grouping of a name as GroupByName writes it (any case); none for another name.
std::optional<GroupBy> GroupByOfName(std::string_view name);

struct UnitGrouping {
    std::vector<std::string> Names; ///< one per group, in name order
    /// Per node: its group; -1 leaves the node out. Empty: no grouping, every node alone.
    std::vector<int> GroupOf;
    bool Grouped() const { return !GroupOf.empty(); }
};

/// The groups of `by` over every node of `graph`:
/// - Folder: the source's directory, relative to the project's ("." for the project's own
///   directory, "/" between the parts); a directory outside it as a full path;
/// - Scope: the key up to its first dot, with the dot ("Vcl."); "(no scope)" for a key
///   without one;
/// - Package: the first of `packages` whose units name the key; "(no package)" otherwise.
/// GroupBy::None gives no grouping.
UnitGrouping GroupUnits(const UnitGraph& graph, GroupBy by,
                        const std::vector<PackageContents>& packages = {});

} // namespace ut
