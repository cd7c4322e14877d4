#pragma once
// The uses / used-by tree as indented text, built from the same rules as the window's trees.
#include "trees/TreeRules.h"

#include <string>

namespace ut::report {

/// Every node down to `depth` levels below the roots; repeat nodes and names without a
/// parsed unit are marked and never descended into.
std::string FormatTree(const ProjectScan& scan, const TreeFilters& filters, int direction,
                       int depth);

} // namespace ut::report
