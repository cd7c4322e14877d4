#include "gui/TreeCommands.h"

#include "gui/Application.h"
#include "gui/CheckListDialog.h"
#include "gui/Prompts.h"
#include "gui/QtText.h"
#include "gui/ScanAnalysis.h"
#include "gui/TreeExpansion.h"
#include "gui/TreePage.h"
#include "gui/UnitTreeModel.h"
#include "gui/UnitWindowList.h"
#include "gui/WaitCursor.h"
#include "support/Exceptions.h"

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QKeyEvent>
#include <QMenu>
#include <QTreeView>
#include <QUrl>

#include <climits>
#include <cstdint>

namespace ut::gui {

namespace {

/// The text as a 32-bit integer, read as the input box's users expect: leading blanks, an
/// optional sign, decimal digits or hexadecimal after "$" or "0x"; anything else raises the
/// conversion error.
int StrToInt(const QString& text) {
    const std::string s = FromQt(text);
    const auto invalid = [&s] {
        return Exception(Format("'%s' is not a valid integer value", s.c_str()));
    };
    size_t i = 0;
    while (i < s.size() && s[i] == ' ')
        ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '-' || s[i] == '+'))
        negative = s[i++] == '-';
    int base = 10;
    if (i < s.size() && s[i] == '$') {
        base = 16;
        ++i;
    } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i == s.size())
        throw invalid();
    std::int64_t value = 0;
    for (; i < s.size(); ++i) {
        const char c = s[i];
        int digit = 0;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            throw invalid();
        value = value * base + digit;
        if (value > std::int64_t(INT_MAX) + 1)
            throw invalid();
    }
    if (negative)
        value = -value;
    if (value > INT_MAX)
        throw invalid();
    return static_cast<int>(value);
}

/// Holds off the repainting of both main trees while many units go.
class FrozenTrees {
  public:
    FrozenTrees(QWidget* a, QWidget* b) : FA(a), FB(b) {
        FA->setUpdatesEnabled(false);
        FB->setUpdatesEnabled(false);
    }
    ~FrozenTrees() {
        FA->setUpdatesEnabled(true);
        FB->setUpdatesEnabled(true);
    }
    FrozenTrees(const FrozenTrees&) = delete;
    FrozenTrees& operator=(const FrozenTrees&) = delete;

  private:
    QWidget* FA;
    QWidget* FB;
};

} // namespace

TreeCommands::TreeCommands(ProjectScan& scan, Prompts& prompts, Views views, QWidget* owner)
    : QObject(owner), FScan(scan), FPrompts(prompts), FViews(views), FOwner(owner) {
    OpenFile = [](const QString& fileName) {
        QDesktopServices::openUrl(QUrl::fromLocalFile(fileName));
    };

    treeMenu = new QMenu(owner);
    treeMenu->setObjectName(QStringLiteral("treeMenu"));
    openUnitWindowAction =
        AddItem(tr("&Uses..."),
                {QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter)},
                [this] { openUnitWindow(*CommandTree()); });
    onlyFormsAction =
        AddItem(tr("Only forms..."), {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F)}, [this] {
            TreePage& page = *CommandTree();
            KeepOnlyForms(page, page.Tree()->currentIndex());
        });
    expandFormsAction =
        AddItem(tr("&Expand forms only"), {QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_F)}, [this] {
            TreePage& page = *CommandTree();
            ExpandAll(page, page.Tree()->currentIndex(),
                      [&page](const QModelIndex& node) { KeepOnlyForms(page, node); });
        });
    editSourceAction = AddItem(tr("&Edit *.PAS"), {QKeySequence(Qt::Key_F4)},
                               [this] { EditSource(*CommandTree()); });
    deleteSmallAction =
        AddItem(tr("&Delete small units..."), {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Delete)},
                [this] { deleteSmallUnits(); });
    deleteByLocationAction =
        AddItem(tr("Delete by &Location..."), {}, [this] { deleteUnitsByLocation(); });
    openUnitWindowAction->setObjectName(QStringLiteral("openUnitWindowAction"));
    onlyFormsAction->setObjectName(QStringLiteral("onlyFormsAction"));
    expandFormsAction->setObjectName(QStringLiteral("expandFormsAction"));
    editSourceAction->setObjectName(QStringLiteral("editSourceAction"));
    deleteSmallAction->setObjectName(QStringLiteral("deleteSmallAction"));
    deleteByLocationAction->setObjectName(QStringLiteral("deleteByLocationAction"));
    treeMenu->setDefaultAction(openUnitWindowAction);
}

