#include "cli/TextTree.h"

#include "mapfile/MapFile.h"

namespace ut::cli {

namespace {

struct Printer {
    const ProjectScan& scan;
    const TreeRules& rules;
    int direction;
    int depth;
    TColumnContext columns;
    std::string out;

    void Node(const TreeNodeSpec& node, int level, std::vector<const TUnit*>& path) {
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
        if (!node.HasPlaceholder || level >= depth || !node.Data.Unit)
            return;
        path.push_back(node.Data.Unit);
        for (const TreeNodeSpec& child : rules.Children(*node.Data.Unit, direction, path))
            Node(child, level + 1, path);
        path.pop_back();
    }
};

} // namespace

std::string FormatTree(const ProjectScan& scan, const TreeFilters& filters, int direction,
                       int depth) {
    TreeRules rules(scan, filters);
    Printer p{scan, rules, direction, depth, scan.ColumnContext(), {}};
    std::vector<const TUnit*> path;
    for (const TreeNodeSpec& root : rules.Roots(direction))
        p.Node(root, 0, path);
    return p.out;
}

} // namespace ut::cli
