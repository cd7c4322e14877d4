#include "gui/UnitTreeModel.h"

#include "gui/NodeImages.h"
#include "gui/QtText.h"
#include "gui/ScanAnalysis.h"
#include "gui/ScanHygiene.h"
#include "gui/ScanRules.h"
#include "mapfile/MapFile.h"

#include <QIcon>
#include <QStringList>

#include <algorithm>
#include <cstdlib>
#include <optional>

namespace ut::gui {

namespace {

// The number a unit shows in an analysis column; none without an analysis or for a unit
// outside the graph (a bare name) or without a size.
std::optional<std::int64_t> AnalysisValue(const DependencyAnalysis* analysis, const TUnit* unit,
                                          int column) {
    if (!analysis || !unit)
        return std::nullopt;
    switch (column) {
    case UnitTreeModel::ExclusiveCol:
        return analysis->ExclusiveSize(unit);
    case UnitTreeModel::RecompileCol:
        return analysis->RecompileOf(unit);
    case UnitTreeModel::LevelCol:
        return analysis->LevelOf(unit);
    default:
        return std::nullopt;
    }
}

} // namespace

struct UnitTreeModel::Item {
    std::string Text;
    QString DisplayText;
    NodeData Data;
    NodeImage Image = NodeImage::Unit;
    bool FormOverlay = false;
    int Entry = -1; ///< the uses entry it stands for (TreeNodeSpec::Entry)
    /// The node stands for children not created yet (the placeholder of the tree).
    bool Pending = false;
    Item* Parent = nullptr;
    int Row = 0;
    ItemList Children;

