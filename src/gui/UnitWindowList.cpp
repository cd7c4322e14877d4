#include "gui/UnitWindowList.h"

#include "gui/Prompts.h"
#include "gui/QtText.h"
#include "gui/ScanAnalysis.h"
#include "gui/TreePage.h"
#include "gui/UnitWindow.h"
#include "report/WhyReport.h"

#include <QHeaderView>
#include <QPlainTextEdit>

namespace ut::gui {

UnitWindowList::UnitWindowList(ProjectScan& scan, const TreeFilters& filters,
                               ScanAnalysis& analysis, Prompts& prompts, QWidget* owner,
                               TreePage& usesPage, TreePage& usedByPage)
    : QObject(owner), FScan(scan), FFilters(filters), FAnalysis(analysis), FPrompts(prompts),
      FOwner(owner), FUsesPage(usesPage), FUsedByPage(usedByPage) {
    connect(&FAnalysis, &ScanAnalysis::changed, this, [this] {
        for (UnitWindow* window : Windows())
            ShowWhy(*window);
    });
    // A window takes the key of the main tree of its direction for every level it builds
    // later; what it shows already keeps its order.
    for (TreePage* main : {&FUsesPage, &FUsedByPage}) {
        connect(main->Header(), &QHeaderView::sectionClicked, this, [this, main] {
            for (UnitWindow* window : Windows())
                if (window->Direction() == main->Direction())
                    window->Tree()->SetSortKey(main->SortKey());
        });
    }
}

UnitWindowList::~UnitWindowList() {
    CloseAll();
}

QList<UnitWindow*> UnitWindowList::Windows() const {
    QList<UnitWindow*> windows;
    for (const QPointer<UnitWindow>& window : FUnitWindows)
        if (window)
            windows << window.data();
    return windows;
}

UnitWindow* UnitWindowList::Find(const TUnit* unit, int direction) const {
    for (UnitWindow* window : Windows())
        if (window->Unit() == unit && window->Direction() == direction)
            return window;
    return nullptr;
}

void UnitWindowList::showUnitWindow(TUnit* unit, int sourceTag) {
    if (!unit)
        return;
    int direction = 0;
    TreePage* templateTree = nullptr;
    if (sourceTag == tdUses) {
        direction = tdUsedBy;
        templateTree = &FUsedByPage;
    } else if (sourceTag == tdUsedBy) {
        direction = tdUses;
        templateTree = &FUsesPage;
    } else {
        return;
    }
    if (UnitWindow* open = Find(unit, direction)) {
        open->show();
        open->raise();
        open->activateWindow();
        return;
    }

    auto* window = new UnitWindow(FScan, FFilters, direction, FOwner);
    FUnitWindows << window;
    try {
        connect(window, &UnitWindow::closed, this, &UnitWindowList::windowClosed);
        TreePage& tree = *window->Tree();
        tree.SetAnalysis(FAnalysis);
        tree.SetSortKey(templateTree->SortKey());
        tree.SetDoubleClickCommand(true);
        connect(&tree, &TreePage::nodeActivated, this, &UnitWindowList::showUnitWindow);
        if (TreeCreated)
            TreeCreated(tree);
        const char* caption = direction == tdUses ? "Unit %s uses:" : "Unit %s is used by:";
        window->setWindowTitle(ToQt(Format(caption, unit->UnitName.c_str())));
        window->SetUnit(*unit);
        ShowWhy(*window);
        window->OpenAt(FRememberedSize);
        window->show();
    } catch (const std::exception& e) {
        // No half-made window stays behind.
        Release(window);
        FPrompts.ErrorMessage(ToQt(e.what()));
    }
}

void UnitWindowList::CloseAll() {
    const QList<QPointer<UnitWindow>> windows = std::exchange(FUnitWindows, {});
    for (const QPointer<UnitWindow>& window : windows) {
        if (window)
            RememberSize(*window);
        delete window.data();
    }
}

void UnitWindowList::RememberSize(const UnitWindow& window) {
    if (const QSize size = window.UserSize(); size.isValid())
        FRememberedSize = size;
}

void UnitWindowList::RemoveUnit(const TUnit* unit) {
    for (auto i = FUnitWindows.size(); i-- > 0;) {
        UnitWindow* window = FUnitWindows[i];
        if (!window) {
            FUnitWindows.removeAt(i);
        } else if (window->Unit() == unit) {
            FUnitWindows.removeAt(i);
            Release(window);
        } else {
            window->Tree()->RemoveUnitNodes(unit);
        }
    }
}

void UnitWindowList::ShowWhy(UnitWindow& window) {
    const DependencyAnalysis* analysis = window.Unit() ? FAnalysis.Get() : nullptr;
    const int node = analysis ? analysis->Graph().NodeOf(window.Unit()) : -1;
    QString why = node < 0 ? QString() : ToQt(report::WhyText(*analysis, node));
    if (why.endsWith(u'\n'))
        why.chop(1);
    window.whyView->setPlainText(why);
}

void UnitWindowList::windowClosed(UnitWindow* window) {
    RememberSize(*window);
    FUnitWindows.removeAll(window);
}

void UnitWindowList::Release(UnitWindow* window) {
    RememberSize(*window);
    FUnitWindows.removeAll(window);
    // The command that releases it may run inside the window's own handlers: it goes once
    // they are done, but shows and holds nothing from now on.
    disconnect(window, nullptr, this, nullptr);
    window->ReleaseUnit();
    window->hide();
    window->deleteLater();
}

} // namespace ut::gui
