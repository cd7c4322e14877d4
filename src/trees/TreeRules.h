#pragma once
// The rules of the "Uses" and "Used by" trees, free of any widget: which nodes a level has,
// what they look like, whether a node can be expanded, and the sort order of siblings. The
// GUI's tree model and the command-line text tree both build from these.
#include "scan/ProjectScan.h"

#include <string>
#include <vector>

namespace ut {

/// The direction of a tree (its tag): 1 the units a unit uses, 2 the units using it.
enum TreeDirection : int { tdUses = 1, tdUsedBy = 2 };

/// The named images of the node list.
enum class NodeImage { Unit, Project, UnitDisa, UnitIntf };
const char* ImageName(NodeImage image);
/// The overlay drawn on a node whose unit has a form.
inline constexpr const char* FormOverlayName = "FormOver";

enum class NodeKind { Ordinary, Repeat, BareName, Placeholder };

/// What a node refers to: a unit (or none) and the repeat mark.
struct NodeData {
    TUnit* Unit = nullptr;
    bool Repeat = false;
    bool Placeholder = false;

    NodeKind Kind() const {
        if (Placeholder)
            return NodeKind::Placeholder;
        if (!Unit)
            return NodeKind::BareName;
        return Repeat ? NodeKind::Repeat : NodeKind::Ordinary;
    }
};

/// One node to create: text, data, image, form overlay, and whether it gets a placeholder.
struct TreeNodeSpec {
    std::string Text;
    NodeData Data;
    NodeImage Image = NodeImage::Unit;
    bool FormOverlay = false;
    bool HasPlaceholder = false;
    /// The unit a uses entry reached through a unit scope ("Vcl.Forms" for a node "Forms");
    /// empty when it needed none.
    std::string ResolvedAs;
    /// The uses entry the node stands for: in the uses direction an index into the parent
    /// unit's Uses, in the used-by direction into the node's own unit's Uses; -1 for none.
    int Entry = -1;
};

struct TreeFilters {
    bool ShowIgnored = true; ///< names on the ignored-units list get nodes
    bool ShowUnknown = true; ///< names without a file get nodes (off hides ignored ones too)
};

class TreeRules {
  public:
    TreeRules(const ProjectScan& scan, const TreeFilters& filters)
        : FScan(scan), FFilters(filters) {}

    /// The top level: the project for the uses tree, every parsed unit for the used-by tree.
    /// Empty before a scan.
    std::vector<TreeNodeSpec> Roots(int direction) const;

    /// The children of an ordinary node for `unit`; `path` holds the units of the node
    /// itself and of all its ancestors (a unit on it becomes a repeat node).
    std::vector<TreeNodeSpec> Children(const TUnit& unit, int direction,
                                       const std::vector<const TUnit*>& path) const;

    /// Whether a node for `unit` gets a placeholder in `direction`.
    bool CanExpand(const TUnit& unit, int direction) const;

  private:
    const ProjectScan& FScan;
    const TreeFilters& FFilters;
};

/// Sort order of two sibling nodes under key `key` (0 natural, +-1 name, +-2 file, +-3 size
/// with the largest first). Nodes without a unit compare by their text and sort after units.
int CompareNodes(int key, const NodeData& n1, const std::string& text1, const NodeData& n2,
                 const std::string& text2, const UnitSizes& sizes);

/// Next sort key after a click on header section `section` (0 name, 1 location, 2 size).
int NextSortKey(int currentKey, int section);

} // namespace ut