    Item() = default;
    Item(const Item&) = delete;
    Item& operator=(const Item&) = delete;
    // The subtree is taken apart one item at a time: an expanded uses chain is as deep as
    // the project has units, too deep for destructors that call each other.
    ~Item() {
        ItemList pending = std::move(Children);
        while (!pending.empty()) {
            std::unique_ptr<Item> last = std::move(pending.back());
            pending.pop_back();
            for (auto& child : last->Children)
                pending.push_back(std::move(child));
            last->Children.clear();
        }
    }
};

UnitTreeModel::UnitTreeModel(const ProjectScan& scan, const TreeFilters& filters, int direction,
                             QObject* parent)
    : QAbstractItemModel(parent), FScan(scan), FFilters(filters), FDirection(direction) {}

UnitTreeModel::~UnitTreeModel() = default;

UnitTreeModel::Item* UnitTreeModel::ItemOf(const QModelIndex& index) const {
    if (!index.isValid() || index.model() != this)
        return nullptr;
    return static_cast<Item*>(index.internalPointer());
}

QModelIndex UnitTreeModel::IndexOf(const Item* item, int column) const {
    if (!item)
        return {};
    return createIndex(item->Row, column, const_cast<Item*>(item));
}

UnitTreeModel::ItemList& UnitTreeModel::ChildList(Item* parent) {
    return parent ? parent->Children : FRoots;
}

std::unique_ptr<UnitTreeModel::Item> UnitTreeModel::MakeItem(TreeNodeSpec node,
                                                             Item* parent) const {
    auto item = std::make_unique<Item>();
    // A name found through a unit scope shows the unit it is: "Forms (Vcl.Forms)".
    item->DisplayText = node.ResolvedAs.empty()
                            ? ToQt(node.Text)
                            : QStringLiteral("%1 (%2)").arg(ToQt(node.Text), ToQt(node.ResolvedAs));
    item->Text = std::move(node.Text);
    item->Data = node.Data;
    item->Image = node.Image;
    item->FormOverlay = node.FormOverlay;
    item->Entry = node.Entry;
    item->Pending = node.HasPlaceholder;
    item->Parent = parent;
    return item;
}

void UnitTreeModel::Renumber(ItemList& list, size_t from) {
    for (size_t i = from; i < list.size(); ++i)
        list[i]->Row = static_cast<int>(i);
}

bool UnitTreeModel::BuildRoots() {
    if (!FRoots.empty())
        return false;
    std::vector<TreeNodeSpec> nodes = TreeRules(FScan, FFilters).Roots(FDirection);
    if (nodes.empty())
        return false;
    ItemList items;
    items.reserve(nodes.size());
    for (auto& node : nodes)
        items.push_back(MakeItem(std::move(node), nullptr));
    Renumber(items);
    // A rebuilt top level keeps its natural order until the next header click.
    FInserting = true;
    beginInsertRows({}, 0, static_cast<int>(items.size()) - 1);
    FRoots = std::move(items);
    endInsertRows();
    FInserting = false;
    return true;
}

void UnitTreeModel::BuildUnitRoot(TUnit& unit) {
    Clear();
    TreeNodeSpec node;
    node.Text = unit.UnitName;
    node.Data.Unit = &unit;
    node.FormOverlay = unit.HasForm;
    node.HasPlaceholder = true;
    FInserting = true;
    beginInsertRows({}, 0, 0);
    FRoots.push_back(MakeItem(std::move(node), nullptr));
    endInsertRows();
    FInserting = false;
}

void UnitTreeModel::Clear() {
    beginResetModel();
    FRoots.clear();
    endResetModel();
}

NodeData UnitTreeModel::Data(const QModelIndex& index) const {
    const Item* item = ItemOf(index);
    return item ? item->Data : NodeData{};
}

QString UnitTreeModel::NodeText(const QModelIndex& index) const {
    const Item* item = ItemOf(index);
    return item ? item->DisplayText : QString();
}

bool UnitTreeModel::HasFormOverlay(const QModelIndex& index) const {
    const Item* item = ItemOf(index);
    return item && item->FormOverlay;
}

bool UnitTreeModel::ChildrenBuilt(const QModelIndex& index) const {
    const Item* item = ItemOf(index);
    return item && !item->Pending;
}

QModelIndex UnitTreeModel::index(int row, int column, const QModelIndex& parent) const {
    if (row < 0 || column < 0 || column >= ColumnCount)
        return {};
    if (parent.isValid() && parent.column() != 0)
        return {};
    const ItemList& list = parent.isValid() ? ItemOf(parent)->Children : FRoots;
    if (row >= static_cast<int>(list.size()))
        return {};
    return createIndex(row, column, list[static_cast<size_t>(row)].get());
}

QModelIndex UnitTreeModel::parent(const QModelIndex& child) const {
    const Item* item = ItemOf(child);
    return item ? IndexOf(item->Parent) : QModelIndex();
}

int UnitTreeModel::rowCount(const QModelIndex& parent) const {
    if (!parent.isValid())
        return static_cast<int>(FRoots.size());
    if (parent.column() != 0)
        return 0;
    return static_cast<int>(ItemOf(parent)->Children.size());
}

int UnitTreeModel::columnCount(const QModelIndex&) const {
    return ColumnCount;
}

bool UnitTreeModel::hasChildren(const QModelIndex& parent) const {
    if (!parent.isValid())
        return !FRoots.empty();
    if (parent.column() != 0)
        return false;
    const Item* item = ItemOf(parent);
    return item->Pending || !item->Children.empty();
}

bool UnitTreeModel::canFetchMore(const QModelIndex& parent) const {
    const Item* item = ItemOf(parent);
    return item && parent.column() == 0 && item->Pending && !FInserting;
}

void UnitTreeModel::fetchMore(const QModelIndex& parent) {
    Item* item = ItemOf(parent);
    if (!canFetchMore(parent))
        return;
    item->Pending = false;
    // Only ordinary nodes carry a placeholder; anything else refuses to expand.
    if (item->Data.Kind() != NodeKind::Ordinary)
        return;
    std::vector<const TUnit*> path;
    for (const Item* p = item; p; p = p->Parent)
        path.push_back(p->Data.Unit);
    std::vector<TreeNodeSpec> nodes =
        TreeRules(FScan, FFilters).Children(*item->Data.Unit, FDirection, path);
    if (nodes.empty()) {
        // Expanding yields nothing: the expand button goes.
        emit dataChanged(parent, parent);
        return;
    }
    ItemList children;
    children.reserve(nodes.size());
    for (auto& node : nodes)
        children.push_back(MakeItem(std::move(node), item));
    SortList(children, false);
    FInserting = true;
    beginInsertRows(parent, 0, static_cast<int>(children.size()) - 1);
    item->Children = std::move(children);
    endInsertRows();
    FInserting = false;
}

void UnitTreeModel::Collapse(const QModelIndex& index) {
    Item* item = ItemOf(index);
    if (!item)
        return;
    const QModelIndex first = IndexOf(item);
    if (!item->Children.empty()) {
        beginRemoveRows(first, 0, static_cast<int>(item->Children.size()) - 1);
        item->Children.clear();
        endRemoveRows();
    }
    const bool wasPending = item->Pending;
    item->Pending = item->Data.Kind() == NodeKind::Ordinary;
    if (item->Pending != wasPending)
        emit dataChanged(first, first);
}

void UnitTreeModel::SortList(ItemList& list, bool deep) {
    const int key = FSortKey;
    const UnitSizes& sizes = FScan.FUnitSizes;
    const DependencyAnalysis* analysis = FAnalysis ? FAnalysis->Get() : nullptr;
    // As the size key: the largest first; nodes without a unit after the units.
    const int column = std::abs(key) - 1;
    const bool byAnalysis = IsAnalysisColumn(column);
    auto value = [analysis, column](const TUnit* unit) {
        return AnalysisValue(analysis, unit, column).value_or(0);
    };
    auto before = [&](const auto& x, const auto& y) {
        if (!byAnalysis || !x->Data.Unit || !y->Data.Unit)
            return CompareNodes(byAnalysis ? (key < 0 ? -1 : 1) : key, x->Data, x->Text, y->Data,
                                y->Text, sizes) < 0;
        const std::int64_t d = value(y->Data.Unit) - value(x->Data.Unit);
        return (key < 0 ? -1 : 1) * (d > 0 ? 1 : d < 0 ? -1 : 0) < 0;
    };
    std::vector<ItemList*> lists{&list};
    while (!lists.empty()) {
        ItemList& current = *lists.back();
        lists.pop_back();
        if (key != 0 && current.size() > 1)
            std::stable_sort(current.begin(), current.end(), before);
        Renumber(current);
        if (deep)
            for (auto& item : current)
                lists.push_back(&item->Children);
    }
}

void UnitTreeModel::SortTree() {
    if (FSortKey == 0 || FRoots.empty())
        return;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    std::vector<std::pair<Item*, int>> items;
    items.reserve(static_cast<size_t>(before.size()));
    for (const QModelIndex& index : before)
        items.emplace_back(ItemOf(index), index.column());
    SortList(FRoots, true);
    QModelIndexList after;
    after.reserve(before.size());
    for (const auto& [item, column] : items)
        after.push_back(IndexOf(item, column));
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void UnitTreeModel::RemoveUnitNodes(const TUnit* unit) {
    if (unit)
        RemoveUnitNodesBelow(nullptr, unit);
}

void UnitTreeModel::RemoveUnitNodesBelow(Item* top, const TUnit* unit) {
    // The lists still to look through; an item that stays has its own list looked at later.
    std::vector<Item*> parents{top};
    while (!parents.empty()) {
        Item* parent = parents.back();
        parents.pop_back();
        RemoveUnitNodesFrom(parent, unit, parents);
    }
}

void UnitTreeModel::RemoveUnitNodesFrom(Item* parent, const TUnit* unit, std::vector<Item*>& kept) {
    ItemList& list = ChildList(parent);
    size_t i = 0;
    while (i < list.size()) {
        if (list[i]->Data.Unit != unit) {
            kept.push_back(list[i].get());
            ++i;
            continue;
        }
        size_t end = i + 1;
        while (end < list.size() && list[end]->Data.Unit == unit)
            ++end;
        beginRemoveRows(IndexOf(parent), static_cast<int>(i), static_cast<int>(end) - 1);
        list.erase(list.begin() + static_cast<std::ptrdiff_t>(i),
                   list.begin() + static_cast<std::ptrdiff_t>(end));
        Renumber(list, i);
        endRemoveRows();
    }
}

QVariant UnitTreeModel::data(const QModelIndex& index, int role) const {
    const Item* item = ItemOf(index);
    if (!item)
        return {};
    const int column = index.column();
    switch (role) {
    case Qt::DisplayRole: {
        if (column == NameColumn)
            return item->DisplayText;
        const TUnit* unit = item->Data.Unit;
        if (IsAnalysisColumn(column)) {
            const auto number =
                AnalysisValue(FAnalysis && unit ? FAnalysis->Get() : nullptr, unit, column);
            return number ? QString::number(*number) : QString();
        }
        const TColumnContext context = FScan.ColumnContext();
        const TColumnText text =
            GetColumnText(unit ? &unit->FileName : nullptr, item->Text, column, context);
        return ToQt(text.Text);
    }
    case Qt::ForegroundRole:
        if (column == NameColumn && !EntryNote(index).isEmpty())
            return ViolationColor();
        if (column == NameColumn && FAnalysis && FAnalysis->CycleOf(item->Data.Unit) >= 0)
            return FAnalysis->InInterfaceCycle(item->Data.Unit) ? InterfaceCycleColor()
                                                                : CycleColor();
        return {};
    case Qt::ToolTipRole: {
        if (column != NameColumn)
            return {};
        QStringList notes{EntryNote(index)};
        if (FAnalysis)
            notes << FAnalysis->CycleNote(item->Data.Unit);
        notes << EntryTip(item);
        notes.removeAll(QString());
        return notes.isEmpty() ? QVariant() : QVariant(notes.join(QLatin1Char('\n')));
    }
    case Qt::TextAlignmentRole:
        if (column == SizeCol || IsAnalysisColumn(column))
            return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
        return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
    case Qt::DecorationRole:
        if (column == NameColumn)
            return NodeIcon(QString::fromLatin1(ImageName(item->Image)), item->FormOverlay,
                            EntryBadge(item));
        return {};
    default:
        return {};
    }
}

const TUnit* UnitTreeModel::EntryOwner(const Item* item) const {
    if (!FHygiene || item->Entry < 0)
        return nullptr;
    if (FDirection == tdUses)
        return item->Parent ? item->Parent->Data.Unit : nullptr;
    return item->Data.Unit;
}

QString UnitTreeModel::EntryBadge(const Item* item) const {
    const TUnit* owner = EntryOwner(item);
    const TUnitHygiene* h = FHygiene ? FHygiene->Of(owner) : nullptr;
    if (!h || static_cast<size_t>(item->Entry) >= h->Entries.size())
        return QString();
    switch (h->Entries[static_cast<size_t>(item->Entry)].Verdict) {
    case TVerdict::Remove:
        return QStringLiteral("RemoveOver");
    case TVerdict::Move:
        return QStringLiteral("MoveOver");
    case TVerdict::Unknown:
        return QStringLiteral("UnknownOver");
    default:
        return QString();
    }
}

QString UnitTreeModel::EntryTip(const Item* item) const {
    const TUnit* owner = EntryOwner(item);
    const QString text = owner ? FHygiene->EntryText(owner, item->Entry) : QString();
    // In the used-by direction the entry is the node's own, naming its parent.
    if (text.isEmpty() || FDirection == tdUses || !item->Parent)
        return text;
    return tr("Its entry %1: %2").arg(ToQt(owner->Uses[item->Entry]), text);
}

QString UnitTreeModel::EntryNote(const QModelIndex& index) const {
    const Item* item = ItemOf(index);
    if (!FRules || !item || !item->Parent || item->Data.Placeholder)
        return QString();
    const Item* from = FDirection == tdUses ? item->Parent : item;
    const Item* to = FDirection == tdUses ? item : item->Parent;
    return FRules->EntryNote(from->Data.Unit, from->Text, to->Data.Unit, to->Text);
}

QVariant UnitTreeModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::ToolTipRole) {
        switch (section) {
        case ExclusiveCol:
            return tr("The bytes that leave the program with the unit: its size and the sizes "
                      "of the units that only it brings in");
        case RecompileCol:
            return tr("The other units the compiler recompiles when the unit's interface "
                      "changes");
        case LevelCol:
            return tr("0 for a unit that uses no other parsed unit, otherwise one more than the "
                      "highest level it uses; the units of a cycle share a level");
        default:
            return {};
        }
    }
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case NameColumn:
        return QStringLiteral("Unit");
    case LocationCol:
        return QStringLiteral("Location");
    case SizeCol:
        return QStringLiteral("Size");
    case ExclusiveCol:
        return QStringLiteral("Exclusive");
    case RecompileCol:
        return QStringLiteral("Recompile");
    case LevelCol:
        return QStringLiteral("Level");
    default:
        return QString();
    }
}

bool UnitTreeModel::removeRows(int row, int count, const QModelIndex& parent) {
    if (parent.isValid() && (!ItemOf(parent) || parent.column() != 0))
        return false;
    ItemList& list = ChildList(ItemOf(parent));
    if (row < 0 || count <= 0 ||
        static_cast<size_t>(row) + static_cast<size_t>(count) > list.size())
        return false;
    beginRemoveRows(parent, row, row + count - 1);
    list.erase(list.begin() + row, list.begin() + row + count);
    Renumber(list, static_cast<size_t>(row));
    endRemoveRows();
    return true;
}

Qt::ItemFlags UnitTreeModel::flags(const QModelIndex& index) const {
    if (!ItemOf(index))
        return Qt::NoItemFlags;
    // Only the name shows the selection; "Location" and "Size" keep the window's colours.
    if (index.column() != NameColumn)
        return Qt::ItemIsEnabled;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

} // namespace ut::gui
