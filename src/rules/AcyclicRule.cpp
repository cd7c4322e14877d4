#include "rules/AcyclicRule.h"

#include "analysis/Cycles.h"

namespace ut::rules {

std::string AcyclicRule::Describe() const {
    return std::string("no ") + (InterfaceOnly ? "interface " : "") + "cycle among " + Units.Text();
}

std::vector<std::pair<std::string, const UnitSet*>> AcyclicRule::Sets() const {
    return {{"set", &Units}};
}

void AcyclicRule::Check(const RuleGraph& graph, std::vector<Violation>& out,
                        std::vector<std::string>&) const {
    const std::vector<char> in = graph.Members(Units);
    const int n = graph.Parsed(); // outside names use nothing: never on a cycle
    auto counts = [&](int v, const RuleEdge& e) {
        return in[v] && e.To < n && in[e.To] && (e.Interface || !InterfaceOnly);
    };
    Adjacency edges;
    edges.Offsets.assign(static_cast<size_t>(n) + 1, 0);
    for (int v = 0; v < n; ++v) {
        edges.Offsets[v + 1] = edges.Offsets[v];
        for (const RuleEdge& e : graph.Uses(v))
            if (counts(v, e)) {
                edges.Targets.push_back(e.To);
                ++edges.Offsets[v + 1];
            }
    }
    const std::vector<int> component = StrongComponents(edges);
    std::vector<int> size(static_cast<size_t>(n), 0);
    for (int v = 0; v < n; ++v)
        ++size[component[v]];
    for (int v = 0; v < n; ++v)
        for (const RuleEdge& e : graph.Uses(v))
            if (counts(v, e) && component[e.To] == component[v] &&
                (size[component[v]] > 1 || e.To == v))
                out.push_back(MakeViolation(graph, v, e));
}

} // namespace ut::rules
