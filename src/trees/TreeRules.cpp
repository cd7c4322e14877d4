#include "trees/TreeRules.h"

#include "support/Textutil.h"

#include <algorithm>
#include <string_view>
#include <unordered_map>

namespace ut {

namespace {

bool OnPath(const std::vector<const TUnit*>& path, const TUnit* unit) {
    return std::find(path.begin(), path.end(), unit) != path.end();
}

unsigned char Up(unsigned char c) {
    return (c >= 'a' && c <= 'z') ? c - 32 : c;
}

// Letters a to z count as upper case; no locale rules; then the shorter string first.
int CompareAsciiUpper(const std::string& a, const std::string& b) {
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        const unsigned char ca = Up(static_cast<unsigned char>(a[i]));
        const unsigned char cb = Up(static_cast<unsigned char>(b[i]));
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

// The first entry of `user`'s uses that names the unit `name`, directly or through a unit
// scope; -1 for none.
int UsesEntry(const ProjectScan& scan, const TUnit& user, std::string_view name) {
    for (int i = 0; i < user.Uses.Count(); ++i)
        if (FoldedEqual()(scan.ResolvedName(user.Uses[i]), name))
            return i;
    return -1;
}

// Marks, for each of `names`, whether some unit's Uses holds it: one pass over every uses
// list, ending as soon as every name is found.
void MarkUsedNames(const ProjectScan& scan,
                   std::unordered_map<std::string_view, bool, FoldedHash, FoldedEqual>& names) {
    const UnitRegistry& units = scan.FUnits;
    size_t left = names.size();
    for (int i = 0; i < units.Count() && left > 0; ++i) {
        const TStringList& uses = units.Objects(i)->Uses;
        for (int j = 0; j < uses.Count() && left > 0; ++j) {
            const auto it = names.find(scan.ResolvedName(uses[j]));
            if (it != names.end() && !it->second) {
                it->second = true;
                --left;
            }
        }
    }
}

} // namespace

const char* ImageName(NodeImage image) {
    switch (image) {
    case NodeImage::Unit:
        return "Unit";
    case NodeImage::Project:
        return "Project";
    case NodeImage::UnitDisa:
        return "Unit_Disa";
    case NodeImage::UnitIntf:
        return "Unit_Intf";
    }
    return "Unit";
}

std::vector<TreeNodeSpec> TreeRules::Roots(int direction) const {
    std::vector<TreeNodeSpec> roots;
    if (!FScan.FProject)
        return roots;
    if (direction == tdUses) {
        TreeNodeSpec root;
        root.Text = FScan.FProject->UnitName;
        root.Data.Unit = FScan.FProject;
        root.Image = NodeImage::Project;
        root.HasPlaceholder = true;
        roots.push_back(std::move(root));
    } else if (direction == tdUsedBy) {
        for (int i = 0; i < FScan.FUnits.Count(); ++i) {
            TUnit* unit = FScan.FUnits.Objects(i).get();
            TreeNodeSpec node;
            node.Text = FScan.FUnits[i];
            node.Data.Unit = unit;
            node.Image = NodeImage::Unit;
            node.FormOverlay = unit->HasForm;
            node.HasPlaceholder = true;
            roots.push_back(std::move(node));
        }
    }
    return roots;
}

std::vector<TreeNodeSpec> TreeRules::Children(const TUnit& unit, int direction,
                                              const std::vector<const TUnit*>& path) const {
    std::vector<TreeNodeSpec> children;
    if (direction == tdUses) {
        for (int i = 0; i < unit.Uses.Count(); ++i) {
            const std::string& name = unit.Uses[i];
            const bool intf = unit.Uses.Objects(i) != 0;
            const bool ignored = FScan.IsIgnored(name);
            if (ignored && !FFilters.ShowIgnored)
                continue;
            TUnit* child = ignored ? nullptr : FScan.FindUsedUnit(name);
            if (!child && !FFilters.ShowUnknown)
                continue;
            TreeNodeSpec node;
            node.Text = name;
            node.Entry = i;
            node.Data.Unit = child;
            node.Data.Repeat = child && OnPath(path, child);
            if (const std::string& as = FScan.ResolvedName(name); child && as != name)
                node.ResolvedAs = as;
            if (!child)
                node.Image = NodeImage::UnitDisa;
            else
                node.Image = intf ? NodeImage::UnitIntf : NodeImage::Unit;
            node.FormOverlay = child && child->HasForm;
            node.HasPlaceholder = child && !node.Data.Repeat && CanExpand(*child, tdUses);
            children.push_back(std::move(node));
        }
    } else if (direction == tdUsedBy) {
        const std::string& key = unit.UnitName;
        // Whether a user can expand in turn: whether any unit uses it, learnt for all the
        // users at once after they are known.
        std::unordered_map<std::string_view, bool, FoldedHash, FoldedEqual> used;
        for (int i = 0; i < FScan.FUnits.Count(); ++i) {
            if (!FFilters.ShowIgnored && FScan.IsIgnored(FScan.FUnits[i]))
                continue;
            TUnit* user = FScan.FUnits.Objects(i).get();
            const int entry = UsesEntry(FScan, *user, key);
            if (entry < 0)
                continue;
            TreeNodeSpec node;
            node.Entry = entry;
            node.Text = user->UnitName;
            node.Data.Unit = user;
            node.Data.Repeat = OnPath(path, user);
            if (node.Data.Repeat)
                node.Image = NodeImage::UnitDisa;
            else
                node.Image = user == FScan.FProject ? NodeImage::Project : NodeImage::Unit;
            node.FormOverlay = user->HasForm;
            if (!node.Data.Repeat)
                used.emplace(user->UnitName, false);
            children.push_back(std::move(node));
        }
        MarkUsedNames(FScan, used);
        for (TreeNodeSpec& node : children)
            if (!node.Data.Repeat)
                node.HasPlaceholder = used.at(node.Data.Unit->UnitName);
    }
    return children;
}

bool TreeRules::CanExpand(const TUnit& unit, int direction) const {
    if (direction == tdUses) {
        if (unit.Uses.Count() == 0)
            return false;
        if (FFilters.ShowIgnored)
            return true;
        for (int i = 0; i < unit.Uses.Count(); ++i)
            if (!FScan.IsIgnored(unit.Uses[i]))
                return true;
        return false;
    }
    if (direction == tdUsedBy) {
        for (int i = 0; i < FScan.FUnits.Count(); ++i)
            if (UsesEntry(FScan, *FScan.FUnits.Objects(i), unit.UnitName) >= 0)
                return true;
        return false;
    }
    return true;
}

int CompareNodes(int key, const NodeData& n1, const std::string& text1, const NodeData& n2,
                 const std::string& text2, const UnitSizes& sizes) {
    if (key == 0)
        return 0;
    const TUnit* u1 = n1.Unit;
    const TUnit* u2 = n2.Unit;
    int result = 0;
    if (!u1 || !u2) {
        // Bare names and placeholders have only their text: after the units, by text.
        if (u1)
            result = -1;
        else if (u2)
            result = 1;
        else
            result = CompareAsciiUpper(text1, text2);
    } else {
        switch (key < 0 ? -key : key) {
        case 1:
            result = CompareAsciiUpper(u1->UnitName, u2->UnitName);
            break;
        case 2:
            result = CompareAsciiUpper(u1->FileName, u2->FileName);
            break;
        case 3: {
            auto size = [&sizes](const TUnit* u) -> std::int64_t {
                int i = 0;
                return sizes.Find(u->UnitName, i) ? sizes.Objects(i) : 0;
            };
            const std::int64_t d = size(u2) - size(u1);
            result = d < 0 ? -1 : (d > 0 ? 1 : 0);
            break;
        }
        default:
            result = 0;
        }
    }
    return key < 0 ? -result : result;
}

int NextSortKey(int currentKey, int section) {
    const int k = section + 1;
    return currentKey == k ? -k : k;
}

} // namespace ut
