#include "app/window/VXTableRowView.h"

#include <QImage>

#include <gtest/gtest.h>

namespace {

QImage drawn(VXTableRowView &row)
{
    QImage image(row.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    row.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

bool darkVeil(const QColor &c) { return c.alpha() >= 40 && c.red() < 40; }

} // namespace

TEST(VXTableRowView, EachSubviewIsAWhitePageRingedWhenTheRowIsSelectedAndAddedOnesStayCentred)
{
    VXTableRowView row;
    row.resize(200, 100);
    row.setSelected(true);
    const QImage empty = drawn(row);
    EXPECT_EQ(empty.pixelColor(100, 50).alpha(), 0);
    EXPECT_EQ(empty.pixelColor(7, 50).alpha(), 0);

    (new QWidget(&row))->setGeometry(10, 10, 50, 80);
    (new QWidget(&row))->setGeometry(100, 10, 50, 80);
    for (bool selected : {false, true}) {
        row.setSelected(selected);
        const QImage image = drawn(row);
        for (int x : {35, 125})
            EXPECT_EQ(image.pixelColor(x, 50), QColor(Qt::white)) << x;
        EXPECT_EQ(darkVeil(image.pixelColor(7, 50)), selected) << "left of the first page";
        EXPECT_EQ(darkVeil(image.pixelColor(97, 50)), selected) << "left of the second page";
        EXPECT_EQ(image.pixelColor(80, 50).alpha(), 0) << "between the pages";
    }

    row.show(); // a hidden widget hears of its new size only when shown
    auto *preview = new QWidget;
    row.addSubview(preview);
    EXPECT_EQ(preview->geometry(), QRect(20, 10, 160, 80)) << "centred, 20 in and 10 up";
    row.resize(300, 60);
    EXPECT_EQ(preview->geometry(), QRect(20, 10, 260, 40));
}
