#include "report/GroupedDot.h"

#include "report/DotExport.h"

#include <cstdint>

namespace ut::report {

std::string ExportGroupedDot(DependencyMatrix& matrix,
                             const std::function<std::string(const std::string&)>& text) {
    matrix.SetAllExpanded(false);
    const UnitGraph& graph = matrix.Graph();
    std::vector<std::string> names(static_cast<size_t>(matrix.LineCount()));
    std::string out = "digraph groups {\n  node [shape=box];\n";
    for (int i = 0; i < matrix.LineCount(); ++i) {
        const int g = matrix.Line(i).Group;
        const std::string& name = matrix.Grouping().Names[g];
        names[i] = DotEscaped(text ? text(name) : name);
        const std::vector<int>& members = matrix.Members(g);
        std::string label = names[i] + "\\n" + std::to_string(members.size()) +
                            (members.size() == 1 ? " unit" : " units");
        if (graph.HasSizes()) {
            std::int64_t bytes = 0;
            for (const int v : members)
                bytes += graph.Node(v).Size.value_or(0);
            label += ", " + std::to_string(bytes) + " bytes";
        }
        out += "  \"" + names[i] + "\" [label=\"" + label + "\"" +
               (matrix.BlockOf(i) >= 0 ? ", color=red" : "") + "];\n";
    }
    for (int row = 0; row < matrix.LineCount(); ++row) {
        matrix.ForEachCell(row, row, 0, matrix.LineCount() - 1, [&](int, int column, MatrixCell c) {
            if (column == row)
                return;
            out += "  \"" + names[row] + "\" -> \"" + names[column] + "\" [label=\"" +
                   std::to_string(c.Total()) + "\"";
            if (c.Interface == 0)
                out += ", style=dashed";
            if (matrix.BlockOf(row) >= 0 && matrix.BlockOf(row) == matrix.BlockOf(column))
                out += ", color=red";
            out += "];\n";
        });
    }
    return out + "}\n";
}

} // namespace ut::report
