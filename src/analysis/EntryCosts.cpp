#include "analysis/EntryCosts.h"

namespace ut {

void EntryCosts::Set(int from, int to, EntryCost cost) {
    if (cost.Identifiers.size() > 5)
        cost.Identifiers.resize(5);
    FCosts[Key(from, to)] = std::move(cost);
}

const EntryCost& EntryCosts::Of(int from, int to) const {
    static const EntryCost none;
    const auto it = FCosts.find(Key(from, to));
    return it == FCosts.end() ? none : it->second;
}

} // namespace ut
