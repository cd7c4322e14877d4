#include "rules/IndependentRule.h"

#include "rules/LayersRule.h"

namespace ut::rules {

std::string IndependentRule::Describe() const {
    std::string s = "no uses between";
    for (size_t i = 0; i < Parts.size(); ++i)
        s += (i ? ", " : " ") + Parts[i].Text();
    return s;
}

std::vector<std::pair<std::string, const UnitSet*>> IndependentRule::Sets() const {
    return IndexedSets(Parts);
}

void IndependentRule::Check(const RuleGraph& graph, std::vector<Violation>& out,
                            std::vector<std::string>&) const {
    const std::vector<int> part = graph.FirstSet(Parts);
    for (int v = 0; v < graph.Parsed(); ++v)
        if (part[v] >= 0)
            for (const RuleEdge& e : graph.Uses(v))
                if (part[e.To] >= 0 && part[e.To] != part[v])
                    out.push_back(MakeViolation(graph, v, e));
}

} // namespace ut::rules
