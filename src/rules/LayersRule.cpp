#include "rules/LayersRule.h"

namespace ut::rules {

std::vector<std::pair<std::string, const UnitSet*>> IndexedSets(const std::vector<UnitSet>& sets) {
    std::vector<std::pair<std::string, const UnitSet*>> named;
    for (size_t i = 0; i < sets.size(); ++i)
        named.emplace_back("sets[" + std::to_string(i) + "]", &sets[i]);
    return named;
}

std::string LayersRule::Describe() const {
    std::string s = "top first:";
    for (size_t i = 0; i < Layers.size(); ++i)
        s += (i ? ", " : " ") + Layers[i].Text();
    return s + (Interface ? "" : "; lower layers only from the implementation");
}

std::vector<std::pair<std::string, const UnitSet*>> LayersRule::Sets() const {
    return IndexedSets(Layers);
}

void LayersRule::Check(const RuleGraph& graph, std::vector<Violation>& out,
                       std::vector<std::string>&) const {
    const std::vector<int> layer = graph.FirstSet(Layers);
    for (int v = 0; v < graph.Parsed(); ++v) {
        if (layer[v] < 0)
            continue;
        for (const RuleEdge& e : graph.Uses(v)) {
            const int to = layer[e.To];
            if (to >= 0 && (to < layer[v] || (to > layer[v] && e.Interface && !Interface)))
                out.push_back(MakeViolation(graph, v, e));
        }
    }
}

} // namespace ut::rules
