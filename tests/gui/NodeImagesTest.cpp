#include "gui/NodeImages.h"

#include <gtest/gtest.h>

#include <QColor>
#include <QImage>

namespace ut::gui {
namespace {

// Counts the opaque pixels of `image` inside `rect` whose colour passes `test`.
template <class Test> int Count(const QImage& image, const QRect& rect, Test test) {
    int n = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.alpha() == 255 && test(c))
                ++n;
        }
    return n;
}

const QRect Whole(0, 0, 16, 16);
bool Yellow(const QColor& c) {
    return c.red() > 200 && c.green() > 180 && c.blue() < 60;
}
TEST(NodeImagesTest, EveryNamedImageIs16By16WithTransparency) {
    EXPECT_EQ(NodeImageNames(),
              QStringList({"Unit", "Project", "Unit_Disa", "Unit_Intf", "FormOver"}));
    for (const QString& name : NodeImageNames()) {
        const QImage image = NamedNodeImage(name);
        ASSERT_FALSE(image.isNull()) << name.toStdString();
        EXPECT_EQ(image.size(), QSize(16, 16)) << name.toStdString();
        EXPECT_TRUE(image.hasAlphaChannel()) << name.toStdString();
        EXPECT_GT(Count(image, Whole, [](const QColor&) { return true; }), 0) << name.toStdString();
        EXPECT_FALSE(NodeIcon(name, false).isNull()) << name.toStdString();
    }
    EXPECT_TRUE(NamedNodeImage("Unit_Other").isNull());
    EXPECT_TRUE(NodeIcon("Unit_Other", true).isNull());
}

TEST(NodeImagesTest, OverlayIconComposesTheFOntoTheNodeImage) {
    const QImage plain = NodeIcon("Unit_Intf", false)
                             .pixmap(16, 16)
                             .toImage()
                             .convertToFormat(QImage::Format_ARGB32);
    const QImage marked =
        NodeIcon("Unit_Intf", true).pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32);
    EXPECT_NE(plain, marked);
    EXPECT_GT(Count(marked, QRect(0, 8, 8, 8), Yellow), 5);
    // Outside the letter's cell the node's own image is untouched.
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 16; ++x)
            EXPECT_EQ(plain.pixel(x, y), marked.pixel(x, y)) << x << "," << y;
    EXPECT_EQ(plain.pixel(12, 12), marked.pixel(12, 12));
}

} // namespace
} // namespace ut::gui
