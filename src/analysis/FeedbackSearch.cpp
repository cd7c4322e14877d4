// The exact feedback edge set of a small graph: a branch-and-bound search over its cycles.
// Every feedback edge set holds an edge of each cycle, so a state (edges cut, edges kept)
// takes the cycle with the fewest edges still free and branches on which of them is the first
// one cut: cutting the i-th keeps the ones before it, so no set is reached twice. A branch
// ends when its weight reaches the best set found, which starts as the greedy one.
#include "analysis/FeedbackEdges.h"

#include <algorithm>
#include <bit>
#include <deque>
#include <limits>
#include <stdexcept>
#include <utility>

namespace ut {

namespace {

using Mask = std::uint32_t;
using Cost = std::pair<std::int64_t, int>; // weight, then edge count

Mask Bit(int edge) {
    return Mask{1} << edge;
}

class CycleSearch {
  public:
    CycleSearch(int nodeCount, const std::vector<WeightedEdge>& edges)
        : FEdges(edges), FOut(static_cast<size_t>(nodeCount)) {
        for (int k = 0; k < static_cast<int>(edges.size()); ++k)
            FOut[static_cast<size_t>(edges[k].From)].push_back(k);
    }

    Cost CostOf(Mask cut) const {
        Cost c{0, std::popcount(cut)};
        for (Mask m = cut; m; m &= m - 1)
            c.first += FEdges[static_cast<size_t>(std::countr_zero(m))].Weight;
        return c;
    }

    /// The edges of a cycle that avoids `cut` and has the fewest edges outside `kept`, and
    /// that number; no edges when no cycle is left.
    std::pair<Mask, int> CheapestCycle(Mask cut, Mask kept) {
        const int n = static_cast<int>(FOut.size());
        std::pair<Mask, int> best{0, std::numeric_limits<int>::max()};
        FDist.assign(FOut.size(), 0);
        FParent.assign(FOut.size(), -1);
        // A 0-1 breadth-first search from each node back to itself, a kept edge costing 0.
        for (int s = 0; s < n && best.second > 0; ++s) {
            std::fill(FDist.begin(), FDist.end(), std::numeric_limits<int>::max());
            std::deque<int> queue;
            auto relax = [&](int edge, int base) {
                const int to = FEdges[static_cast<size_t>(edge)].To;
                const int d = base + ((kept & Bit(edge)) ? 0 : 1);
                if ((cut & Bit(edge)) || d >= FDist[to])
                    return;
                FDist[to] = d;
                FParent[to] = edge;
                if (d == base)
                    queue.push_front(to);
                else
                    queue.push_back(to);
            };
            for (const int e : FOut[s])
                relax(e, 0);
            std::vector<bool> done(FOut.size(), false);
            while (!queue.empty()) {
                const int x = queue.front();
                queue.pop_front();
                if (done[x])
                    continue;
                done[x] = true;
                if (x == s)
                    break;
                for (const int e : FOut[x])
                    relax(e, FDist[x]);
            }
            if (FDist[s] >= best.second)
                continue;
            Mask cycle = 0;
            int x = s;
            do {
                const int e = FParent[x];
                cycle |= Bit(e);
                x = FEdges[static_cast<size_t>(e)].From;
            } while (x != s);
            best = {cycle, FDist[s]};
        }
        return best.first ? best : std::pair<Mask, int>{0, 0};
    }

  private:
    const std::vector<WeightedEdge>& FEdges;
    std::vector<std::vector<int>> FOut;
    std::vector<int> FDist, FParent;
};

} // namespace

std::vector<int> ExactFeedbackEdges(int nodeCount, const std::vector<WeightedEdge>& edges,
                                    const std::vector<int>& start) {
    if (edges.size() > 32)
        throw std::invalid_argument("exact feedback edges: more than 32 edges");
    CycleSearch search(nodeCount, edges);
    Mask best = 0;
    for (const int e : start)
        best |= Bit(e);
    Cost bestCost = search.CostOf(best);

    struct State {
        Mask Cut = 0;
        Mask Kept = 0;
    };
    std::vector<State> stack{{}};
    std::vector<int> free;
    std::vector<State> children;
    while (!stack.empty()) {
        const State state = stack.back();
        stack.pop_back();
        const Cost cost = search.CostOf(state.Cut);
        if (cost >= bestCost)
            continue;
        const auto [cycle, freeCount] = search.CheapestCycle(state.Cut, state.Kept);
        if (!cycle) {
            best = state.Cut;
            bestCost = cost;
            continue;
        }
        if (freeCount == 0)
            continue; // a cycle of kept edges: nothing below this state is a solution
        free.clear();
        for (Mask m = cycle & ~state.Kept; m; m &= m - 1)
            free.push_back(std::countr_zero(m));
        std::sort(free.begin(), free.end(), [&](int a, int b) {
            return std::pair(edges[a].Weight, a) < std::pair(edges[b].Weight, b);
        });
        children.clear();
        Mask kept = state.Kept;
        for (const int e : free) {
            const State child{state.Cut | Bit(e), kept};
            if (search.CostOf(child.Cut) < bestCost)
                children.push_back(child);
            kept |= Bit(e);
        }
        // The lightest branch is searched first.
        stack.insert(stack.end(), children.rbegin(), children.rend());
    }
    std::vector<int> result;
    for (Mask m = best; m; m &= m - 1)
        result.push_back(std::countr_zero(m));
    return result;
}

} // namespace ut
