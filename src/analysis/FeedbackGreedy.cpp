// The greedy feedback edge set. Eades, Lin and Smyth order the nodes: sinks go to the end,
// sources to the front, and otherwise the node whose outgoing weight most exceeds its incoming
// weight goes to the front. Sifting then moves single nodes to where the edges they point
// backwards weigh least. The edges that point backwards are cut; then each, the heaviest
// first, is put back when it closes no cycle, keeping a topological order of the edges kept
// as Pearce and Kelly do: a return from u to v only searches the nodes between v and u in that
// order, and reorders just those.
#include "analysis/FeedbackEdges.h"

#include <algorithm>
#include <cstdlib>
#include <queue>

namespace ut {

namespace {

struct Rows {
    std::vector<std::vector<int>> Out, In; ///< edge indexes per node; no self-loops
};

// The position of each node in the Eades-Lin-Smyth order.
std::vector<int> GreedyOrder(int n, const std::vector<WeightedEdge>& edges, const Rows& rows) {
    std::vector<int> outCount(n, 0), inCount(n, 0);
    std::vector<std::int64_t> outWeight(n, 0), inWeight(n, 0);
    for (int v = 0; v < n; ++v) {
        outCount[v] = static_cast<int>(rows.Out[v].size());
        inCount[v] = static_cast<int>(rows.In[v].size());
        for (const int e : rows.Out[v])
            outWeight[v] += edges[e].Weight;
        for (const int e : rows.In[v])
            inWeight[v] += edges[e].Weight;
    }
    std::vector<bool> gone(n, false);
    std::vector<int> sinks, sources, front, back;
    // (out - in weight, -node): the largest surplus first, then the lowest node. Entries go
    // stale when a node's weights change; the current one is pushed again.
    std::priority_queue<std::pair<std::int64_t, int>> surplus;
    auto push = [&](int v) { surplus.push({outWeight[v] - inWeight[v], -v}); };
    for (int v = 0; v < n; ++v) {
        if (outCount[v] == 0)
            sinks.push_back(v);
        else if (inCount[v] == 0)
            sources.push_back(v);
        push(v);
    }
    auto remove = [&](int v) {
        gone[v] = true;
        for (const int e : rows.Out[v])
            if (const int t = edges[e].To; !gone[t]) {
                inWeight[t] -= edges[e].Weight;
                if (--inCount[t] == 0)
                    sources.push_back(t);
                push(t);
            }
        for (const int e : rows.In[v])
            if (const int u = edges[e].From; !gone[u]) {
                outWeight[u] -= edges[e].Weight;
                if (--outCount[u] == 0)
                    sinks.push_back(u);
                push(u);
            }
    };
    for (int left = n; left > 0;) {
        int v = -1;
        if (!sinks.empty() || !sources.empty()) {
            std::vector<int>& list = sinks.empty() ? sources : sinks;
            v = list.back();
            list.pop_back();
            if (gone[v])
                continue;
            (&list == &sinks ? back : front).push_back(v);
        } else {
            for (;; surplus.pop()) {
                const auto [s, negated] = surplus.top();
                v = -negated;
                if (!gone[v] && s == outWeight[v] - inWeight[v])
                    break;
            }
            front.push_back(v);
        }
        remove(v);
        --left;
    }
    std::vector<int> position(n);
    int at = 0;
    for (const int v : front)
        position[v] = at++;
    for (auto it = back.rbegin(); it != back.rend(); ++it)
        position[*it] = at++;
    return position;
}

// Moves single nodes to the place in the order where the edges they point backwards weigh
// least, while a move helps (sifting, a local search). Placing v before the k-th of the other
// nodes points backwards its edges to the first k of them and the edges from the others to
// it, so one sweep over its neighbours' places prices every place.
void Sift(const std::vector<WeightedEdge>& edges, const Rows& rows, std::vector<int>& position) {
    const int n = static_cast<int>(position.size());
    std::vector<int> order(position.size());
    for (int v = 0; v < n; ++v)
        order[position[v]] = v;
    std::vector<std::pair<int, std::int64_t>> steps; // (place from which, change of weight)
    // The work stays within a multiple of the graph's size however long moves keep helping.
    std::int64_t budget = 256 * (static_cast<std::int64_t>(n) + std::ssize(edges));
    for (int pass = 0, moved = 1; pass < 32 && moved; ++pass) {
        moved = 0;
        for (int v = 0; v < n && budget > 0; ++v) {
            const int p = position[v];
            auto place = [&](int x) { return position[x] < p ? position[x] : position[x] - 1; };
            std::int64_t cost = 0; // at place 0
            steps.clear();
            for (const int e : rows.Out[v])
                steps.push_back({place(edges[e].To) + 1, edges[e].Weight});
            for (const int e : rows.In[v]) {
                cost += edges[e].Weight;
                steps.push_back({place(edges[e].From) + 1, -edges[e].Weight});
            }
            std::sort(steps.begin(), steps.end());
            budget -= std::ssize(steps) + 1;
            std::int64_t best = cost, current = cost;
            int bestPlace = 0;
            for (size_t i = 0; i < steps.size();) {
                const int at = steps[i].first;
                for (; i < steps.size() && steps[i].first == at; ++i)
                    cost += steps[i].second;
                if (at <= p)
                    current = cost;
                if (cost < best) {
                    best = cost;
                    bestPlace = at;
                }
            }
            if (best >= current)
                continue;
            moved = 1;
            const auto at = order.begin();
            if (bestPlace < p)
                std::rotate(at + bestPlace, at + p, at + p + 1);
            else
                std::rotate(at + p, at + p + 1, at + bestPlace + 1);
            budget -= std::abs(bestPlace - p);
            for (int i = std::min(p, bestPlace); i <= std::max(p, bestPlace); ++i)
                position[order[i]] = i;
        }
    }
}

// The edges kept, in a topological order that follows each edge put back.
class DynamicOrder {
  public:
    DynamicOrder(std::vector<int> position) : FOrd(std::move(position)) {
        const size_t n = FOrd.size();
        FOut.resize(n);
        FIn.resize(n);
        FMark.assign(n, 0);
    }
    void Add(int u, int v) {
        FOut[u].push_back(v);
        FIn[v].push_back(u);
    }
    /// Adds u -> v unless it closes a cycle; false then.
    bool TryAdd(int u, int v) {
        if (u == v)
            return false;
        if (FOrd[u] < FOrd[v]) {
            Add(u, v);
            return true;
        }
        ++FStamp;
        std::vector<int> forward;
        if (!Collect(
                v, FOut, [&](int x) { return FOrd[x] < FOrd[u]; }, u, forward))
            return false;
        std::vector<int> backward;
        Collect(
            u, FIn, [&](int x) { return FOrd[x] > FOrd[v]; }, -1, backward);
        // The nodes that reach u go first, in their old order, then those v reaches.
        auto byOrder = [&](int a, int b) { return FOrd[a] < FOrd[b]; };
        std::sort(forward.begin(), forward.end(), byOrder);
        std::sort(backward.begin(), backward.end(), byOrder);
        std::vector<int> slots;
        for (const int x : backward)
            slots.push_back(FOrd[x]);
        for (const int x : forward)
            slots.push_back(FOrd[x]);
        std::sort(slots.begin(), slots.end());
        size_t i = 0;
        for (const int x : backward)
            FOrd[x] = slots[i++];
        for (const int x : forward)
            FOrd[x] = slots[i++];
        Add(u, v);
        return true;
    }

