#include "rules/RuleGraph.h"

#include "scan/ProjectScan.h"
#include "support/Textutil.h"

#include <unordered_map>
#include <unordered_set>

namespace ut::rules {

RuleGraph::RuleGraph(const DependencyAnalysis& analysis, const std::vector<OutsideUse>& outside)
    : FAnalysis(analysis) {
    const UnitGraph& g = analysis.Graph();
    FUses.resize(static_cast<size_t>(g.Count()));
    for (int v = 0; v < g.Count(); ++v)
        for (const UseEdge& e : g.Node(v).Uses)
            FUses[v].push_back({e.To, e.Interface, e.Line, &g.SiteFile(v, e)});
    std::unordered_map<std::string, int> outsideNodes; // by folded name
    for (const OutsideUse& use : outside) {
        if (use.From < 0 || use.From >= g.Count())
            continue;
        const auto [it, added] = outsideNodes.emplace(UpperFoldText(use.Name), Count());
        if (added) {
            FUses.emplace_back();
            FOutsideNames.push_back(use.Name);
        }
        const std::string* file = &g.Node(use.From).FileName;
        if (!use.File.empty())
            file = &FOutsideFiles.emplace_back(use.File);
        FUses[use.From].push_back({it->second, use.Interface, use.Line, file});
    }
}

const std::string& RuleGraph::Name(int v) const {
    return v < Parsed() ? FAnalysis.Graph().Node(v).Key : FOutsideNames[v - Parsed()];
}

const std::string& RuleGraph::File(int v) const {
    static const std::string none;
    return v < Parsed() ? FAnalysis.Graph().Node(v).FileName : none;
}

std::optional<std::int64_t> RuleGraph::ExclusiveSize(int v) const {
    return v < Parsed() ? FAnalysis.ExclusiveSize(v) : std::nullopt;
}

std::vector<char> RuleGraph::Members(const UnitSet& set) const {
    std::vector<char> in(static_cast<size_t>(Count()));
    for (int v = 0; v < Count(); ++v)
        in[v] = set.Matches(Name(v), File(v));
    return in;
}

std::vector<int> RuleGraph::FirstSet(const std::vector<UnitSet>& sets) const {
    std::vector<int> first(static_cast<size_t>(Count()), -1);
    for (int v = 0; v < Count(); ++v)
        for (size_t i = 0; i < sets.size() && first[v] < 0; ++i)
            if (sets[i].Matches(Name(v), File(v)))
                first[v] = static_cast<int>(i);
    return first;
}

std::vector<OutsideUse> OutsideUses(const ProjectScan& scan, const UnitGraph& graph) {
    std::vector<OutsideUse> outside;
    for (int v = 0; v < graph.Count(); ++v) {
        const TUnit* u = graph.Node(v).Unit;
        if (!u)
            continue;
        std::unordered_set<std::string_view, FoldedHash, FoldedEqual> seen;
        for (int k = 0; k < u->Uses.Count(); ++k) {
            const std::string& name = scan.ResolvedName(u->Uses[k]);
            const int to = graph.Find(name);
            if (!seen.insert(name).second || (to >= 0 && !scan.IsIgnored(graph.Node(to).Key)))
                continue;
            const TUseSite& site = u->UseSites[static_cast<size_t>(k)];
            outside.push_back({v, name, u->Uses.Objects(k) != 0, site.Line, site.File});
        }
    }
    return outside;
}

} // namespace ut::rules
