#include "gui/SubViewList.h"

#include "gui/Prompts.h"
#include "gui/QtText.h"
#include "gui/SubView.h"
#include "gui/TreePage.h"

#include <QHeaderView>

namespace ut::gui {

SubViewList::SubViewList(ProjectScan& scan, const TreeFilters& filters, Prompts& prompts,
                         QWidget* owner, TreePage& tree1, TreePage& tree2)
    : QObject(owner), FScan(scan), FFilters(filters), FPrompts(prompts), FOwner(owner),
      FTree1(tree1), FTree2(tree2) {
    // A window takes the key of the main tree of its direction for every level it builds
    // later; what it shows already keeps its order.
    for (TreePage* main : {&FTree1, &FTree2}) {
        connect(main->Header(), &QHeaderView::sectionClicked, this, [this, main] {
            for (TFSubView* window : Windows())
                if (window->Direction() == main->Direction())
                    window->Tree()->SetSortKey(main->SortKey());
        });
    }
}

SubViewList::~SubViewList() {
    CloseAll();
}

QList<TFSubView*> SubViewList::Windows() const {
    QList<TFSubView*> windows;
    for (const QPointer<TFSubView>& window : FSubViews)
        if (window)
            windows << window.data();
    return windows;
}

TFSubView* SubViewList::Find(const TUnit* unit, int direction) const {
    for (TFSubView* window : Windows())
        if (window->Unit() == unit && window->Direction() == direction)
            return window;
    return nullptr;
}

void SubViewList::ShowSubView(TUnit* unit, int sourceTag) {
    if (!unit)
        return;
    int direction = 0;
    TreePage* templateTree = nullptr;
    if (sourceTag == tdUses) {
        direction = tdUsedBy;
        templateTree = &FTree2;
    } else if (sourceTag == tdUsedBy) {
        direction = tdUses;
        templateTree = &FTree1;
    } else {
        return;
    }
    if (TFSubView* open = Find(unit, direction)) {
        open->show();
        open->raise();
        open->activateWindow();
        return;
    }

    auto* window = new TFSubView(FScan, FFilters, direction, FOwner);
    FSubViews << window;
    try {
        connect(window, &TFSubView::closed, this, &SubViewList::SubViewClosed);
        TreePage& tree = *window->Tree();
        tree.SetSortKey(templateTree->SortKey());
        tree.SetDoubleClickCommand(true);
        connect(&tree, &TreePage::nodeActivated, this, &SubViewList::ShowSubView);
        if (TreeCreated)
            TreeCreated(tree);
        const char* caption = direction == tdUses ? "Unit %s uses:" : "Unit %s is used by:";
        window->setWindowTitle(ToQt(Format(caption, unit->UnitName.c_str())));
        window->SetUnit(*unit);
        window->show();
    } catch (const std::exception& e) {
        // No half-made window stays behind.
        Release(window);
        FPrompts.ErrorMessage(ToQt(e.what()));
    }
}

void SubViewList::CloseAll() {
    const QList<QPointer<TFSubView>> windows = std::exchange(FSubViews, {});
    for (const QPointer<TFSubView>& window : windows)
        delete window.data();
}

void SubViewList::RemoveUnit(const TUnit* unit) {
    for (auto i = FSubViews.size(); i-- > 0;) {
        TFSubView* window = FSubViews[i];
        if (!window) {
            FSubViews.removeAt(i);
        } else if (window->Unit() == unit) {
            FSubViews.removeAt(i);
            Release(window);
        } else {
            window->Tree()->RemoveUnitNodes(unit);
        }
    }
}

void SubViewList::SubViewClosed(TFSubView* window) {
    FSubViews.removeAll(window);
}

void SubViewList::Release(TFSubView* window) {
    FSubViews.removeAll(window);
    // The command that releases it may run inside the window's own handlers: it goes once
    // they are done, but shows and holds nothing from now on.
    disconnect(window, nullptr, this, nullptr);
    window->ReleaseUnit();
    window->hide();
    window->deleteLater();
}

} // namespace ut::gui
