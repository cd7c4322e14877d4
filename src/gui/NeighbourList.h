#pragma once
// The list beside the uses tree: what the selected unit uses and which units use it. It
// follows the tree's current node 50 ms after the last of a quick series of changes, and
// holds only names, read from the node that is current when the delay ends.
#include <QListWidget>
#include <QTimer>

namespace ut {
class ProjectScan;
}

namespace ut::gui {

class TreePage;

class NeighbourList : public QListWidget {
    Q_OBJECT
  public:
    /// `scan` and `tree` must outlive the list.
    NeighbourList(const ut::ProjectScan& scan, TreePage& tree, QWidget* parent = nullptr);

    static constexpr int ChangeDelayMs = 50;
    static constexpr int DesignedWidth = 137;

    /// Fills the list from the tree's current node now.
    void showNeighbours();
    /// Whether a change is waiting for the end of the delay.
    bool ChangePending() const { return FDelay.isActive(); }

    QSize sizeHint() const override;

  private:
    const ut::ProjectScan& FScan;
    TreePage& FTree;
    QTimer FDelay;
};

} // namespace ut::gui