TreeCommands::~TreeCommands() = default;

QAction* TreeCommands::AddItem(const QString& caption, const QList<QKeySequence>& keys,
                               std::function<void()> command) {
    QAction* action = treeMenu->addAction(caption);
    action->setShortcuts(keys);
    // The shortcuts work in whichever dependency tree has the focus.
    action->setShortcutContext(Qt::WidgetShortcut);
    connect(action, &QAction::triggered, this, Guarded(std::move(command)));
    return action;
}

void TreeCommands::AttachTree(TreePage& page) {
    FTrees.removeAll(nullptr);
    FTrees << &page;
    QTreeView* tree = page.Tree();
    tree->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(tree, &QWidget::customContextMenuRequested, this,
            [this, target = QPointer<TreePage>(&page)](const QPoint& pos) {
                if (target)
                    PopupAt(*target, pos);
            });
    tree->addActions(treeMenu->actions());
    tree->installEventFilter(this);
}

TreePage* TreeCommands::PageOfTree(const QObject* tree) const {
    for (const QPointer<TreePage>& page : FTrees)
        if (page && page->Tree() == tree)
            return page.data();
    return nullptr;
}

void TreeCommands::prepareMenu(QWidget* component) {
    QWidget* control = component ? component : QApplication::focusWidget();
    TreePage* page = control ? PageOfTree(control) : nullptr;
    const int tag = page ? page->Direction() : 0;
    const bool onTree = tag == tdUses || tag == tdUsedBy;
    for (QAction* item :
         {openUnitWindowAction, editSourceAction, onlyFormsAction, expandFormsAction})
        item->setEnabled(onTree);
    if (onTree) {
        FMenuTree = page;
        openUnitWindowAction->setText(tag == tdUses ? tr("Used by...") : tr("Uses..."));
    }
    const bool haveUnits = !FScan.FUnits.Empty();
    deleteByLocationAction->setEnabled(haveUnits);
    deleteSmallAction->setEnabled(haveUnits && !FScan.FUnitSizes.Empty());
}

void TreeCommands::PopupAt(TreePage& page, const QPoint& pos) {
    prepareMenu(page.Tree());
    treeMenu->popup(page.Tree()->viewport()->mapToGlobal(pos));
}

TreePage* TreeCommands::CommandTree() const {
    for (QWidget* w = QApplication::focusWidget(); w && !w->isWindow(); w = w->parentWidget())
        if (TreePage* page = PageOfTree(w))
            return page;
    if (FMenuTree)
        return FMenuTree.data();
    throw EAbort();
}

void TreeCommands::RequireIdle() const {
    // The records are in use by a running scan.
    if (FScan.Busy())
        throw EAbort();
}

void TreeCommands::openUnitWindow(TreePage& page) {
    RequireIdle();
    FViews.UnitWindows->showUnitWindow(page.SelectedUnit(), page.Direction());
}

void TreeCommands::EditSource(TreePage& page) {
    if (const TUnit* unit = page.SelectedUnit())
        OpenSourceFile(unit->FileName);
}

void TreeCommands::OpenSourceFile(const std::string& fileName) {
    // What the desktop makes of it is its own affair: nothing is reported.
    if (OpenFile)
        OpenFile(ToQt(fileName));
}

bool TreeCommands::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::ShortcutOverride)
        return QObject::eventFilter(watched, event);
    TreePage* page = PageOfTree(watched);
    if (!page)
        return QObject::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    if (type == QEvent::ShortcutOverride) {
        // F4 is the tree's own key, whatever the state of the menu item.
        if (key->key() == Qt::Key_F4 && key->modifiers() == Qt::NoModifier) {
            event->accept();
            return true;
        }
        return false;
    }
    try {
        return handleTreeKey(*page, *key);
    } catch (const std::exception& e) {
        HandleFailure(e);
        return true;
    }
}

