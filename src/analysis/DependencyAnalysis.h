#pragma once
// The analysis of one finished scan, computed once for the views and the command line:
// its uses graph, cycles, exclusive sizes and levels; recompile reach and why-paths on request.
// It refers to the scan's records, so it is built again whenever the registry changes (a scan, a
// pruning command).
#include "analysis/Cycles.h"
#include "analysis/UnitGraph.h"
#include "analysis/WhyPath.h"

#include <cstdint>
#include <mutex>
#include <optional>
#include <vector>

namespace ut {

class DependencyAnalysis {
  public:
    explicit DependencyAnalysis(UnitGraph graph);
    /// The graph of the scan's registry as it stands.
    explicit DependencyAnalysis(const ProjectScan& scan);

    const UnitGraph& Graph() const { return FGraph; }
    const CycleReport& Cycles() const { return FCycles; }
    /// Per node: its level (see UnitLevels).
    const std::vector<int>& Levels() const { return FLevels; }
    /// Per node: the other units recompiled when its interface changes (see RecompileReach);
    /// counted at the first call.
    const std::vector<int>& Recompile() const;

    /// The unit's level and recompile reach; none for a unit not in the graph.
    std::optional<int> LevelOf(const TUnit* unit) const;
    std::optional<int> RecompileOf(const TUnit* unit) const;

    /// The cycle (an index into Cycles().Cycles) that holds the unit, or -1.
    int CycleOf(const TUnit* unit) const;
    /// The bytes that leave the program with the unit; none when the map file gave no sizes
    /// or the project does not reach the unit.
    std::optional<std::int64_t> ExclusiveSize(int node) const;
    std::optional<std::int64_t> ExclusiveSize(const TUnit* unit) const;
    /// The shortest paths from the project to the node (see FindWhyPaths). The steps point
    /// into this object's graph.
    WhyPaths Why(int node, int limit = 10) const { return FindWhyPaths(FGraph, node, limit); }
    WhyPaths Why(const TUnit* unit, int limit = 10) const {
        return Why(FGraph.NodeOf(unit), limit);
    }

  private:
    UnitGraph FGraph;
    CycleReport FCycles;
    std::vector<int> FLevels;
    mutable std::once_flag FRecompileOnce;
    mutable std::vector<int> FRecompile;
    std::vector<std::optional<std::int64_t>> FExclusive;
};

} // namespace ut
