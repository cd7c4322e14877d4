#include "analysis/UnitGroups.h"

#include "platform/FileSystem.h"
#include "support/Textutil.h"

#include <algorithm>
#include <map>
#include <unordered_map>

namespace ut {

namespace {

constexpr const char* Names[] = {"none", "folder", "scope", "package"};

// The directory of `file` relative to `base` (a directory with its trailing delimiter);
// "." for `base` itself, the full directory outside it.
std::string FolderOf(const std::string& file, const std::string& base) {
    const std::string dir = fs::ExtractFilePath(file);
    if (dir.empty())
        return ".";
    if (!base.empty() && dir.size() >= base.size() &&
        fs::SamePath(dir.substr(0, base.size()), base)) {
        std::string rest = fs::ExcludeTrailingPathDelimiter(dir.substr(base.size()));
        std::replace(rest.begin(), rest.end(), '\\', '/');
        return rest.empty() ? "." : rest;
    }
    return fs::ExcludeTrailingPathDelimiter(dir);
}

std::string ScopeOf(const std::string& key) {
    const size_t dot = key.find('.');
    return dot == std::string::npos ? "(no scope)" : key.substr(0, dot + 1);
}

} // namespace

const char* GroupByName(GroupBy by) {
    return Names[static_cast<int>(by)];
}

std::optional<GroupBy> GroupByOfName(std::string_view name) {
    for (int i = 0; i < 4; ++i)
        if (SameText(name, Names[i]))
            return static_cast<GroupBy>(i);
    return std::nullopt;
}

UnitGrouping GroupUnits(const UnitGraph& graph, GroupBy by,
                        const std::vector<PackageContents>& packages) {
    UnitGrouping g;
    if (by == GroupBy::None)
        return g;
    // Package: each key goes to the first package that names it.
    std::unordered_map<std::string, std::string, FoldedHash, FoldedEqual> packageOf;
    for (const PackageContents& p : packages)
        for (const std::string& unit : p.Units)
            packageOf.emplace(unit, p.Name);
    const std::string base =
        graph.Root() < 0 ? std::string() : fs::ExtractFilePath(graph.Node(graph.Root()).FileName);
    std::vector<std::string> nameOf(static_cast<size_t>(graph.Count()));
    for (int v = 0; v < graph.Count(); ++v) {
        const GraphNode& n = graph.Node(v);
        if (by == GroupBy::Folder) {
            nameOf[v] = FolderOf(n.FileName, base);
        } else if (by == GroupBy::Scope) {
            nameOf[v] = ScopeOf(n.Key);
        } else {
            const auto it = packageOf.find(n.Key);
            nameOf[v] = it == packageOf.end() ? "(no package)" : it->second;
        }
    }
    // Exact names, in the order of the folded ones: two folders may differ in case alone.
    g.Names = nameOf;
    std::sort(g.Names.begin(), g.Names.end(), [](const std::string& a, const std::string& b) {
        const int c = AnsiCompareText(a, b);
        return c != 0 ? c < 0 : a < b;
    });
    g.Names.erase(std::unique(g.Names.begin(), g.Names.end()), g.Names.end());
    std::map<std::string, int> index;
    for (size_t i = 0; i < g.Names.size(); ++i)
        index.emplace(g.Names[i], static_cast<int>(i));
    g.GroupOf.resize(nameOf.size());
    for (size_t v = 0; v < nameOf.size(); ++v)
        g.GroupOf[v] = index[nameOf[v]];
    return g;
}

} // namespace ut
