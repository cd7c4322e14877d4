#include "analysis/DependencyAnalysis.h"

#include "analysis/Dominators.h"
#include "analysis/Levels.h"
#include "analysis/RecompileReach.h"

namespace ut {

DependencyAnalysis::DependencyAnalysis(UnitGraph graph)
    : FGraph(std::move(graph)), FCycles(FindCycles(FGraph)), FLevels(UnitLevels(FGraph)) {
    if (FGraph.HasSizes())
        FExclusive = ExclusiveSizes(FGraph, ImmediateDominators(FGraph, FGraph.Root()));
}

DependencyAnalysis::DependencyAnalysis(const ProjectScan& scan)
    : DependencyAnalysis(BuildUnitGraph(scan)) {}

const std::vector<int>& DependencyAnalysis::Recompile() const {
    std::call_once(FRecompileOnce, [this] { FRecompile = RecompileReach(FGraph); });
    return FRecompile;
}

int DependencyAnalysis::CycleOf(const TUnit* unit) const {
    const int v = FGraph.NodeOf(unit);
    return v < 0 ? -1 : FCycles.CycleOf[v];
}

std::optional<int> DependencyAnalysis::LevelOf(const TUnit* unit) const {
    const int v = FGraph.NodeOf(unit);
    return v < 0 ? std::nullopt : std::optional<int>(FLevels[v]);
}

std::optional<int> DependencyAnalysis::RecompileOf(const TUnit* unit) const {
    const int v = FGraph.NodeOf(unit);
    return v < 0 ? std::nullopt : std::optional<int>(Recompile()[v]);
}

std::optional<std::int64_t> DependencyAnalysis::ExclusiveSize(int node) const {
    if (node < 0 || node >= static_cast<int>(FExclusive.size()))
        return std::nullopt;
    return FExclusive[node];
}

std::optional<std::int64_t> DependencyAnalysis::ExclusiveSize(const TUnit* unit) const {
    return ExclusiveSize(FGraph.NodeOf(unit));
}

} // namespace ut
