#include "platform/DoubleValue.h"

#include <gtest/gtest.h>

#include <QLocale>

#include <cmath>
#include <limits>

namespace {
constexpr double Infinity = std::numeric_limits<double>::infinity();
}

TEST(DoubleValue, ReadsTheLeadingDecimalNumberOfAText)
{
    struct Case { const char16_t *text; double expected; };
    const Case cases[] = {
        {u"", 0},           {u"abc", 0},          {u"12abc", 12},     {u"  -3.5e2x", -350},
        {u"\t\n42", 42},    {u"+7", 7},           {u".5", 0.5},       {u"1.", 1},
        {u"-.25", -0.25},   {u"1.2.3", 1.2},      {u"2e", 2},         {u"2e+", 2},
        {u"1e3", 1000},     {u"25E-1", 2.5},      {u"1,5", 1},        {u"0x10", 0},
        {u".", 0},          {u"-", 0},            {u"- 4", 0},        {u"inf", 0},
        {u"nan", 0},        {u"\u0663", 0},       {u"007", 7},        {u"1e999", Infinity},
        {u"-1e999", -Infinity},
    };
    for (const Case &c : cases) {
        const QString text = QString::fromUtf16(c.text);
        SCOPED_TRACE(text.toStdString());
        EXPECT_EQ(platform::doubleValue(QStringView(text)), c.expected);
    }
}

TEST(DoubleValue, ReadsVariantsByTheirKind)
{
    EXPECT_EQ(platform::doubleValue(QVariant()), 0);
    EXPECT_EQ(platform::doubleValue(QVariant::fromValue(nullptr)), 0);
    EXPECT_EQ(platform::doubleValue(QVariant(QStringLiteral("3.5 cm"))), 3.5);
    EXPECT_EQ(platform::doubleValue(QVariant(QString())), 0);
    EXPECT_EQ(platform::doubleValue(QVariant(true)), 1);
    EXPECT_EQ(platform::doubleValue(QVariant(4)), 4);
    EXPECT_EQ(platform::doubleValue(QVariant(2.5f)), 2.5);
    EXPECT_EQ(platform::doubleValue(QVariant(qint64(1) << 40)), 1099511627776.0);
}

TEST(DoubleValue, PointIsTheDecimalSymbolInEveryLocale)
{
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const double point = platform::doubleValue(QStringView(u"1.5"));
    const double comma = platform::doubleValue(QStringView(u"1,5"));
    QLocale::setDefault(before);
    EXPECT_EQ(point, 1.5);
    EXPECT_EQ(comma, 1);
}
