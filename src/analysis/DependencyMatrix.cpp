#include "analysis/DependencyMatrix.h"

#include "analysis/Cycles.h"
#include "analysis/Levels.h"

#include <algorithm>
#include <cstdio>
#include <tuple>

namespace ut {

DependencyMatrix::DependencyMatrix(const UnitGraph& graph, const std::vector<int>& levels,
                                   UnitGrouping grouping)
    : FGraph(graph), FGrouping(std::move(grouping)) {
    const Adjacency edges = ForwardEdges(graph);
    FComponent = StrongComponents(edges);
    std::vector<int> size(FComponent.size(), 0);
    FCyclic.assign(FComponent.size(), false);
    for (int v = 0; v < graph.Count(); ++v) {
        if (++size[FComponent[v]] > 1)
            FCyclic[FComponent[v]] = true;
        for (int k = edges.Offsets[v]; k < edges.Offsets[v + 1]; ++k)
            if (edges.Targets[k] == v)
                FCyclic[FComponent[v]] = true;
    }
    FUnitOrder = LevelOrder(graph, levels);
    const std::vector<int>& unitOrder = FUnitOrder;
    if (FGrouping.Grouped()) {
        FMembers.resize(FGrouping.Names.size());
        for (const int v : unitOrder)
            if (const int g = FGrouping.GroupOf[v]; g >= 0)
                FMembers[g].push_back(v);
        OrderGroups(unitOrder);
    }
    FExpanded.assign(FGrouping.Names.size(), false);
    Rebuild();
}

// The groups as units of a graph of their own, whose edges are the entries between them:
// its level order puts each group after the groups it uses, a cycle of groups as one block.
void DependencyMatrix::OrderGroups(const std::vector<int>& unitOrder) {
    const size_t count = FGrouping.Names.size();
    std::vector<std::vector<int>> targets(count);
    for (const int v : unitOrder) {
        const int from = FGrouping.GroupOf[v];
        if (from < 0)
            continue;
        for (const UseEdge& e : FGraph.Node(v).Uses)
            if (const int to = FGrouping.GroupOf[e.To]; to >= 0 && to != from)
                targets[from].push_back(to);
    }
    std::vector<ResultUnit> groups(count);
    auto key = [](size_t g) {
        char text[24];
        std::snprintf(text, sizeof text, "%010zu", g);
        return std::string(text);
    };
    for (size_t g = 0; g < count; ++g) {
        groups[g].Key = key(g);
        std::sort(targets[g].begin(), targets[g].end());
        targets[g].erase(std::unique(targets[g].begin(), targets[g].end()), targets[g].end());
        for (const int to : targets[g])
            groups[g].Uses.push_back({key(static_cast<size_t>(to)), true, 0, {}});
    }
    // The keys sort as the group numbers do, so node g of the graph is group g.
    const UnitGraph groupGraph(std::move(groups), "", false);
    const std::vector<int> groupLevels = UnitLevels(groupGraph);
    for (const int g : LevelOrder(groupGraph, groupLevels))
        if (!FMembers[g].empty())
            FGroupOrder.push_back(g);
    FGroupCycle = FindCycles(groupGraph).CycleOf;
}

void DependencyMatrix::SetExpanded(int group, bool expanded) {
    if (group < 0 || group >= static_cast<int>(FExpanded.size()) || FExpanded[group] == expanded)
        return;
    FExpanded[group] = expanded;
    Rebuild();
}

void DependencyMatrix::SetAllExpanded(bool expanded) {
    FExpanded.assign(FExpanded.size(), expanded);
    Rebuild();
}

void DependencyMatrix::Rebuild() {
    FLines.clear();
    FLineOfNode.assign(static_cast<size_t>(FGraph.Count()), -1);
    FFirstLineOfGroup.assign(FGrouping.Names.size(), -1);
    if (!FGrouping.Grouped()) {
        for (const int v : FUnitOrder)
            FLines.push_back({-1, v});
    }
    for (const int g : FGroupOrder) {
        FFirstLineOfGroup[g] = LineCount();
        if (FExpanded[g])
            for (const int v : FMembers[g])
                FLines.push_back({g, v});
        else
            FLines.push_back({g, -1});
    }
    for (int i = 0; i < LineCount(); ++i) {
        if (FLines[i].Node >= 0)
            FLineOfNode[FLines[i].Node] = i;
        else
            for (const int v : FMembers[FLines[i].Group])
                FLineOfNode[v] = i;
    }

    FRows.assign(FLines.size(), {});
    for (int v = 0; v < FGraph.Count(); ++v) {
        const int row = FLineOfNode[v];
        if (row < 0)
            continue;
        for (const UseEdge& e : FGraph.Node(v).Uses)
            if (const int column = FLineOfNode[e.To]; column >= 0)
                FRows[row].push_back({column, e.Interface ? MatrixCell{1, 0} : MatrixCell{0, 1}});
    }
    for (auto& row : FRows) {
        std::sort(row.begin(), row.end(),
                  [](const auto& a, const auto& b) { return a.first < b.first; });
        size_t out = 0;
        for (size_t i = 0; i < row.size(); ++i) {
            if (out > 0 && row[out - 1].first == row[i].first) {
                row[out - 1].second.Interface += row[i].second.Interface;
                row[out - 1].second.Implementation += row[i].second.Implementation;
            } else {
                row[out++] = row[i];
            }
        }
        row.resize(out);
    }

    FBlocks.clear();
    FBlockOf.assign(FLines.size(), -1);
    // Cycles between groups: their groups stand together in the group order.
    std::vector<std::pair<int, int>> groupSpan; // per group cycle: first and last line
    for (int i = 0; i < LineCount(); ++i) {
        const int g = FLines[i].Group;
        const int cycle = g < 0 ? -1 : FGroupCycle[g];
        if (cycle < 0)
            continue;
        if (static_cast<int>(groupSpan.size()) <= cycle)
            groupSpan.resize(cycle + 1, {-1, -1});
        if (groupSpan[cycle].first < 0)
            groupSpan[cycle].first = i;
        groupSpan[cycle].second = i;
    }
    for (const auto& [first, last] : groupSpan)
        if (first >= 0)
            FBlocks.push_back({first, last, true});
    // Cycles among units: a block where all their units have lines of their own and stand
    // together (within one expanded group, or without groups).
    std::vector<int> low(FComponent.size(), -1), high(FComponent.size(), -1),
        shown(FComponent.size(), 0), members(FComponent.size(), 0);
    for (int v = 0; v < FGraph.Count(); ++v)
        ++members[FComponent[v]];
    for (int i = 0; i < LineCount(); ++i) {
        const int v = FLines[i].Node;
        if (v < 0 || !FCyclic[FComponent[v]])
            continue;
        const int c = FComponent[v];
        low[c] = low[c] < 0 ? i : std::min(low[c], i);
        high[c] = std::max(high[c], i);
        ++shown[c];
    }
    for (size_t c = 0; c < FComponent.size() && c < low.size(); ++c)
        if (low[c] >= 0 && shown[c] == members[c] && high[c] - low[c] + 1 == members[c])
            FBlocks.push_back({low[c], high[c], false});
    std::sort(FBlocks.begin(), FBlocks.end(), [](const MatrixBlock& a, const MatrixBlock& b) {
        return std::tie(a.First, b.Last) < std::tie(b.First, a.Last);
    });
    // A line in a cycle of units inside a cycle of groups belongs to the inner block.
    for (int b = 0; b < static_cast<int>(FBlocks.size()); ++b)
        for (int i = FBlocks[b].First; i <= FBlocks[b].Last; ++i)
            FBlockOf[i] = b;
}

MatrixCell DependencyMatrix::Cell(int row, int column) const {
    if (row < 0 || row >= LineCount())
        return {};
    const auto& cells = FRows[row];
    const auto it = std::lower_bound(cells.begin(), cells.end(), column,
                                     [](const auto& c, int col) { return c.first < col; });
    return it != cells.end() && it->first == column ? it->second : MatrixCell{};
}

void DependencyMatrix::ForEachCell(
    int firstRow, int lastRow, int firstColumn, int lastColumn,
    const std::function<void(int row, int column, MatrixCell)>& visit) const {
    firstRow = std::max(firstRow, 0);
    lastRow = std::min(lastRow, LineCount() - 1);
    for (int row = firstRow; row <= lastRow; ++row) {
        const auto& cells = FRows[row];
        auto it = std::lower_bound(cells.begin(), cells.end(), firstColumn,
                                   [](const auto& c, int col) { return c.first < col; });
        for (; it != cells.end() && it->first <= lastColumn; ++it)
            visit(row, it->first, it->second);
    }
}

std::vector<MatrixEntry> DependencyMatrix::Entries(int row, int column) const {
    std::vector<MatrixEntry> entries;
    if (row < 0 || row >= LineCount())
        return entries;
    const MatrixLine& line = FLines[row];
    auto add = [&](int v) {
        for (const UseEdge& e : FGraph.Node(v).Uses)
            if (FLineOfNode[e.To] == column)
                entries.push_back({v, &e});
    };
    if (line.Node >= 0)
        add(line.Node);
    else
        for (const int v : FMembers[line.Group])
            add(v);
    return entries;
}

} // namespace ut
