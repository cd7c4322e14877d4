#pragma once
// What changed between two scan results: units, uses entries, sizes and cycles.
#include "analysis/UnitGraph.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace ut {

struct DiffEdge {
    std::string From;
    std::string To;
    bool Interface = false;
};

struct DiffSize {
    std::string Unit;
    std::int64_t Old = 0;
    std::int64_t New = 0;
};

struct DiffCycle {
    std::vector<std::string> Units; ///< the cycle in the new result, in key order
    /// The old cycles it overlaps, each in key order; empty for a new cycle.
    std::vector<std::vector<std::string>> Was;
    bool Interface = false;
};

struct ResultDiff {
    std::vector<std::string> UnitsAdded, UnitsRemoved;
    /// A uses entry is its using unit, its used unit and its section: an entry that moved
    /// between sections is removed from one and added to the other.
    std::vector<DiffEdge> UsesAdded, UsesRemoved;
    /// Units in both results whose sizes are both known and differ.
    std::vector<DiffSize> SizeChanges;
    /// Cycles of the new result that share no unit with a cycle of the old one.
    std::vector<DiffCycle> NewCycles;
    /// Cycles of the new result that overlap old cycles but fit in none of them: a unit
    /// joined, or cycles merged.
    std::vector<DiffCycle> GrownCycles;
    /// Names that only the new (added) or only the old result (removed) lists as not found.
    std::vector<std::string> NotFoundAdded, NotFoundRemoved;

    bool Empty() const;
};

/// Keys compare without regard to case; every list is in key order (uses entries by using
/// unit, then in source order; not-found names in the order of their result).
ResultDiff DiffResults(const UnitGraph& oldResult, const UnitGraph& newResult,
                       const std::vector<std::string>& oldNotFound = {},
                       const std::vector<std::string>& newNotFound = {});

} // namespace ut
