#include "gui/NodeImages.h"

#include <QHash>
#include <QPainter>

#include <vector>

namespace ut::gui {

namespace {

const QColor PageBorder(96, 96, 96);
const QColor PageFill(255, 255, 255);
const QColor CornerFill(208, 208, 208);

QImage Blank() {
    QImage image(NodeImageSize, NodeImageSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

// A sheet with a folded upper-right corner; the text lines are drawn by the caller.
void DrawPage(QPainter& p) {
    const QPolygon sheet({{2, 0}, {10, 0}, {13, 3}, {13, 15}, {2, 15}});
    p.setPen(PageBorder);
    p.setBrush(PageFill);
    p.drawPolygon(sheet);
    const QPolygon corner({{10, 0}, {10, 3}, {13, 3}});
    p.setBrush(CornerFill);
    p.drawPolygon(corner);
}

// Five lines of "text" on the page, in one colour; dotted lines leave every other pixel out.
void DrawLines(QPainter& p, const QColor& color, bool dotted) {
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::NoBrush);
    const int rights[] = {8, 11, 10, 11, 9};
    for (int i = 0; i < 5; ++i) {
        const int y = 4 + 2 * i;
        for (int x = 4; x <= rights[i]; x += dotted ? 2 : 1)
            p.fillRect(x, y, 1, 1, color);
    }
}

QImage PageImage(const QColor& lineColor, bool dotted) {
    QImage image = Blank();
    QPainter p(&image);
    DrawPage(p);
    DrawLines(p, lineColor, dotted);
    return image;
}

QImage ProjectImage() {
    QImage image = Blank();
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(64, 64, 64), 1));
    p.setBrush(QColor(236, 236, 228));
    p.drawEllipse(QRectF(0.5, 0.5, 15, 15));
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(Qt::NoPen);
    // Red square upper left, yellow plus upper right, blue triangle below.
    p.fillRect(3, 4, 4, 4, QColor(208, 32, 32));
    const QColor yellow(240, 200, 0);
    p.fillRect(10, 3, 1, 5, yellow);
    p.fillRect(8, 5, 5, 1, yellow);
    p.setBrush(QColor(32, 64, 208));
    p.drawPolygon(QPolygon({{5, 13}, {8, 9}, {11, 13}}));
    return image;
}

QImage FormOverImage() {
    QImage image = Blank();
    QPainter p(&image);
    const QColor outline(96, 64, 0);
    const QColor yellow(255, 216, 0);
    // An outlined F in the lower-left quarter: stem, top bar and middle bar.
    p.fillRect(0, 8, 3, 8, outline);
    p.fillRect(0, 8, 7, 3, outline);
    p.fillRect(0, 11, 6, 3, outline);
    p.fillRect(1, 9, 1, 6, yellow);
    p.fillRect(1, 9, 5, 1, yellow);
    p.fillRect(1, 12, 4, 1, yellow);
    return image;
}

// A round badge in the lower-right corner, the verdict's colour, with a white sign.
QImage BadgeImage(const QColor& fill, const std::vector<QRect>& sign) {
    QImage image = Blank();
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(fill.darker(150), 1));
    p.setBrush(fill);
    p.drawEllipse(QRectF(8.5, 8.5, 7, 7));
    p.setRenderHint(QPainter::Antialiasing, false);
    for (const QRect& r : sign)
        p.fillRect(r, Qt::white);
    return image;
}

QImage MakeImage(const QString& name) {
    if (name == QLatin1String("Unit"))
        return PageImage(QColor(0, 144, 0), false);
    if (name == QLatin1String("Project"))
        return ProjectImage();
    if (name == QLatin1String("Unit_Disa"))
        return PageImage(QColor(160, 160, 160), false);
    if (name == QLatin1String("Unit_Intf"))
        return PageImage(QColor(0, 64, 224), true);
    if (name == QLatin1String("FormOver"))
        return FormOverImage();
    // A minus: the entry can go; an arrow down: it can move; a question mark: no verdict.
    if (name == QLatin1String("RemoveOver"))
        return BadgeImage(QColor(208, 32, 32), {QRect(10, 11, 4, 2)});
    if (name == QLatin1String("MoveOver"))
        return BadgeImage(QColor(32, 96, 224),
                          {QRect(11, 10, 2, 3), QRect(10, 13, 4, 1), QRect(11, 14, 2, 1)});
    if (name == QLatin1String("UnknownOver"))
        return BadgeImage(QColor(128, 128, 128), {QRect(11, 10, 2, 1), QRect(12, 11, 1, 1),
                                                  QRect(11, 12, 1, 1), QRect(11, 14, 1, 1)});
    return QImage();
}

} // namespace

const QStringList& NodeImageNames() {
    static const QStringList names{"Unit",     "Project",    "Unit_Disa", "Unit_Intf",
                                   "FormOver", "RemoveOver", "MoveOver",  "UnknownOver"};
    return names;
}

QImage NamedNodeImage(const QString& name) {
    static QHash<QString, QImage> cache;
    auto it = cache.find(name);
    if (it == cache.end())
        it = cache.insert(name, MakeImage(name));
    return *it;
}

QIcon NodeIcon(const QString& name, bool formOverlay, const QString& badge) {
    static QHash<QString, QIcon> cache;
    const QString key = (formOverlay ? name + QLatin1String("+FormOver") : name) +
                        (badge.isEmpty() ? QString() : QLatin1Char('+') + badge);
    auto it = cache.find(key);
    if (it != cache.end())
        return *it;
    QImage image = NamedNodeImage(name);
    if (image.isNull())
        return QIcon();
    if (formOverlay) {
        QPainter p(&image);
        p.drawImage(0, 0, NamedNodeImage(QStringLiteral("FormOver")));
    }
    if (const QImage over = badge.isEmpty() ? QImage() : NamedNodeImage(badge); !over.isNull()) {
        QPainter p(&image);
        p.drawImage(0, 0, over);
    }
    return *cache.insert(key, QIcon(QPixmap::fromImage(image)));
}

} // namespace ut::gui
