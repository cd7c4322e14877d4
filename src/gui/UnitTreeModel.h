#pragma once
// A lazy item model over the tree rules: the items hold the node data and refer to the units
// that the scan owns; a level is built when its parent is expanded (fetchMore) and thrown
// away again when the parent collapses. Six columns: the node's text, "Location", "Size",
// "Exclusive" (the bytes that leave the program with the unit), "Recompile" (the other units
// a change to its interface recompiles) and "Level" (its level in the graph of components).
// Units of a cycle are drawn in the cycle colours, with the cycle named in their tooltip.
// A node that stands for a uses entry shows the entry's verdict, when the entries are judged,
// as a badge and a tooltip.
#include "trees/TreeRules.h"

#include <QAbstractItemModel>
#include <QColor>

#include <memory>
#include <string>
#include <vector>

namespace ut::gui {

class ScanAnalysis;
class ScanHygiene;
class ScanRules;

class UnitTreeModel : public QAbstractItemModel {
    Q_OBJECT
  public:
    enum Column {
        NameColumn = 0,
        LocationCol = 1,
        SizeCol = 2,
        ExclusiveCol = 3,
        RecompileCol = 4,
        LevelCol = 5,
        ColumnCount = 6
    };
    /// The columns whose numbers come from the analysis (and sort the largest first, like
    /// the size).
    static bool IsAnalysisColumn(int column) {
        return column >= ExclusiveCol && column <= LevelCol;
    }

    /// The name colour of a unit in a cycle, and in a cycle the compiler rejects.
    static QColor CycleColor() { return QColor(204, 102, 0); }
    static QColor InterfaceCycleColor() { return QColor(192, 0, 0); }

    /// `scan` and `filters` must outlive the model; `direction` is tdUses or tdUsedBy.
    UnitTreeModel(const ProjectScan& scan, const TreeFilters& filters, int direction,
                  QObject* parent = nullptr);
    ~UnitTreeModel() override;

    int Direction() const { return FDirection; }
    /// Where the cycles and the analysis columns come from; without one (nullptr) none is
    /// shown.
    void SetAnalysis(ScanAnalysis* analysis) { FAnalysis = analysis; }
    /// Where the verdicts on the uses entries come from; without one (nullptr) none is shown.
    void SetHygiene(const ScanHygiene* hygiene) { FHygiene = hygiene; }
    /// The name colour of a uses entry that breaks a rule.
    static QColor ViolationColor() { return QColor(Qt::red); }
    /// Where the rules' verdict comes from: a node whose uses entry (from its parent, or
    /// in the used-by direction to it) breaks a rule is drawn in ViolationColor, the rules
    /// named in its tooltip. Without one (nullptr) nothing is marked.
    void SetRules(ScanRules* rules) { FRules = rules; }
    /// The rules the uses entry of a node breaks (ScanRules::EntryNote); empty for none.
    QString EntryNote(const QModelIndex& index) const;

    /// Adds the first level when the tree has no nodes; false when nothing was added.
    bool BuildRoots();
    /// Replaces the nodes by one root for `unit` (a detail window's tree): its UnitName,
    /// image "Unit" whatever the unit, the form overlay, and always a placeholder.
    void BuildUnitRoot(TUnit& unit);
    /// Removes every node.
    void Clear();
    bool IsEmpty() const { return FRoots.empty(); }

    /// The node data of an index (none for an invalid index).
    NodeData Data(const QModelIndex& index) const;
    /// The unit of a node whatever its repeat mark; nullptr for bare names.
    TUnit* NodeUnit(const QModelIndex& index) const { return Data(index).Unit; }
    QString NodeText(const QModelIndex& index) const;
    /// Whether the node carries the form overlay (its unit has a form).
    bool HasFormOverlay(const QModelIndex& index) const;
    /// Whether the children of the node have been built (a node with a pending placeholder
    /// has none built).
    bool ChildrenBuilt(const QModelIndex& index) const;

    /// Discards the children of a collapsed node; an ordinary node gets its placeholder back
    /// so that the next expansion rebuilds them under the rules in force then.
    void Collapse(const QModelIndex& index);

    /// The key of the tree's sort order (0 natural order; +-(column + 1); an analysis column,
    /// like the size, sorts the largest first for a positive key); applied to every level built
    /// later. Setting it does not re-sort: call SortTree.
    int SortKey() const { return FSortKey; }
    void SetSortKey(int key) { FSortKey = key; }
    /// Sorts the top level and every built level under the key; a key of 0 keeps the order.
    void SortTree();

    /// Deletes every node of `unit` (ordinary or repeat) together with its subtree.
    void RemoveUnitNodes(const TUnit* unit);

    // QAbstractItemModel
    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    bool hasChildren(const QModelIndex& parent = {}) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    /// Deletes nodes with their subtrees.
    bool removeRows(int row, int count, const QModelIndex& parent = {}) override;

  private:
    struct Item;
    using ItemList = std::vector<std::unique_ptr<Item>>;

    Item* ItemOf(const QModelIndex& index) const;
    QModelIndex IndexOf(const Item* item, int column = 0) const;
    ItemList& ChildList(Item* parent);
    std::unique_ptr<Item> MakeItem(TreeNodeSpec node, Item* parent) const;
    void Renumber(ItemList& list, size_t from = 0);
    /// The unit whose uses entry the item stands for; nullptr when it stands for none.
    const TUnit* EntryOwner(const Item* item) const;
    /// The verdict badge and tooltip of the item's entry; null strings without a verdict.
    QString EntryBadge(const Item* item) const;
    QString EntryTip(const Item* item) const;
    void SortList(ItemList& list, bool deep);
    void RemoveUnitNodesBelow(Item* top, const TUnit* unit);
    /// Removes the nodes of `unit` from the children of `parent`; the others go to `kept`.
    void RemoveUnitNodesFrom(Item* parent, const TUnit* unit, std::vector<Item*>& kept);

    const ProjectScan& FScan;
    const TreeFilters& FFilters;
    const int FDirection;
    ScanAnalysis* FAnalysis = nullptr;
    const ScanHygiene* FHygiene = nullptr;
    ScanRules* FRules = nullptr;
    int FSortKey = 0;
    /// Set while new rows are being announced: a receiver of those signals cannot start a
    /// nested fetch of the new rows' children.
    bool FInserting = false;
    ItemList FRoots;
};

} // namespace ut::gui