bool TreeCommands::handleTreeKey(TreePage& page, const QKeyEvent& key) {
    const Qt::KeyboardModifiers modifiers = key.modifiers() & ~Qt::KeypadModifier;
    switch (key.key()) {
    case Qt::Key_Asterisk:
        // Only the keypad's asterisk expands; the tree's own recursive expansion never runs.
        if (key.modifiers().testFlag(Qt::KeypadModifier) && !FScan.Busy())
            ExpandAll(page, page.Tree()->currentIndex());
        return true;
    case Qt::Key_F4:
        if (modifiers != Qt::NoModifier)
            return false;
        EditSource(page);
        return true;
    case Qt::Key_Delete:
        if (modifiers == Qt::NoModifier) {
            if (TUnit* unit = page.SelectedUnit()) {
                if (FPrompts.Confirm(tr("Do you really want to hide all nodes with this unit?")))
                    RemoveUnit(unit);
            }
        }
        return false;
    default:
        return false;
    }
}

void TreeCommands::RemoveUnit(TUnit* unit) {
    RequireIdle();
    // The record lives until the end of this function: every view lets go of it first.
    std::unique_ptr<TUnit> record = FScan.ExtractUnit(unit);
    if (!record)
        return;
    if (FViews.Analysis)
        FViews.Analysis->Invalidate();
    WaitCursor wait;
    try {
        FViews.UsesPage->RemoveUnitNodes(unit);
        FViews.UsedByPage->RemoveUnitNodes(unit);
        FViews.UnitWindows->RemoveUnit(unit);
    } catch (...) {
        // No node may outlive its unit: rather empty the views.
        FViews.UnitWindows->CloseAll();
        FViews.UsesPage->Clear();
        FViews.UsedByPage->Clear();
        throw;
    }
}

void TreeCommands::deleteSmallUnits() {
    RequireIdle();
    if (FScan.FUnitSizes.Empty() || FScan.FUnits.Empty()) {
        prepareMenu(nullptr);
        return;
    }
    QString text = QStringLiteral("256");
    if (!FPrompts.InputQuery(tr("Enter minimal size of unit to keep it"), tr("Min size:"), text))
        return;
    WaitCursor wait;
    const int minSize = StrToInt(text);
    for (int i = FScan.FUnits.Count(); i-- > 0;) {
        TUnit* unit = FScan.FUnits.Objects(i).get();
        if (unit == FScan.FProject)
            continue;
        int at = 0;
        if (FScan.FUnitSizes.Find(unit->UnitName, at) && FScan.FUnitSizes.Objects(at) < minSize)
            RemoveUnit(unit);
    }
}

void TreeCommands::deleteUnitsByLocation() {
    RequireIdle();
    if (FScan.FUnits.Empty()) {
        prepareMenu(nullptr);
        return;
    }
    // Location text -> the keys of its units. Keys, not records: nothing is held while the
    // dialog runs.
    BasicStringList<std::vector<std::string>> groups(true, TDuplicates::dupError);
    const TColumnContext context = FScan.ColumnContext();
    for (int i = 0; i < FScan.FUnits.Count(); ++i) {
        const TUnit* unit = FScan.FUnits.Objects(i).get();
        if (unit == FScan.FProject)
            continue;
        const std::string& key = FScan.FUnits[i];
        const std::string location =
            GetColumnText(&unit->FileName, key, UnitTreeModel::LocationCol, context).Text;
        int at = 0;
        if (groups.Find(location, at))
            groups.Objects(at).push_back(key);
        else
            groups.AddObject(location, {key});
    }

    CheckListDialog dialog(FOwner);
    for (int i = 0; i < groups.Count(); ++i)
        dialog.AddItem(ToQt(groups[i]));
    dialog.setWindowTitle(tr("Select locations to ignore all units there!"));
    if (dialog.exec() != QDialog::Accepted)
        return;
    RequireIdle();
    FrozenTrees frozen(FViews.UsesPage->Tree(), FViews.UsedByPage->Tree());
    WaitCursor wait;
    for (int i = groups.Count(); i-- > 0;) {
        if (!dialog.Checked(i))
            continue;
        const std::vector<std::string>& keys = groups.Objects(i);
        for (auto k = keys.size(); k-- > 0;)
            if (TUnit* unit = FScan.FindUnit(keys[k]))
                RemoveUnit(unit);
    }
}

} // namespace ut::gui
