#include "rules/Rule.h"

namespace ut::rules {

const char* SeverityName(Severity s) {
    return s == Severity::Error ? "error" : "warn";
}

std::string Violation::Entry() const {
    return Rule + ": " + From + (To.empty() ? "" : " -> " + To);
}

Violation Rule::MakeViolation(const RuleGraph& graph, int from, const RuleEdge& edge) const {
    Violation v;
    v.Rule = Name;
    v.Level = Level;
    v.From = graph.Name(from);
    v.To = graph.Name(edge.To);
    v.Interface = edge.Interface;
    v.File = *edge.File;
    v.Line = edge.Line;
    return v;
}

} // namespace ut::rules
