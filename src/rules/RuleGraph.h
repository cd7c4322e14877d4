#pragma once
// What the rules look at: the units of a finished scan and their uses entries. The parsed
// units are the uses graph's nodes; every name used but not parsed (an ignored unit, one not
// found) follows as a node of its own with no uses, so that a rule can forbid it too.
#include "analysis/DependencyAnalysis.h"
#include "rules/UnitSet.h"

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace ut {
class ProjectScan;
}

namespace ut::rules {

struct RuleEdge {
    int To = -1;
    bool Interface = false;
    int Line = 0;
    const std::string* File = nullptr; ///< the file that holds the entry
};

/// A uses entry naming no parsed unit.
struct OutsideUse {
    int From = -1; ///< a node of the uses graph
    std::string Name;
    bool Interface = false;
    int Line = 0;
    std::string File; ///< the include file that holds it; empty for the unit's own
};

class RuleGraph {
  public:
    /// Refers to the analysis, which must outlive the graph.
    RuleGraph(const DependencyAnalysis& analysis, const std::vector<OutsideUse>& outside);
    RuleGraph(const RuleGraph&) = delete;
    RuleGraph& operator=(const RuleGraph&) = delete;

    int Count() const { return static_cast<int>(FUses.size()); }
    /// The nodes below this are the uses graph's, in its order; the rest are outside names.
    int Parsed() const { return FAnalysis.Graph().Count(); }
    const std::string& Name(int v) const;
    /// The source of a parsed unit; empty for an outside name.
    const std::string& File(int v) const;
    const std::vector<RuleEdge>& Uses(int v) const { return FUses[static_cast<size_t>(v)]; }
    bool HasSizes() const { return FAnalysis.Graph().HasSizes(); }
    std::optional<std::int64_t> ExclusiveSize(int v) const;

    /// Per node: whether `set` holds it.
    std::vector<char> Members(const UnitSet& set) const;
    /// Per node: the index of the first of `sets` that holds it, or -1.
    std::vector<int> FirstSet(const std::vector<UnitSet>& sets) const;

  private:
    const DependencyAnalysis& FAnalysis;
    std::vector<std::vector<RuleEdge>> FUses;
    std::vector<std::string> FOutsideNames;
    std::deque<std::string> FOutsideFiles; ///< include files of outside entries; stable
};

/// The uses entries of the scan's parsed units that lead to no node of `graph` (ignored
/// names, names not found), each unit's first entry of a name only, in source order.
std::vector<OutsideUse> OutsideUses(const ProjectScan& scan, const UnitGraph& graph);

} // namespace ut::rules
