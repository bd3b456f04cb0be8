#include "RQS-Kit/Foundation/QSNegateValueTransformer.h"
#include "RQS-Kit/Foundation/QSNonNil1NumberValueTransformer.h"
#include "RQS-Kit/Foundation/QSNonNilInftyValueTransformer.h"
#include "RQS-Kit/Foundation/QSNonNilNumberValueTransformer.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>

namespace {

struct Case { QVariant input; QVariant expected; };

// Compares kind and value: an integer 1 and a double 1 are different answers here.
void expectTransforms(const char *direction, const std::function<QVariant(const QVariant &)> &transform,
                      std::initializer_list<Case> cases)
{
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << direction << " " << c.input.toString().toStdString() << " ("
                                        << c.input.typeName() << ")");
        const QVariant result = transform(c.input);
        EXPECT_EQ(result.metaType(), c.expected.metaType());
        EXPECT_EQ(result, c.expected);
    }
}

const double NaN = std::numeric_limits<double>::quiet_NaN();

} // namespace

TEST(NumberValueTransformers, NonNilNumberStandsInZero)
{
    const QSNonNilNumberValueTransformer t;
    const auto cases = {Case{QVariant(), 0.0},           Case{QVariant(0), 0.0},
                        Case{QVariant(7), 7.0},          Case{QVariant(-2.5), -2.5},
                        Case{"4.5", 4.5}, Case{"", 0.0},
                        Case{QVariant(true), 1.0}};
    expectTransforms("forward", [&](const QVariant &v) { return t.transformedValue(v); }, cases);
    expectTransforms("reverse", [&](const QVariant &v) { return t.reverseTransformedValue(v); }, cases);
}

TEST(NumberValueTransformers, NonNil1NumberStandsInOne)
{
    const QSNonNil1NumberValueTransformer t;
    const auto cases = {Case{QVariant(), 1},              Case{QVariant::fromValue(nullptr), 1},
                        Case{QVariant(0), 0.0},           Case{QVariant(3), 3.0},
                        Case{QVariant(-0.5), -0.5},       Case{"12", 12.0}};
    expectTransforms("forward", [&](const QVariant &v) { return t.transformedValue(v); }, cases);
    expectTransforms("reverse", [&](const QVariant &v) { return t.reverseTransformedValue(v); }, cases);
}

TEST(NumberValueTransformers, NonNilInftyShowsZeroAndLessAsAnEmptyField)
{
    const QSNonNilInftyValueTransformer t;
    expectTransforms("forward", [&](const QVariant &v) { return t.transformedValue(v); },
                     {Case{QVariant(), 1},
                      Case{QVariant(0), ""},
                      Case{QVariant(-3), ""},
                      Case{QVariant(-0.001), ""},
                      Case{QVariant(NaN), ""},
                      Case{"", ""},
                      Case{QVariant(2.5), 2.5},
                      Case{QVariant(8), 8.0},
                      Case{"16", 16.0}});
    expectTransforms("reverse", [&](const QVariant &v) { return t.reverseTransformedValue(v); },
                     {Case{QVariant(), 0},
                      Case{"", 0.0},
                      Case{"12", 12.0},
                      Case{QVariant(2.5), 2.5},
                      Case{QVariant(-1), -1.0}});
}

TEST(NumberValueTransformers, NegateTwiceGivesTheStartingValue)
{
    const QSNegateValueTransformer t;
    const auto cases = {Case{QVariant(2.5), -2.5}, Case{QVariant(-3), 3.0}, Case{QStringLiteral("4.5"), -4.5},
                        Case{QVariant(), -0.0}};
    expectTransforms("forward", [&](const QVariant &v) { return t.transformedValue(v); }, cases);
    expectTransforms("reverse", [&](const QVariant &v) { return t.reverseTransformedValue(v); }, cases);
    for (double value : {0.0, 1.0, -7.25, 1e300, 123456.789}) {
        SCOPED_TRACE(value);
        EXPECT_EQ(t.transformedValue(t.transformedValue(value)).toDouble(), value);
        EXPECT_EQ(t.reverseTransformedValue(t.transformedValue(value)).toDouble(), value);
    }
}
