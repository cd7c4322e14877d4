#include "rules/ForbidRule.h"

#include <algorithm>

namespace ut::rules {

std::string ForbidRule::Describe() const {
    static const char* const sections[] = {"", " (interface)", " (implementation)"};
    return From.Text() + " must not use " + To.Text() + sections[static_cast<int>(In)] +
           (Reach ? ", directly or not" : "");
}

std::vector<std::pair<std::string, const UnitSet*>> ForbidRule::Sets() const {
    return {{"from", &From}, {"to", &To}};
}

void ForbidRule::Check(const RuleGraph& graph, std::vector<Violation>& out,
                       std::vector<std::string>&) const {
    const std::vector<char> from = graph.Members(From), to = graph.Members(To);
    std::vector<const RuleEdge*> toward;
    if (Reach)
        toward = TowardTo(graph, from, to);
    std::vector<int> seen(static_cast<size_t>(graph.Count()), -1);
    for (int v = 0; v < graph.Parsed(); ++v) {
        if (!from[v])
            continue;
        for (const RuleEdge& e : graph.Uses(v)) {
            if (e.To == v || !InSection(e) || seen[e.To] == v)
                continue;
            seen[e.To] = v; // a name listed twice is one way in
            if (!to[e.To] && (!Reach || !toward[e.To]))
                continue;
            Violation violation = MakeViolation(graph, v, e);
            if (Reach) {
                // Told by the start's own entry, the one to change.
                violation.Path.push_back(
                    {violation.From, violation.To, e.Interface, *e.File, e.Line});
                for (int at = e.To; !to[at]; at = toward[at]->To) {
                    const RuleEdge& step = *toward[at];
                    violation.Path.push_back({graph.Name(at), graph.Name(step.To), step.Interface,
                                              *step.File, step.Line});
                }
                violation.To = violation.Path.back().To;
            }
            out.push_back(std::move(violation));
        }
    }
}

std::vector<const RuleEdge*> ForbidRule::TowardTo(const RuleGraph& graph,
                                                  const std::vector<char>& from,
                                                  const std::vector<char>& to) {
    // The distance of each unit to `to`, breadth first backwards from all of `to` at once
    // through units of neither set; then each unit's first entry one step nearer.
    const size_t n = static_cast<size_t>(graph.Count());
    std::vector<size_t> firstUser(n + 1);
    for (int u = 0; u < graph.Parsed(); ++u)
        for (const RuleEdge& e : graph.Uses(u))
            ++firstUser[static_cast<size_t>(e.To) + 1];
    for (size_t v = 0; v < n; ++v)
        firstUser[v + 1] += firstUser[v];
    std::vector<int> users(firstUser[n]);
    std::vector<size_t> fill(firstUser.begin(), firstUser.end() - 1);
    for (int u = 0; u < graph.Parsed(); ++u)
        for (const RuleEdge& e : graph.Uses(u))
            users[fill[static_cast<size_t>(e.To)]++] = u;

    std::vector<int> distance(n, -1), queue;
    for (int v = 0; v < graph.Count(); ++v)
        if (to[v]) {
            distance[static_cast<size_t>(v)] = 0;
            queue.push_back(v);
        }
    for (size_t head = 0; head < queue.size(); ++head) {
        const size_t w = static_cast<size_t>(queue[head]);
        for (size_t k = firstUser[w]; k < firstUser[w + 1]; ++k) {
            const int u = users[k];
            if (from[u] || distance[static_cast<size_t>(u)] >= 0)
                continue;
            distance[static_cast<size_t>(u)] = distance[w] + 1;
            queue.push_back(u);
        }
    }
    std::vector<const RuleEdge*> toward(n);
    for (int u = 0; u < graph.Parsed(); ++u) {
        const int d = distance[static_cast<size_t>(u)];
        if (d <= 0)
            continue;
        for (const RuleEdge& e : graph.Uses(u))
            if (distance[static_cast<size_t>(e.To)] == d - 1) {
                toward[static_cast<size_t>(u)] = &e;
                break;
            }
    }
    return toward;
}

} // namespace ut::rules
