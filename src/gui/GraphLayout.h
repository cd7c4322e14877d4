#pragma once
// Positions for a small directed graph from Graphviz's "dot" layout (its library, used for
// the layout alone): where each box stands and the curve of each edge, in points with y
// growing downwards, as a QGraphicsScene draws them.
#include <QPainterPath>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>

#include <vector>

namespace ut::gui {

struct GraphLayoutInput {
    std::vector<QSizeF> Nodes;              ///< the size of each box
    std::vector<std::pair<int, int>> Edges; ///< from, to: indexes into Nodes
};

struct GraphLayoutResult {
    std::vector<QPointF> Centres;     ///< per node
    std::vector<QPainterPath> Curves; ///< per edge, from the tail's box to the arrow's base
    std::vector<QPointF> Tips;        ///< per edge, where its arrow points
    QRectF Bounds;
    QString Error; ///< empty when the layout was made
};

/// Lays `input` out from top to bottom, what a node uses below it.
GraphLayoutResult LayOutGraph(const GraphLayoutInput& input);

} // namespace ut::gui
