#pragma once
// The "Graph" page: the neighbourhood of one unit (what it uses and what uses it, one or two
// steps out), laid out by Graphviz and drawn in a graphics view that zooms (wheel) and pans
// (drag). Cycle edges are red, implementation edges dashed; a click on a unit makes it the
// centre. The page follows the unit selected in the trees and the matrix.
#include "gui/ResultPage.h"

#include <QGraphicsView>
#include <QWidget>

class QGraphicsScene;
class QLabel;
class QLineEdit;
class QSpinBox;

namespace ut {
class ProjectScan;
}

namespace ut::gui {

class ScanAnalysis;
class TreePage;

/// A graphics view that zooms with the wheel, pans by dragging, and tells a click (a press
/// and release without a drag) on an item.
class GraphView : public QGraphicsView {
    Q_OBJECT
  public:
    using QGraphicsView::QGraphicsView;
    void Zoom(double factor);

  signals:
    void itemClicked(QGraphicsItem* item);

  protected:
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    QPoint FPressedAt;
};

class GraphPage : public QWidget, public ResultPage {
    Q_OBJECT
  public:
    /// `scan` and `analysis` must outlive the page.
    GraphPage(const ut::ProjectScan& scan, ScanAnalysis& analysis, QWidget* parent = nullptr);

    void ShowResult() override;
    void ClearResult() override;

    /// Makes the unit of `key` the centre (drawn now when the page is shown, else when it
    /// is next shown); an unknown key is ignored.
    void SetCentre(const QString& key);
    /// Follows the unit selected in `tree`.
    void Follow(TreePage& tree);

    /// The units drawn, centre first; empty before a drawing.
    QStringList UnitNames() const;
    /// The drawn edges as "From -> To" with " (red)" on cycles and " (dashed)" for
    /// implementation entries.
    QStringList EdgeTexts() const;
    /// The centre of a unit's box in the view's viewport coordinates; (-1, -1) when it is not
    /// drawn.
    QPoint UnitPosition(const QString& key) const;
    QString Centre() const { return FCentre; }
    GraphView* View() const { return FView; }
    QSpinBox* StepsBox() const { return FSteps; }

  private:
    /// Lays out and draws the centre's neighbourhood; false without an analysis.
    bool Draw();

    const ut::ProjectScan& FScan;
    ScanAnalysis& FAnalysis;
    QString FCentre; ///< the key asked for; empty: the project
    QString FDrawn;  ///< the key drawn; empty: nothing is
    QLineEdit* FUnitEdit;
    QSpinBox* FSteps;
    QLabel* FStatus;
    QGraphicsScene* FScene;
    GraphView* FView;
};

} // namespace ut::gui
