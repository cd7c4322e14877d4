#include "analysis/HygieneCosts.h"
#include "analysis/UnitGraph.h"
#include "symbols/Hygiene.h"

#include <algorithm>

namespace ut {

EntryCosts CostsOfHygiene(const ProjectScan& scan, const UnitGraph& graph,
                          const THygiene& hygiene) {
    EntryCosts costs;
    for (int from = 0; from < graph.Count(); ++from) {
        const TUnit* unit = graph.Node(from).Unit;
        const TUnitHygiene* judged = unit ? hygiene.Of(unit) : nullptr;
        if (!judged)
            continue;
        const size_t entries = std::min(judged->Entries.size(), size_t(unit->Uses.Count()));
        for (size_t k = 0; k < entries; ++k) {
            const TEntryHygiene& e = judged->Entries[k];
            if (e.Verdict == TVerdict::None || e.Verdict == TVerdict::Unknown)
                continue;
            const int to = graph.Find(scan.ResolvedName(unit->Uses[static_cast<int>(k)]));
            if (to < 0)
                continue;
            EntryCost cost;
            const bool keptUnnamed = (e.Reasons & ~unsigned(krUsed)) != 0;
            cost.References =
                static_cast<int>(std::max<std::uint32_t>(e.ReferenceCount(), keptUnnamed ? 1 : 0));
            const auto names = judged->IdentifiersOf(k);
            cost.Identifiers.assign(names.begin(),
                                    names.begin() + std::min<size_t>(names.size(), 5));
            cost.Movable = e.Verdict == TVerdict::Move || e.Verdict == TVerdict::Remove;
            cost.Judged = true;
            costs.Set(from, to, std::move(cost));
        }
    }
    return costs;
}

} // namespace ut
