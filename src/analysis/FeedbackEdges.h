#pragma once
// Feedback edge sets: edges whose removal leaves a directed graph without a cycle, chosen to
// minimise their total weight (then their number). Each strong component is solved apart:
// exactly by a branch-and-bound search over its cycles when it has few edges, otherwise by
// the greedy ordering of Eades, Lin and Smyth, improved by moving single nodes, followed by
// putting back every cut edge whose return closes no cycle.
#include <cstdint>
#include <vector>

namespace ut {

struct WeightedEdge {
    int From = -1;
    int To = -1;
    std::int64_t Weight = 1; ///< not negative
};

struct FeedbackSet {
    std::vector<int> Edges; ///< indexes into the graph's edges, ascending
    bool Exact = true;      ///< proven to be of least weight
};

/// The edge count up to which a component is searched exactly.
inline constexpr int ExactFeedbackLimit = 20;

/// A feedback edge set of the graph of `nodeCount` nodes; components of at most `exactLimit`
/// edges (and 32) are searched exactly.
FeedbackSet MinimumFeedbackEdges(int nodeCount, const std::vector<WeightedEdge>& edges,
                                 int exactLimit = ExactFeedbackLimit);

/// A feedback edge set of least weight, then fewest edges; `start` is one to improve on (any
/// feedback edge set). At most 32 edges.
std::vector<int> ExactFeedbackEdges(int nodeCount, const std::vector<WeightedEdge>& edges,
                                    const std::vector<int>& start);

/// A feedback edge set none of whose edges can be put back without closing a cycle: the
/// Eades-Lin-Smyth order, improved by moving single nodes (sifting), gives the edges that
/// point backwards; then the heaviest of those are put back first while that closes no cycle.
/// O(m log m) for the order and each round of sifting; a return searches only the nodes
/// between its ends (Pearce and Kelly's dynamic topological order).
std::vector<int> GreedyFeedbackEdges(int nodeCount, const std::vector<WeightedEdge>& edges);

} // namespace ut
