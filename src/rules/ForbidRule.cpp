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
    std::vector<int> seen(static_cast<size_t>(graph.Count()), -1);
    for (int v = 0; v < graph.Parsed(); ++v) {
        if (!from[v])
            continue;
        if (Reach) {
            CheckReach(graph, v, from, to, seen, out);
            continue;
        }
        for (const RuleEdge& e : graph.Uses(v))
            if (e.To != v && to[e.To] && InSection(e))
                out.push_back(MakeViolation(graph, v, e));
    }
}

void ForbidRule::CheckReach(const RuleGraph& graph, int start, const std::vector<char>& from,
                            const std::vector<char>& to, std::vector<int>& seen,
                            std::vector<Violation>& out) const {
    // `seen` holds the start of the search that met a node last, so it is never cleared.
    struct Reached {
        int Node, Parent; ///< Parent: an index into `queue`; -1 for the start
        const RuleEdge* Edge;
    };
    std::vector<Reached> queue{{start, -1, nullptr}};
    seen[start] = start;
    for (size_t head = 0; head < queue.size(); ++head) {
        const int u = queue[head].Node;
        if (u != start && (to[u] || from[u]))
            continue; // the first unit of `to`, or a unit of `from` that answers for itself
        for (const RuleEdge& e : graph.Uses(u)) {
            if (seen[e.To] == start || (u == start && !InSection(e)))
                continue;
            seen[e.To] = start;
            queue.push_back({e.To, static_cast<int>(head), &e});
            if (!to[e.To])
                continue;
            std::vector<ViolationStep> path;
            for (int at = static_cast<int>(queue.size()) - 1; queue[at].Parent >= 0;
                 at = queue[at].Parent) {
                const RuleEdge& step = *queue[at].Edge;
                path.push_back({graph.Name(queue[queue[at].Parent].Node), graph.Name(step.To),
                                step.Interface, *step.File, step.Line});
            }
            std::reverse(path.begin(), path.end());
            // Told by the start's own entry, the one to change.
            Violation violation;
            violation.Rule = Name;
            violation.Level = Level;
            violation.From = path.front().From;
            violation.To = path.back().To;
            violation.Interface = path.front().Interface;
            violation.File = path.front().File;
            violation.Line = path.front().Line;
            violation.Path = std::move(path);
            out.push_back(std::move(violation));
        }
    }
}

} // namespace ut::rules
