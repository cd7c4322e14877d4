#pragma once
// A small tool window with one dependency tree that shows one unit, either what
// it uses (direction 1) or what uses it (direction 2), and below it why the project uses
// the unit (its shortest paths from the project). Owned by the main window, above it,
// without a taskbar button of its own. Escape closes it.
#include "trees/TreeRules.h"

#include <QWidget>

class QPlainTextEdit;
class QSplitter;

namespace ut::gui {

class TreePage;

class UnitWindow : public QWidget {
    Q_OBJECT
  public:
    /// `scan` and `filters` must outlive the window; `direction` is its tree's tag.
    UnitWindow(ut::ProjectScan& scan, const ut::TreeFilters& filters, int direction,
               QWidget* owner);
    ~UnitWindow() override;

    int Direction() const;
    /// The window's tree (a tree page without columns).
    TreePage* Tree() const { return FTree; }
    /// The unit shown; nullptr once the window has let go of it.
    ut::TUnit* Unit() const { return FUnit; }

    /// Shows `unit` as the tree's root, expanded one level in the window's direction.
    void SetUnit(ut::TUnit& unit);
    /// Empties the tree and forgets the unit: nothing in the window refers to a unit after.
    void ReleaseUnit();

    /// Sizes the window to show its title, its tree and its why-path whole, as far as the
    /// screen allows; at `remembered` instead when that is valid.
    void OpenAt(QSize remembered);
    /// The size the user gave the window; invalid while it has the size it opened at.
    QSize UserSize() const;

    /// The text below the tree: why the project uses the unit.
    QPlainTextEdit* whyView;

  signals:
    /// The window is closing and will be destroyed.
    void closed(ut::gui::UnitWindow* window);

  protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    /// The size that shows the title, every node and every line of the why-path.
    QSize FittingSize() const;
    /// The size that shows every line of the why-path.
    QSize WhySize() const;

    TreePage* FTree;
    QSplitter* FSplitter;
    ut::TUnit* FUnit = nullptr;
    QSize FOpenedSize;
};

} // namespace ut::gui
