#include "platform/foundation/DoubleValue.h"

#include <gtest/gtest.h>

#include <QLocale>

#include <limits>

TEST(DoubleValue, ReadsTheLeadingDecimalNumberOfATextOrAVariant)
{
    constexpr double Infinity = std::numeric_limits<double>::infinity();
    const struct { const char16_t *text; double expected; } cases[] = {
        {u"", 0},           {u"abc", 0},          {u"12abc", 12},     {u"  -3.5e2x", -350},
        {u"\t\n42", 42},    {u"+7", 7},           {u".5", 0.5},       {u"1.", 1},
        {u"-.25", -0.25},   {u"1.2.3", 1.2},      {u"2e", 2},         {u"2e+", 2},
        {u"1e3", 1000},     {u"25E-1", 2.5},      {u"1,5", 1},        {u"0x10", 0},
        {u".", 0},          {u"-", 0},            {u"- 4", 0},        {u"inf", 0},
        {u"nan", 0},        {u"\u0663", 0},       {u"007", 7},        {u"1e999", Infinity},
        {u"-1e999", -Infinity},
    };
    for (const auto &c : cases) {
        const QString text = QString::fromUtf16(c.text);
        EXPECT_EQ(platform::doubleValue(QStringView(text)), c.expected) << text.toStdString();
    }

    const std::pair<QVariant, double> variants[] = {
        {QVariant(), 0}, {QVariant::fromValue(nullptr), 0}, {QString("3.5 cm"), 3.5}, {QString(), 0},
        {true, 1},       {4, 4},                            {2.5f, 2.5},              {qint64(1) << 40, 1099511627776.0},
    };
    for (const auto &[variant, expected] : variants)
        EXPECT_EQ(platform::doubleValue(variant), expected) << variant.typeName();
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
