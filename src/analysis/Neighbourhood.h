#pragma once
// The neighbourhood of one unit: what it uses and what uses it, one or more steps out in
// each direction, with the uses entries among them. What the window draws as a graph.
#include "analysis/Cycles.h"
#include "analysis/UnitGraph.h"

#include <vector>

namespace ut {

struct NeighbourEdge {
    int From = -1;
    int To = -1;
    bool Interface = false;
    bool OnCycle = false;
};

struct Neighbourhood {
    int Centre = -1;
    /// The centre first, then by distance, within a distance in key order.
    std::vector<int> Nodes;
    /// Per entry of Nodes: its distance from the centre (up or down).
    std::vector<int> Distance;
    /// Every uses entry between two of the nodes, by using node, then in source order.
    std::vector<NeighbourEdge> Edges;
    /// Units within reach that were left out to keep the picture readable.
    int LeftOut = 0;
};

/// The units at most `steps` uses entries below `centre` or above it, at most `limit` of
/// them (the nearest kept first).
Neighbourhood FindNeighbourhood(const UnitGraph& graph, const CycleReport& cycles, int centre,
                                int steps, int limit = 150);

} // namespace ut
