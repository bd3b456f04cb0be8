#include "RQS-Kit/Foundation/QSNegateValueTransformer.h"
#include "RQS-Kit/Foundation/QSNonNil1NumberValueTransformer.h"
#include "RQS-Kit/Foundation/QSNonNilInftyValueTransformer.h"
#include "RQS-Kit/Foundation/QSNonNilNumberValueTransformer.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

struct Case { QVariant input; QVariant expected; };

// Compares kind and value: an integer 1 and a double 1 are different answers here.
void expectTransforms(const platform::ValueTransformer &t, std::initializer_list<Case> forward, std::initializer_list<Case> reverse)
{
    for (const auto &[cases, isForward] : {std::pair{forward, true}, std::pair{reverse, false}}) {
        for (const Case &c : cases) {
            SCOPED_TRACE(testing::Message() << (isForward ? "forward " : "reverse ") << c.input.toString().toStdString());
            const QVariant result = isForward ? t.transformedValue(c.input) : t.reverseTransformedValue(c.input);
            EXPECT_EQ(result.metaType(), c.expected.metaType());
            EXPECT_EQ(result, c.expected);
        }
    }
}

} // namespace

// Text and other kinds go through the shared number reading, tested with it; here only each class's own rules.
TEST(NumberValueTransformers, EachClassKeepsItsOwnRulesBothWays)
{
    const auto zero = {Case{QVariant(), 0.0}, Case{-2.5, -2.5}};
    expectTransforms(QSNonNilNumberValueTransformer(), zero, zero);
    const auto one = {Case{QVariant::fromValue(nullptr), 1}, Case{0, 0.0}};
    expectTransforms(QSNonNil1NumberValueTransformer(), one, one);
    const auto negated = {Case{-3, 3.0}, Case{QVariant(), -0.0}};
    expectTransforms(QSNegateValueTransformer(), negated, negated);

    // Infinity shows zero and less as an empty field.
    const double NaN = std::numeric_limits<double>::quiet_NaN();
    expectTransforms(QSNonNilInftyValueTransformer(), {Case{QVariant(), 1}, Case{-0.001, ""}, Case{NaN, ""}, Case{8, 8.0}},
                     {Case{QVariant(), 0}, Case{"", 0.0}, Case{"12", 12.0}});
}
