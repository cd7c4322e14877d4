#pragma once
// A squarified treemap of the exclusive sizes: each unit's rectangle holds the units it
// dominates (those only it brings into the program), each area in proportion to its bytes.
#include "analysis/UnitGraph.h"

#include <cstdint>
#include <string>
#include <vector>

namespace ut::report {

struct TreemapRect {
    int Node = -1;
    int Depth = 0; ///< 0 for the children of the project
    double X = 0, Y = 0, Width = 0, Height = 0;
    std::int64_t Bytes = 0; ///< the exclusive size
};

struct TreemapOptions {
    double Width = 960, Height = 540;
    int MaxDepth = 3;        ///< levels of the dominator tree drawn below the project
    double MinSide = 3;      ///< smaller rectangles are left out, with what they would hold
    double Header = 14;      ///< room kept at the top of a parent for its name
    double Padding = 2;      ///< room kept around a parent's children
    size_t MaxRects = 12000; ///< the largest are kept when there would be more
};

/// The rectangles of the dominator tree below `root` (`idom` from ImmediateDominators,
/// `exclusive` from ExclusiveSizes): parents before their children, the children of one
/// parent largest first. Units of no bytes are left out.
std::vector<TreemapRect> ExclusiveSizeTreemap(const UnitGraph& graph, int root,
                                              const std::vector<int>& idom,
                                              const std::vector<std::int64_t>& exclusive,
                                              const TreemapOptions& options = {});

} // namespace ut::report
