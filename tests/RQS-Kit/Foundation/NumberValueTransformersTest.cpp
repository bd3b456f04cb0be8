#include "RQS-Kit/Foundation/QSNegateValueTransformer.h"
#include "RQS-Kit/Foundation/QSNonNil1NumberValueTransformer.h"
#include "RQS-Kit/Foundation/QSNonNilInftyValueTransformer.h"
#include "RQS-Kit/Foundation/QSNonNilNumberValueTransformer.h"
#include "RQS-Kit/Foundation/QSTimeValueTransformer.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>

namespace {

struct Case
{
    QVariant input;
    QVariant expected;
};

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
                        Case{QStringLiteral("4.5"), 4.5}, Case{QStringLiteral(""), 0.0},
                        Case{QVariant(true), 1.0}};
    expectTransforms("forward", [&](const QVariant &v) { return t.transformedValue(v); }, cases);
    expectTransforms("reverse", [&](const QVariant &v) { return t.reverseTransformedValue(v); }, cases);
}

TEST(NumberValueTransformers, NonNil1NumberStandsInOne)
{
    const QSNonNil1NumberValueTransformer t;
    const auto cases = {Case{QVariant(), 1},              Case{QVariant::fromValue(nullptr), 1},
                        Case{QVariant(0), 0.0},           Case{QVariant(3), 3.0},
                        Case{QVariant(-0.5), -0.5},       Case{QStringLiteral("12"), 12.0}};
    expectTransforms("forward", [&](const QVariant &v) { return t.transformedValue(v); }, cases);
    expectTransforms("reverse", [&](const QVariant &v) { return t.reverseTransformedValue(v); }, cases);
}

TEST(NumberValueTransformers, NonNilInftyShowsZeroAndLessAsAnEmptyField)
{
    const QSNonNilInftyValueTransformer t;
    expectTransforms("forward", [&](const QVariant &v) { return t.transformedValue(v); },
                     {Case{QVariant(), 1},
                      Case{QVariant(0), QStringLiteral("")},
                      Case{QVariant(-3), QStringLiteral("")},
                      Case{QVariant(-0.001), QStringLiteral("")},
                      Case{QVariant(NaN), QStringLiteral("")},
                      Case{QStringLiteral(""), QStringLiteral("")},
                      Case{QVariant(2.5), 2.5},
                      Case{QVariant(8), 8.0},
                      Case{QStringLiteral("16"), 16.0}});
    expectTransforms("reverse", [&](const QVariant &v) { return t.reverseTransformedValue(v); },
                     {Case{QVariant(), 0},
                      Case{QStringLiteral(""), 0.0},
                      Case{QStringLiteral("12"), 12.0},
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

TEST(NumberValueTransformers, AllReverseAndNameWhatTheyAnswer)
{
    const QSNonNilNumberValueTransformer nonNil;
    const QSNonNil1NumberValueTransformer nonNil1;
    const QSNonNilInftyValueTransformer infty;
    const QSNegateValueTransformer negate;
    const QSTimeValueTransformer time;
    struct Row { const platform::ValueTransformer *transformer; int valueClass; };
    for (const Row &row : {Row{&nonNil, QMetaType::Double}, Row{&nonNil1, QMetaType::Double},
                           Row{&infty, QMetaType::QString}, Row{&negate, QMetaType::Double},
                           Row{&time, QMetaType::Double}}) {
        EXPECT_TRUE(row.transformer->allowsReverseTransformation());
        EXPECT_EQ(row.transformer->transformedValueClass(), row.valueClass);
    }
}
