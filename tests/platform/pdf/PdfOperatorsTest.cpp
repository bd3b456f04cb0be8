#include "platform/pdf/PdfOperators.h"

#include <QPainterPath>
#include <QTransform>

#include <gtest/gtest.h>

using platform::PdfOperators;

TEST(PdfOperators, NumbersAreShortAndNeverExponential)
{
    const QList<std::pair<double, std::string>> cases{
        {0, "0"}, {-0.0, "0"}, {1, "1"}, {-2.5, "-2.5"}, {1.0 / 3, "0.333333"}, {595.275591, "595.275591"},
        {1e-9, "0"}, {-3e-7, "0"}, {12345678, "12345678"}, {0.1 + 0.2, "0.3"},
    };
    for (const auto &[value, text] : cases)
        EXPECT_EQ(PdfOperators::number(value), text) << value;
}

TEST(PdfOperators, PathsBecomeConstructionOperators)
{
    QPainterPath path;
    path.moveTo(1, 2);
    path.lineTo(3, 4);
    path.cubicTo(5, 6, 7, 8, 9, 10);
    path.closeSubpath();
    EXPECT_EQ(PdfOperators::path(path), "1 2 m\n3 4 l\n5 6 7 8 9 10 c\n1 2 l\n");
    EXPECT_EQ(PdfOperators::path(QPainterPath()), "0 0 0 0 re\n");
}
