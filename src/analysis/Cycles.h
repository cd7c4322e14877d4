#pragma once
// Cycles of the uses graph: its strongly connected components that hold a cycle, and which
// of them the compiler rejects because interface entries alone close a cycle.
#include "analysis/UnitGraph.h"

#include <vector>

namespace ut {

struct CycleEdge {
    int From = -1;
    int To = -1;
    bool Interface = false;
};

/// A component of two or more units, or one unit that uses itself.
struct UnitCycle {
    std::vector<int> Units; ///< ascending, which is key order
    /// Interface entries alone close a cycle among the units: a circular unit reference.
    bool Interface = false;
    /// Every edge between two of the units, by using unit in key order, then source order.
    std::vector<CycleEdge> Edges;
};

struct CycleReport {
    /// In order of their first unit.
    std::vector<UnitCycle> Cycles;
    /// Per node: the index of its cycle in Cycles, or -1.
    std::vector<int> CycleOf;
    /// Per node: a number shared by the units of one cycle of interface entries, or -1.
    std::vector<int> InterfaceCycleOf;

    /// Whether `edge` of node `from` lies on a cycle.
    bool OnCycle(int from, const UseEdge& edge) const;
    /// Whether `edge` of node `from` is an interface entry that closes a circular reference.
    bool OnInterfaceCycle(int from, const UseEdge& edge) const;
};

/// Strongly connected components of `edges`: a component number per node, numbered in the
/// order the components are completed. Iterative Tarjan, linear in nodes and edges.
std::vector<int> StrongComponents(const Adjacency& edges);

CycleReport FindCycles(const UnitGraph& graph);

} // namespace ut