  private:
    // The nodes reached from `start` through `rows` among those `inside` accepts; false as soon
    // as `stop` is reached.
    template <class Inside>
    bool Collect(int start, const std::vector<std::vector<int>>& rows, Inside inside, int stop,
                 std::vector<int>& reached) {
        std::vector<int> stack{start};
        FMark[start] = FStamp;
        while (!stack.empty()) {
            const int x = stack.back();
            stack.pop_back();
            reached.push_back(x);
            for (const int y : rows[x]) {
                if (y == stop)
                    return false;
                if (FMark[y] != FStamp && inside(y)) {
                    FMark[y] = FStamp;
                    stack.push_back(y);
                }
            }
        }
        return true;
    }

  public:
    const std::vector<int>& Positions() const { return FOrd; }

  private:
    std::vector<int> FOrd;
    std::vector<std::vector<int>> FOut, FIn;
    std::vector<int> FMark;
    int FStamp = 0;
};

} // namespace

std::vector<int> GreedyFeedbackEdges(int nodeCount, const std::vector<WeightedEdge>& edges) {
    Rows rows;
    rows.Out.resize(static_cast<size_t>(nodeCount));
    rows.In.resize(static_cast<size_t>(nodeCount));
    for (int k = 0; k < static_cast<int>(edges.size()); ++k)
        if (edges[k].From != edges[k].To) {
            rows.Out[edges[k].From].push_back(k);
            rows.In[edges[k].To].push_back(k);
        }
    // The greedy order, sifted; then its backward edges put back, the heaviest first, while
    // that closes no cycle.
    std::vector<int> position = GreedyOrder(nodeCount, edges, rows);
    Sift(edges, rows, position);
    DynamicOrder order(position);
    std::vector<int> back;
    for (int k = 0; k < static_cast<int>(edges.size()); ++k) {
        if (position[edges[k].From] < position[edges[k].To])
            order.Add(edges[k].From, edges[k].To);
        else
            back.push_back(k);
    }
    std::stable_sort(back.begin(), back.end(),
                     [&](int a, int b) { return edges[a].Weight > edges[b].Weight; });
    for (const int k : back)
        order.TryAdd(edges[k].From, edges[k].To);
    // Every edge kept points forwards in the order that follows them, every edge not put back
    // closes a cycle with them and so points backwards.
    position = order.Positions();
    std::vector<int> cut;
    for (int k = 0; k < static_cast<int>(edges.size()); ++k)
        if (position[edges[k].From] >= position[edges[k].To])
            cut.push_back(k);
    return cut;
}

} // namespace ut
