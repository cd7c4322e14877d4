#pragma once
// The dependency structure matrix of a uses graph: its rows and columns are the same lines,
// a cell counts the uses entries that lead from its row's units to its column's. The lines
// are the units in level order (each after what it uses, a cycle as one block), or groups of
// units: the groups in the level order of the graph between groups, a collapsed group one
// line whose cells add up its members', an expanded group its members in level order.
#include "analysis/UnitGraph.h"
#include "analysis/UnitGroups.h"

#include <functional>
#include <vector>

namespace ut {

/// The uses entries behind one cell, by section.
struct MatrixCell {
    int Interface = 0;
    int Implementation = 0;
    int Total() const { return Interface + Implementation; }
    bool operator==(const MatrixCell&) const = default;
};

/// One row (and the column of the same number).
struct MatrixLine {
    int Group = -1; ///< its group; -1 without grouping
    int Node = -1;  ///< its unit; -1 for a collapsed group
};

/// Lines [First, Last] that form one cycle: of units, or of groups (a cycle between groups).
struct MatrixBlock {
    int First = 0;
    int Last = 0;
    bool Groups = false; ///< a cycle between groups rather than among units
};

/// One uses entry behind a cell.
struct MatrixEntry {
    int From = -1;
    const UseEdge* Edge = nullptr;
};

class DependencyMatrix {
  public:
    /// `graph` must outlive the matrix; `levels` are UnitLevels(graph). Every group starts
    /// collapsed; nodes the grouping leaves out are not shown.
    DependencyMatrix(const UnitGraph& graph, const std::vector<int>& levels,
                     UnitGrouping grouping = {});

    const UnitGraph& Graph() const { return FGraph; }
    const UnitGrouping& Grouping() const { return FGrouping; }
    /// The groups that have members, in level order of the graph between groups.
    const std::vector<int>& GroupOrder() const { return FGroupOrder; }
    /// A group's members in level order.
    const std::vector<int>& Members(int group) const { return FMembers[group]; }

    bool Expanded(int group) const { return FExpanded[group]; }
    void SetExpanded(int group, bool expanded);
    /// Every group expanded (or collapsed) at once.
    void SetAllExpanded(bool expanded);

    int LineCount() const { return static_cast<int>(FLines.size()); }
    const MatrixLine& Line(int i) const { return FLines[i]; }
    /// The line that shows the node (its own, or its collapsed group's); -1 when none does.
    int LineOfNode(int node) const { return FLineOfNode[node]; }
    /// The first line of a group (its line, or its first member's); -1 for an empty group.
    int FirstLineOfGroup(int group) const { return FFirstLineOfGroup[group]; }

    MatrixCell Cell(int row, int column) const;
    /// Calls `visit` for every cell that counts an entry within rows [firstRow, lastRow] and
    /// columns [firstColumn, lastColumn], row by row, columns ascending.
    void ForEachCell(int firstRow, int lastRow, int firstColumn, int lastColumn,
                     const std::function<void(int row, int column, MatrixCell)>& visit) const;
    /// The uses entries behind a cell: by using unit in line order, then in source order.
    std::vector<MatrixEntry> Entries(int row, int column) const;

    /// The cycles as contiguous blocks, by first line.
    const std::vector<MatrixBlock>& Blocks() const { return FBlocks; }
    /// The block that holds a line, or -1.
    int BlockOf(int line) const { return FBlockOf[line]; }

  private:
    void OrderGroups(const std::vector<int>& unitOrder);
    void Rebuild();

    const UnitGraph& FGraph;
    UnitGrouping FGrouping;
    std::vector<int> FUnitOrder;  ///< every node in level order
    std::vector<int> FComponent;  ///< per node: its strong component
    std::vector<bool> FCyclic;    ///< per component: it holds a cycle
    std::vector<int> FGroupOrder; ///< groups with members, in level order
    std::vector<int> FGroupCycle; ///< per group: its cycle between groups, or -1
    std::vector<std::vector<int>> FMembers;
    std::vector<bool> FExpanded;
    std::vector<MatrixLine> FLines;
    std::vector<int> FLineOfNode;
    std::vector<int> FFirstLineOfGroup;
    /// Per row: the columns that count an entry, ascending, with their counts.
    std::vector<std::vector<std::pair<int, MatrixCell>>> FRows;
    std::vector<MatrixBlock> FBlocks;
    std::vector<int> FBlockOf;
};

} // namespace ut
