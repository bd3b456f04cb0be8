#include "RQS-Kit/Foundation/ScrollViewExtension.h"

#include <gtest/gtest.h>

#include <QScrollArea>
#include <QScrollBar>
#include <QTest>

TEST(ScrollViewExtension, OriginShowingAFrameAndScrollingToItAtOnceOrAnimated)
{
    const QRectF visible(100, 100, 200, 100);
    const struct { const char *name; QRectF frame; bool topLeftVisible; QPointF expected; } cases[] = {
        {"visible already", QRectF(120, 120, 50, 50), false, QPointF(100, 100)},
        {"below: bottom edges meet", QRectF(120, 20, 50, 50), false, QPointF(100, 20)},
        {"taller, above, top wanted", QRectF(120, 150, 50, 150), true, QPointF(100, 200)},
        {"right, left wanted", QRectF(400, 120, 50, 50), true, QPointF(400, 100)},
        {"wider, left: right edges meet", QRectF(0, 120, 250, 50), false, QPointF(50, 100)},
    };
    for (const auto &c : cases)
        EXPECT_EQ(rqs::originShowingFrame(c.frame, visible, c.topLeftVisible), c.expected) << c.name;

    // The area scrolls to show a frame at once or animated: a 1000 x 1000 document in a 200 x 100 viewport,
    // scrolled to the document's bottom left corner; origins are y up in the document.
    QScrollArea area;
    area.setFrameShape(QFrame::NoFrame);
    area.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    area.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto *document = new QWidget;
    document->resize(1000, 1000);
    area.setWidget(document);
    area.resize(200, 100);
    area.show();
    area.verticalScrollBar()->setValue(900);
    const auto origin = [&] { return QPoint(area.horizontalScrollBar()->value(), 1000 - 100 - area.verticalScrollBar()->value()); };
    rqs::scrollShowingFrame(&area, QRectF(500, 600, 50, 50), false, false);
    EXPECT_EQ(origin(), QPoint(350, 550)) << "right and top edges meet";
    rqs::scrollShowingFrame(&area, QRectF(100, 50, 50, 50), true, false);
    EXPECT_EQ(origin(), QPoint(100, 50)) << "left and bottom edges meet";

    rqs::scrollShowingFrame(&area, QRectF(500, 600, 50, 50), false, true);
    EXPECT_TRUE(QTest::qWaitFor([&] { return origin() == QPoint(350, 550); }));
}
