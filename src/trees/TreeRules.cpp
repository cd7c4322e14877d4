#include "trees/TreeRules.h"

#include "support/Textutil.h"

#include <algorithm>
#include <optional>
#include <unordered_set>

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

std::string Folded(const std::string& name) {
    std::string folded(name);
    for (char& c : folded)
        c = static_cast<char>(UpperFold(static_cast<unsigned char>(c)));
    return folded;
}

// Every name that some unit's Uses holds, folded: whether a unit is used by any other is then
// one look-up instead of a pass over every unit's list.
std::unordered_set<std::string> UsedNames(const UnitRegistry& units) {
    std::unordered_set<std::string> names;
    for (int i = 0; i < units.Count(); ++i) {
        const TStringList& uses = units.Objects(i)->Uses;
        for (int j = 0; j < uses.Count(); ++j)
            names.insert(Folded(uses[j]));
    }
    return names;
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
            TUnit* child = ignored ? nullptr : FScan.FindUnit(name);
            if (!child && !FFilters.ShowUnknown)
                continue;
            TreeNodeSpec node;
            node.Text = name;
            node.Data.Unit = child;
            node.Data.Repeat = child && OnPath(path, child);
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
        std::optional<std::unordered_set<std::string>> used; // made for the first child
        for (int i = 0; i < FScan.FUnits.Count(); ++i) {
            if (!FFilters.ShowIgnored && FScan.IsIgnored(FScan.FUnits[i]))
                continue;
            TUnit* user = FScan.FUnits.Objects(i).get();
            if (IndexOfText(user->Uses, key) < 0)
                continue;
            TreeNodeSpec node;
            node.Text = user->UnitName;
            node.Data.Unit = user;
            node.Data.Repeat = OnPath(path, user);
            if (node.Data.Repeat)
                node.Image = NodeImage::UnitDisa;
            else
                node.Image = user == FScan.FProject ? NodeImage::Project : NodeImage::Unit;
            node.FormOverlay = user->HasForm;
            if (!node.Data.Repeat) {
                if (!used)
                    used = UsedNames(FScan.FUnits);
                node.HasPlaceholder = used->count(Folded(user->UnitName)) != 0;
            }
            children.push_back(std::move(node));
        }
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
            if (IndexOfText(FScan.FUnits.Objects(i)->Uses, unit.UnitName) >= 0)
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
