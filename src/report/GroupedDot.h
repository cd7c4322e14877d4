#pragma once
// The uses graph drawn by groups of units as a Graphviz DOT document.
#include "analysis/DependencyMatrix.h"

#include <functional>
#include <string>

namespace ut::report {

/// One node per group of `matrix` (its groups collapsed: label the group's name, its number
/// of units and, when the map gave sizes, their bytes), one edge per pair of groups with the
/// number of uses entries between them as its label: dashed when they are all
/// implementation entries, red between the groups of one cycle. `text` turns a name into
/// the document's text (UTF-8); none keeps the bytes.
std::string ExportGroupedDot(DependencyMatrix& matrix,
                             const std::function<std::string(const std::string&)>& text = {});

} // namespace ut::report
