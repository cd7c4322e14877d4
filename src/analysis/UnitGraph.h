#pragma once
// The uses graph of a finished scan: one node per parsed unit, one edge per uses entry that
// names a parsed unit (not an ignored one), with its section and where it stands. Built
// once, then read by the cycle, why-path, dominator, export and diff code.
#include "support/Textutil.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace ut {

class ProjectScan;
class TUnit;

/// One uses entry that leads to a parsed unit.
struct UseEdge {
    int To = -1;
    bool Interface = false; ///< in the interface list (or a program's only list)
    int Line = 0;           ///< line of the name, first line 1; 0 when not known
    int File = -1;          ///< the include file holding it (UnitGraph::IncludeFile); -1: none
};

struct GraphNode {
    std::string Key;      ///< the registry key: the source's file name without extension
    std::string FileName; ///< full path of the source
    std::optional<std::int64_t> Size;
    /// In source order; a unit named twice keeps its first entry.
    std::vector<UseEdge> Uses;
    const TUnit* Unit = nullptr; ///< the record, when built from a scan
};

/// A unit as a result lists it, before the names of its uses are resolved.
struct ResultUse {
    std::string Target; ///< key of the used unit
    bool Interface = false;
    int Line = 0;
    std::string File;
};
struct ResultUnit {
    std::string Key;
    std::string FileName;
    std::optional<std::int64_t> Size;
    std::vector<ResultUse> Uses;
    const TUnit* Unit = nullptr;
};

class UnitGraph {
  public:
    /// Nodes in key order (case-insensitive, as the registry sorts); edges to keys that are
    /// not among the units are dropped. `rootKey` names the project (none: no root).
    UnitGraph(std::vector<ResultUnit> units, std::string_view rootKey, bool hasSizes);
    UnitGraph() = default;
    // Why-paths point into a graph's edges: a graph is moved, never copied by accident.
    UnitGraph(UnitGraph&&) = default;
    UnitGraph& operator=(UnitGraph&&) = default;
    UnitGraph(const UnitGraph&) = delete;
    UnitGraph& operator=(const UnitGraph&) = delete;

    const std::vector<GraphNode>& Nodes() const { return FNodes; }
    const GraphNode& Node(int i) const { return FNodes[static_cast<size_t>(i)]; }
    int Count() const { return static_cast<int>(FNodes.size()); }
    /// The project's node, or -1.
    int Root() const { return FRoot; }
    /// The map file gave sizes.
    bool HasSizes() const { return FHasSizes; }

    /// The node of a key, compared without regard to case; -1 when there is none.
    int Find(std::string_view key) const;
    /// The node of a scan's record; -1 when it is not in the graph.
    int NodeOf(const TUnit* unit) const;
    /// The file that holds `edge` of `from`.
    const std::string& SiteFile(int from, const UseEdge& edge) const {
        return edge.File < 0 ? Node(from).FileName : FIncludeFiles[edge.File];
    }

  private:
    friend UnitGraph BuildUnitGraph(const ProjectScan& scan);
    /// Appends a node and indexes its key; false when the key is taken.
    bool AddNode(GraphNode node);
    /// Sizes the key table for `count` keys.
    void ReserveKeys(size_t count);
    /// The slot that holds `key` (of hash `hash`), or the empty slot where it would go.
    size_t KeySlot(std::string_view key, std::uint64_t hash) const;
    /// Appends an edge unless `from` already uses `edge.To`; `lastUser` holds, per node, the
    /// last node given an edge to it.
    static void AddEdge(GraphNode& from, int fromIndex, UseEdge edge, std::vector<int>& lastUser);
    /// The number of an include file's name; -1 for an empty name.
    int IncludeFile(const std::string& fileName);

    std::vector<GraphNode> FNodes;
    /// Key -> node without regard to case: open addressing with linear probing in a table
    /// at most half full, so a lookup reads one array instead of chasing list nodes (names
    /// are looked up once per uses entry).
    struct KeyEntry {
        std::uint32_t Tag = 0; ///< the high half of the key's hash
        int Node = -1;         ///< -1: empty
    };
    std::vector<KeyEntry> FKeys;
    /// Record -> node; built by the first NodeOf, since only the views ask for it.
    mutable std::unordered_map<const TUnit*, int> FByUnit;
    /// The include files that hold uses entries, each once (edges refer to them by index).
    std::vector<std::string> FIncludeFiles;
    std::unordered_map<std::string, int> FIncludeIndex;
    int FRoot = -1;
    bool FHasSizes = false;
};

/// The graph of the scan's registry: every parsed unit, its uses entries whose name is not
/// ignored and is a registry key, and the map file's sizes (by key, else by unit name).
UnitGraph BuildUnitGraph(const ProjectScan& scan);

/// The edges of a graph in compressed rows: the targets of node i are
/// Targets[Offsets[i] .. Offsets[i + 1]).
struct Adjacency {
    std::vector<int> Offsets;
    std::vector<int> Targets;
    int Count() const { return static_cast<int>(Offsets.size()) - 1; }
};
/// Forward edges; with `interfaceOnly` only interface entries.
Adjacency ForwardEdges(const UnitGraph& graph, bool interfaceOnly = false);
/// Every edge turned round: the rows list the units that use each unit.
Adjacency ReverseEdges(const UnitGraph& graph);

} // namespace ut
