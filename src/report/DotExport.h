#pragma once
// The uses graph as a Graphviz DOT document.
#include "analysis/Cycles.h"
#include "analysis/UnitGraph.h"

#include <functional>
#include <string>

namespace ut::report {

struct DotOptions {
    /// Keep the units on some path from the project through this node, and everything
    /// below it; -1 keeps every unit.
    int Focus = -1;
    /// The greatest distance in uses entries from the project (or from the focus, up and
    /// down); -1 for no limit.
    int Depth = -1;
    /// Keep only the units of cycles.
    bool CyclesOnly = false;
    /// Turns a name into the document's text (UTF-8); the default keeps the bytes.
    std::function<std::string(const std::string&)> Text;
};

/// One node per kept unit (named by its key, labelled with its declared name and the size
/// when known), one edge per uses entry
/// between kept units: interface entries solid, implementation entries dashed, edges of a
/// cycle red, interface entries that close a circular reference bold. Every name is quoted.
std::string ExportDot(const UnitGraph& graph, const CycleReport& cycles,
                      const DotOptions& options = {});

/// The inside of a DOT string literal: quotes and backslashes escaped, control characters
/// as blanks.
std::string DotEscaped(const std::string& text);

/// The units ExportDot keeps, as a flag per node.
std::vector<bool> DotSelection(const UnitGraph& graph, const CycleReport& cycles,
                               const DotOptions& options);

} // namespace ut::report
