#include "gui/GraphPage.h"

#include "analysis/Neighbourhood.h"
#include "gui/GraphLayout.h"
#include "gui/QtText.h"
#include "gui/ScanAnalysis.h"
#include "gui/TreePage.h"
#include "gui/UnitTreeModel.h"
#include "gui/WaitCursor.h"
#include "platform/FileSystem.h"
#include "scanner/Unit.h"

#include <QCompleter>
#include <QElapsedTimer>
#include <QGraphicsItem>
#include <QGraphicsScene>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QSpinBox>
#include <QTreeView>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace ut::gui {

namespace {

constexpr int KeyRole = 0;  ///< a unit box: its key
constexpr int EdgeRole = 1; ///< an edge: its text

// The arrowhead at `tip`, pointing away from `from`.
QPolygonF Arrow(QPointF from, QPointF tip, double size) {
    const QLineF line(tip, from);
    if (line.length() < 0.01)
        return {};
    const QPointF unit = (from - tip) / line.length();
    const QPointF normal(-unit.y(), unit.x());
    const QPointF base = tip + unit * size;
    return QPolygonF({tip, base + normal * size * 0.45, base - normal * size * 0.45});
}

} // namespace

void GraphView::Zoom(double factor) {
    const double current = transform().m11();
    if (current * factor < 0.05 || current * factor > 8)
        return;
    scale(factor, factor);
}

void GraphView::wheelEvent(QWheelEvent* event) {
    const int delta = event->angleDelta().y();
    if (delta != 0)
        Zoom(std::pow(1.0015, delta));
    event->accept();
}

void GraphView::mousePressEvent(QMouseEvent* event) {
    FPressedAt = event->position().toPoint();
    QGraphicsView::mousePressEvent(event);
}

void GraphView::mouseReleaseEvent(QMouseEvent* event) {
    QGraphicsView::mouseReleaseEvent(event);
    const QPoint at = event->position().toPoint();
    if (event->button() == Qt::LeftButton && (at - FPressedAt).manhattanLength() < 4)
        if (QGraphicsItem* item = itemAt(at))
            emit itemClicked(item);
}

GraphPage::GraphPage(const ProjectScan& scan, ScanAnalysis& analysis, QWidget* parent)
    : QWidget(parent), FScan(scan), FAnalysis(analysis), FUnitEdit(new QLineEdit(this)),
      FSteps(new QSpinBox(this)), FStatus(new QLabel(this)), FScene(new QGraphicsScene(this)),
      FView(new GraphView(FScene, this)) {
    FUnitEdit->setObjectName(QStringLiteral("graphUnitEdit"));
    FSteps->setObjectName(QStringLiteral("graphStepsBox"));
    FSteps->setRange(1, 2);
    FSteps->setValue(1);
    FStatus->setObjectName(QStringLiteral("graphStatus"));
    FView->setObjectName(QStringLiteral("graphView"));
    FView->setDragMode(QGraphicsView::ScrollHandDrag);
    FView->setRenderHint(QPainter::Antialiasing);
    FView->setTransformationAnchor(QGraphicsView::AnchorUnderMouse);
    auto* zoomIn = new QPushButton(tr("Zoom &in"), this);
    auto* zoomOut = new QPushButton(tr("Zoom &out"), this);
    auto* fit = new QPushButton(tr("&Fit"), this);

    auto* bar = new QHBoxLayout;
    auto* unitLabel = new QLabel(tr("&Unit:"), this);
    unitLabel->setBuddy(FUnitEdit);
    auto* stepsLabel = new QLabel(tr("&Steps:"), this);
    stepsLabel->setBuddy(FSteps);
    bar->addWidget(unitLabel);
    bar->addWidget(FUnitEdit, 1);
    bar->addWidget(stepsLabel);
    bar->addWidget(FSteps);
    bar->addWidget(zoomIn);
    bar->addWidget(zoomOut);
    bar->addWidget(fit);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(bar);
    layout->addWidget(FView, 1);
    layout->addWidget(FStatus);

    connect(zoomIn, &QPushButton::clicked, this, [this] { FView->Zoom(1.25); });
    connect(zoomOut, &QPushButton::clicked, this, [this] { FView->Zoom(0.8); });
    connect(fit, &QPushButton::clicked, this,
            [this] { FView->fitInView(FScene->sceneRect(), Qt::KeepAspectRatio); });
    connect(FSteps, &QSpinBox::valueChanged, this, [this] {
        if (!FDrawn.isEmpty())
            Draw();
    });
    connect(FUnitEdit, &QLineEdit::returnPressed, this,
            [this] { SetCentre(FUnitEdit->text().trimmed()); });
    connect(FView, &GraphView::itemClicked, this, [this](QGraphicsItem* item) {
        for (; item; item = item->parentItem())
            if (const QString key = item->data(KeyRole).toString(); !key.isEmpty())
                return SetCentre(key);
    });
    // The drawing holds names only; a new result draws again when the page is shown.
    connect(&FAnalysis, &ScanAnalysis::changed, this, [this] {
        if (FDrawn.isEmpty())
            return;
        ClearResult();
        if (isVisible())
            Draw();
    });
}

