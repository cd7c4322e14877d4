#include "report/TextTree.h"

#include "mapfile/MapFile.h"

namespace ut::report {

namespace {

struct Printer {
    const ProjectScan& scan;
    const TreeRules& rules;
    int direction;
    int depth;
    TColumnContext columns;
    std::string out;

    void Line(const TreeNodeSpec& node, int level) {
        out.append(static_cast<size_t>(level) * 2, ' ');
        out += node.Text;
        const std::string* file = node.Data.Unit ? &node.Data.Unit->FileName : nullptr;
        const std::string location = GetColumnText(file, node.Text, LocationColumn, columns).Text;
        const std::string size = GetColumnText(file, node.Text, SizeColumn, columns).Text;
        std::string notes;
        auto note = [&notes](const std::string& s) {
            if (!s.empty())
                notes += (notes.empty() ? "" : ", ") + s;
        };
        if (!node.Data.Unit)
            note(scan.IsIgnored(node.Text) ? "ignored" : "unknown");
        if (!node.ResolvedAs.empty())
            note("resolved as " + node.ResolvedAs);
        if (node.Data.Repeat)
            note("repeat");
        if (node.FormOverlay)
            note("form");
        note(location);
        if (!size.empty())
            note(size + " bytes");
        if (!notes.empty())
            out += "  (" + notes + ")";
        out += '\n';
    }

    /// Prints `root` and its subtree depth first. The open levels are kept on a stack, not
    /// on the call stack: a uses chain is as deep as the project has units.
    void Tree(const TreeNodeSpec& root) {
        struct Level {
            std::vector<TreeNodeSpec> Children;
            size_t Next = 0;
        };
        std::vector<Level> levels;
        std::vector<const TUnit*> path;
        auto visit = [&](const TreeNodeSpec& node) {
            const int level = static_cast<int>(levels.size());
            Line(node, level);
            if (!node.HasPlaceholder || level >= depth || !node.Data.Unit)
                return;
            path.push_back(node.Data.Unit);
            levels.push_back({rules.Children(*node.Data.Unit, direction, path)});
        };
        visit(root);
        while (!levels.empty()) {
            Level& top = levels.back();
            if (top.Next == top.Children.size()) {
                levels.pop_back();
                path.pop_back();
                continue;
            }
            const TreeNodeSpec node = std::move(top.Children[top.Next++]);
            visit(node);
        }
    }
};

} // namespace

std::string FormatTree(const ProjectScan& scan, const TreeFilters& filters, int direction,
                       int depth) {
    TreeRules rules(scan, filters);
    Printer p{scan, rules, direction, depth, scan.ColumnContext(), {}};
    for (const TreeNodeSpec& root : rules.Roots(direction))
        p.Tree(root);
    return p.out;
}

} // namespace ut::report
