#include "analysis/RecompileReach.h"

#include "analysis/Cycles.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>

namespace ut {

namespace {

// The graph of interface components: units that reach each other through interface entries
// share one, and each is numbered above every component it uses, so that descending numbers
// visit every user before what it uses.
struct Condensed {
    std::vector<int> Comp;              ///< per node
    std::vector<std::vector<int>> Down; ///< per component: the components it uses, each once
    int Count() const { return static_cast<int>(Down.size()); }
};

Condensed Condense(const UnitGraph& graph) {
    Condensed c;
    c.Comp = StrongComponents(ForwardEdges(graph, true));
    const int count = c.Comp.empty() ? 0 : *std::max_element(c.Comp.begin(), c.Comp.end()) + 1;
    c.Down.resize(static_cast<size_t>(count));
    std::vector<int> seen(static_cast<size_t>(count), -1);
    // Grouped by component (a counting sort) so that a target is listed once per component.
    std::vector<int> start(static_cast<size_t>(count) + 1, 0);
    for (const int k : c.Comp)
        ++start[static_cast<size_t>(k) + 1];
    for (int k = 0; k < count; ++k)
        start[k + 1] += start[k];
    std::vector<int> byComponent(c.Comp.size());
    for (int v = 0; v < graph.Count(); ++v)
        byComponent[static_cast<size_t>(start[c.Comp[v]]++)] = v;
    for (const int v : byComponent) {
        const int from = c.Comp[v];
        for (const UseEdge& e : graph.Node(v).Uses)
            if (const int to = c.Comp[e.To]; e.Interface && to != from && seen[to] != from) {
                seen[to] = from;
                c.Down[from].push_back(to);
            }
    }
    return c;
}

// The components whose change recompiles `unit` besides its own: those of its implementation
// entries (its interface entries are already followed down from its own component).
template <class Visit>
void ImplementationTargets(const UnitGraph& g, const Condensed& c, int unit, Visit visit) {
    for (const UseEdge& e : g.Node(unit).Uses)
        if (!e.Interface && c.Comp[e.To] != c.Comp[unit])
            visit(c.Comp[e.To]);
}

// Adds to each component the number of `sources` it recompiles: 256 sources at a time, each a
// bit set at its own and its implementation targets' components and pushed down to everything
// those use through interface entries.
void CountBySources(const UnitGraph& g, const Condensed& c, const std::vector<int>& sources,
                    std::vector<std::int64_t>& reach) {
    constexpr size_t words = 4;
    using Bits = std::array<std::uint64_t, words>;
    std::vector<Bits> mask(static_cast<size_t>(c.Count()));
    for (size_t first = 0; first < sources.size(); first += 64 * words) {
        std::fill(mask.begin(), mask.end(), Bits{});
        const size_t last = std::min(sources.size(), first + 64 * words);
        for (size_t j = first; j < last; ++j) {
            const size_t word = (j - first) / 64;
            const std::uint64_t bit = std::uint64_t{1} << ((j - first) % 64);
            mask[c.Comp[sources[j]]][word] |= bit;
            ImplementationTargets(g, c, sources[j], [&](int target) { mask[target][word] |= bit; });
        }
        for (int x = c.Count() - 1; x >= 0; --x) {
            const Bits m = mask[x];
            std::uint64_t any = 0;
            for (size_t w = 0; w < words; ++w) {
                any |= m[w];
                reach[x] += std::popcount(m[w]);
            }
            if (any)
                for (const int d : c.Down[x])
                    for (size_t w = 0; w < words; ++w)
                        mask[d][w] |= m[w];
        }
    }
}

// Adds to each component the `weight` of the components that reach it through interface
// entries, itself included. The components are laid on chains, each a path of interface
// entries from a user down; on a chain everything above a component that reaches the target
// reaches it too, so per chain only the lowest such position is carried down the graph.
void CountAlongChains(const Condensed& c, const std::vector<std::vector<int>>& chains,
                      const std::vector<int>& weight, std::vector<std::int64_t>& reach) {
    const int count = c.Count();
    std::vector<int> chainOf(static_cast<size_t>(count)), position(chainOf.size());
    std::vector<std::vector<std::int64_t>> prefix(chains.size());
    for (size_t j = 0; j < chains.size(); ++j) {
        std::int64_t sum = 0;
        for (size_t p = 0; p < chains[j].size(); ++p) {
            chainOf[chains[j][p]] = static_cast<int>(j);
            position[chains[j][p]] = static_cast<int>(p);
            prefix[j].push_back(sum += weight[chains[j][p]]);
        }
    }
    // Chains in groups whose positions per component fit in a few megabytes.
    const size_t group = std::clamp<size_t>((size_t{1} << 20) / std::max(count, 1), 1, 64);
    std::vector<int> lowest;
    for (size_t first = 0; first < chains.size(); first += group) {
        const size_t width = std::min(group, chains.size() - first);
        lowest.assign(static_cast<size_t>(count) * width, -1);
        for (int x = count - 1; x >= 0; --x) {
            int* row = &lowest[static_cast<size_t>(x) * width];
            if (const size_t j = static_cast<size_t>(chainOf[x]); j >= first && j < first + width)
                row[j - first] = std::max(row[j - first], position[x]);
            for (const int d : c.Down[x]) {
                int* below = &lowest[static_cast<size_t>(d) * width];
                for (size_t i = 0; i < width; ++i)
                    below[i] = std::max(below[i], row[i]);
            }
            for (size_t i = 0; i < width; ++i)
                if (row[i] >= 0)
                    reach[x] += prefix[first + i][static_cast<size_t>(row[i])];
        }
    }
}

// Paths of interface entries covering every component once, each started at the highest
// component not yet on one.
std::vector<std::vector<int>> Chains(const Condensed& c) {
    std::vector<std::vector<int>> chains;
    std::vector<bool> placed(static_cast<size_t>(c.Count()), false);
    for (int top = c.Count() - 1; top >= 0; --top) {
        if (placed[top])
            continue;
        chains.emplace_back();
        for (int x = top; x >= 0;) {
            placed[x] = true;
            chains.back().push_back(x);
            const auto next =
                std::find_if(c.Down[x].begin(), c.Down[x].end(), [&](int d) { return !placed[d]; });
            x = next == c.Down[x].end() ? -1 : *next;
        }
    }
    return chains;
}

} // namespace

std::vector<int> RecompileReach(const UnitGraph& graph, ReachMethod method) {
    const Condensed c = Condense(graph);
    std::vector<std::int64_t> reach(static_cast<size_t>(c.Count()), 0);
    // Units without implementation entries outside their component recompile exactly the
    // components their own one reaches: counted along chains when there are few chains.
    std::vector<int> all, withImplementation;
    std::vector<int> plain(static_cast<size_t>(c.Count()), 0);
    for (int v = 0; v < graph.Count(); ++v) {
        all.push_back(v);
        bool implementation = false;
        ImplementationTargets(graph, c, v, [&](int) { implementation = true; });
        if (implementation)
            withImplementation.push_back(v);
        else
            ++plain[c.Comp[v]];
    }
    std::vector<std::vector<int>> chains;
    if (method != ReachMethod::Bitsets)
        chains = Chains(c);
    // Both cost about one walk over the graph per chain or per 64 sources.
    const size_t byChains = chains.size() + (withImplementation.size() + 63) / 64;
    if (method == ReachMethod::Chains ||
        (method == ReachMethod::Auto && byChains < (all.size() + 63) / 64)) {
        CountAlongChains(c, chains, plain, reach);
        CountBySources(graph, c, withImplementation, reach);
    } else {
        CountBySources(graph, c, all, reach);
    }
    std::vector<int> result(static_cast<size_t>(graph.Count()));
    for (int v = 0; v < graph.Count(); ++v)
        result[v] = static_cast<int>(reach[c.Comp[v]] - 1);
    return result;
}

} // namespace ut