void GraphPage::Follow(TreePage& tree) {
    QTreeView* view = tree.Tree();
    connect(view->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this, &tree](const QModelIndex& current) {
                if (const TUnit* unit = tree.Model()->NodeUnit(current.siblingAtColumn(0)))
                    SetCentre(ToQt(fs::FileKey(unit->FileName)));
            });
}

void GraphPage::SetCentre(const QString& key) {
    if (key.isEmpty())
        return;
    FCentre = key;
    if (isVisible())
        Draw();
}

void GraphPage::ShowResult() {
    if (FDrawn.isEmpty() || FDrawn.compare(FCentre, Qt::CaseInsensitive) != 0)
        Draw();
}

void GraphPage::ClearResult() {
    FScene->clear();
    FDrawn.clear();
    FStatus->clear();
}

bool GraphPage::Draw() {
    const DependencyAnalysis* analysis = FAnalysis.Get();
    if (!analysis)
        return false;
    WaitCursor wait;
    const UnitGraph& graph = analysis->Graph();
    int centre = FCentre.isEmpty() ? -1 : graph.Find(FromQt(FCentre));
    if (centre < 0)
        centre = graph.Root() >= 0 ? graph.Root() : (graph.Count() > 0 ? 0 : -1);
    if (centre < 0)
        return false;
    if (!FUnitEdit->completer() || FDrawn.isEmpty()) {
        QStringList names;
        for (const GraphNode& n : graph.Nodes())
            names << ToQt(n.Key);
        auto* completer = new QCompleter(names, FUnitEdit);
        completer->setCaseSensitivity(Qt::CaseInsensitive);
        delete FUnitEdit->completer();
        FUnitEdit->setCompleter(completer);
    }
    const Neighbourhood n = FindNeighbourhood(graph, analysis->Cycles(), centre, FSteps->value());
    FScene->clear();
    const QFontMetricsF fm(font());
    GraphLayoutInput input;
    std::vector<int> indexOf(static_cast<size_t>(graph.Count()), -1);
    for (size_t i = 0; i < n.Nodes.size(); ++i) {
        indexOf[n.Nodes[i]] = static_cast<int>(i);
        const QString name = ToQt(graph.Node(n.Nodes[i]).Key);
        input.Nodes.push_back({fm.horizontalAdvance(name) + 16, fm.height() + 10});
    }
    for (const NeighbourEdge& e : n.Edges)
        input.Edges.push_back({indexOf[e.From], indexOf[e.To]});
    QElapsedTimer timer;
    timer.start();
    const GraphLayoutResult layout = LayOutGraph(input);
    const qint64 ms = timer.elapsed();
    if (!layout.Error.isEmpty()) {
        FStatus->setText(layout.Error);
        return false;
    }
    const QColor text = palette().color(QPalette::Text);
    for (size_t k = 0; k < n.Edges.size(); ++k) {
        const NeighbourEdge& e = n.Edges[k];
        QPen pen(e.OnCycle ? QColor(208, 0, 0) : text, 1.2);
        if (!e.Interface)
            pen.setStyle(Qt::DashLine);
        auto* curve = FScene->addPath(layout.Curves[k], pen);
        const QPainterPath& path = layout.Curves[k];
        const QPointF from = path.elementCount() > 0 ? path.currentPosition() : QPointF();
        auto* head = new QGraphicsPolygonItem(Arrow(from, layout.Tips[k], 8), curve);
        head->setPen(Qt::NoPen);
        head->setBrush(pen.color());
        curve->setData(EdgeRole, ToQt(graph.Node(e.From).Key) + QStringLiteral(" -> ") +
                                     ToQt(graph.Node(e.To).Key) +
                                     (e.OnCycle ? QStringLiteral(" (red)") : QString()) +
                                     (e.Interface ? QString() : QStringLiteral(" (dashed)")));
        curve->setZValue(0);
    }
    QFont bold = font();
    bold.setBold(true);
    for (size_t i = 0; i < n.Nodes.size(); ++i) {
        const int v = n.Nodes[i];
        const QSizeF size = input.Nodes[i];
        const QRectF box(layout.Centres[i] - QPointF(size.width() / 2, size.height() / 2), size);
        const int cycle = analysis->Cycles().CycleOf[v];
        const bool circular = analysis->Cycles().InterfaceCycleOf[v] >= 0;
        const QColor edge = cycle < 0  ? text
                            : circular ? UnitTreeModel::InterfaceCycleColor()
                                       : UnitTreeModel::CycleColor();
        auto* item =
            FScene->addRect(box, QPen(edge, v == centre ? 2.5 : 1.2),
                            v == centre ? QColor(255, 236, 170) : palette().color(QPalette::Base));
        item->setData(KeyRole, ToQt(graph.Node(v).Key));
        item->setZValue(1);
        item->setCursor(Qt::PointingHandCursor);
        item->setToolTip(ToQt(graph.Node(v).FileName));
        auto* label = new QGraphicsSimpleTextItem(ToQt(graph.Node(v).Key), item);
        label->setFont(v == centre ? bold : font());
        label->setBrush(cycle < 0 ? text : edge);
        const QRectF textBox = label->boundingRect();
        label->setPos(box.center() - textBox.center());
    }
    FScene->setSceneRect(layout.Bounds.adjusted(-10, -10, 10, 10));
    FDrawn = ToQt(graph.Node(centre).Key);
    FCentre = FDrawn;
    FUnitEdit->setText(FDrawn);
    QString status = tr("%1: %2 units, %3 uses entries; laid out in %4 ms")
                         .arg(FDrawn)
                         .arg(n.Nodes.size())
                         .arg(n.Edges.size())
                         .arg(ms);
    if (n.LeftOut > 0)
        status += tr("; %1 more units within reach are not shown").arg(n.LeftOut);
    FStatus->setText(status);
    // Readable at first: the whole picture when it fits at no less than 60 % of its size,
    // else the centre at full size ("Fit" shows everything).
    FView->resetTransform();
    const QRectF scene = FScene->sceneRect();
    const QSize room = FView->viewport()->size();
    const double scale = std::min(room.width() / scene.width(), room.height() / scene.height());
    if (scale >= 1)
        FView->centerOn(scene.center());
    else if (scale >= 0.6)
        FView->fitInView(scene, Qt::KeepAspectRatio);
    else
        FView->centerOn(layout.Centres[0]);
    return true;
}

QStringList GraphPage::UnitNames() const {
    QStringList names;
    for (QGraphicsItem* item : FScene->items(Qt::AscendingOrder))
        if (const QString key = item->data(KeyRole).toString(); !key.isEmpty())
            names << key;
    return names;
}

QStringList GraphPage::EdgeTexts() const {
    QStringList edges;
    for (QGraphicsItem* item : FScene->items(Qt::AscendingOrder))
        if (const QString text = item->data(EdgeRole).toString(); !text.isEmpty())
            edges << text;
    edges.sort();
    return edges;
}

QPoint GraphPage::UnitPosition(const QString& key) const {
    for (QGraphicsItem* item : FScene->items())
        if (item->data(KeyRole).toString() == key) {
            FView->ensureVisible(item);
            return FView->mapFromScene(item->sceneBoundingRect().center());
        }
    return {-1, -1};
}

} // namespace ut::gui
