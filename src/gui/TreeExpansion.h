#pragma once
// Whole-branch operations on a dependency tree: expanding everything below a node (stopped
// by Escape) and pruning an expanded branch to form units.
#include <QModelIndex>

#include <functional>

namespace ut::gui {

class TreePage;

/// Called with each node right after it has been expanded.
using NodeAction = std::function<void(const QModelIndex& node)>;

/// Expands `node` and, depth first, every ordinary node below it, each level
/// through the tree's lazy expansion; repeat nodes are never expanded, so every cycle ends.
/// An Escape press after the start stops it after the current child; what was expanded
/// stays. The tree is repainted once at the end, with `node` scrolled to the top. Returns
/// false when Escape stopped it.
bool ExpandAll(TreePage& page, const QModelIndex& node, const NodeAction& onExpanded = {});

/// Below an expanded `node`, deletes every child that is not a form unit
/// (with its subtree) and prunes expanded form units in turn; collapsed ones stay as they
/// are. Does nothing on a collapsed node.
void KeepOnlyForms(TreePage& page, const QModelIndex& node);

} // namespace ut::gui
