#include "app/booklet/VXUnitConverter.h"

#include <QLocale>

#include <gtest/gtest.h>

TEST(VXUnitConverter, LengthsInTheLocalesUnitsWithAPointForDecimals)
{
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_FALSE(VXUnitConverter::isMetric());
    EXPECT_EQ(VXUnitConverter::nameForLength(72), "1.0\"");
    EXPECT_EQ(VXUnitConverter::nameForSize({612, 792}), QString::fromUtf8("8.5\"×11.0\""));

    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_TRUE(VXUnitConverter::isMetric());
    EXPECT_EQ(VXUnitConverter::nameForLength(72), "2.5cm");
    EXPECT_EQ(VXUnitConverter::nameForSize({595.28, 841.89}), QString::fromUtf8("21.0cm×29.7cm"));
    QLocale::setDefault(saved);
}
