#include "rules/EdgeViolations.h"

#include "support/Textutil.h"

namespace ut::rules {

namespace {

std::string EdgeKey(const std::string& from, const std::string& to) {
    return UpperFoldText(from) + '\n' + UpperFoldText(to);
}

} // namespace

EdgeViolations::EdgeViolations(const std::vector<Violation>& violations) {
    for (const Violation& v : violations) {
        if (v.To.empty())
            continue; // a budget is about a unit, not an entry
        const std::string& to = v.Path.empty() ? v.To : v.Path.front().To;
        FByEdge[EdgeKey(v.From, to)].push_back(&v);
    }
}

const std::vector<const Violation*>& EdgeViolations::Of(const std::string& from,
                                                        const std::string& to) const {
    static const std::vector<const Violation*> none;
    const auto found = FByEdge.find(EdgeKey(from, to));
    return found == FByEdge.end() ? none : found->second;
}

} // namespace ut::rules
