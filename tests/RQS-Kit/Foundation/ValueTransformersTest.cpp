#include "RQS-Kit/Foundation/QSNegateValueTransformer.h"
#include "RQS-Kit/Foundation/QSNonNil1NumberValueTransformer.h"
#include "RQS-Kit/Foundation/QSNonNilInftyValueTransformer.h"
#include "RQS-Kit/Foundation/QSNonNilNumberValueTransformer.h"
#include "RQS-Kit/Foundation/QSTimeValueTransformer.h"
#include "platform/foundation/Log.h"

#include "support/StringsTables.h"

#include <gtest/gtest.h>

#include <QLocale>

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

QString textFor(const QSTimeValueTransformer &transformer, const QVariant &seconds)
{
    const QVariant text = transformer.transformedValue(seconds);
    EXPECT_EQ(text.metaType().id(), QMetaType::QString);
    return text.toString();
}

double secondsFor(const QSTimeValueTransformer &transformer, const QString &text)
{
    const QVariant seconds = transformer.reverseTransformedValue(text);
    EXPECT_EQ(seconds.metaType().id(), QMetaType::Double);
    return seconds.toDouble();
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

TEST(QSTimeValueTransformer, WritesAndReadsClockTextsWithTheChosenOrLocalizedSymbolAndWarnsAboutTheRest)
{
    const std::pair<QVariant, QString> cases[] = {
        {QVariant(), "00:00:00.000"}, {59.9996, "00:00:59.999"}, {360000.25, "100:00:00.250"},
        {"90", "00:01:30.000"},       {-90.5, "-00:01:30.500"}, {-0.0004, "00:00:00.000"},
    };
    QSTimeValueTransformer transformer;
    transformer.setDecimalSymbol(".");
    for (const auto &[seconds, text] : cases)
        EXPECT_EQ(textFor(transformer, seconds), text);

    const std::pair<const char *, double> texts[] = {
        {"1:02:03.5", 3723.5}, {"62:03.5", 3723.5}, {"3723.5", 3723.5}, {"1:02:03,5", 3723.5}, {" -1:30 ", -90}, {"1:-30", 30},
        // "1:" before the decimal symbol counts as seconds; fields before the hours fold into them; fractions stop at a non-digit.
        {"1:.5", 1.5}, {"2:03:04:05", 7445}, {"3.5 s", 3.5},
    };
    for (const auto &[text, seconds] : texts)
        EXPECT_DOUBLE_EQ(secondsFor(transformer, text), seconds) << text;

    // Times that cannot be shown and texts without digits are warned about.
    platform::LogCapture capture;
    EXPECT_EQ(textFor(transformer, std::numeric_limits<double>::quiet_NaN()), QString());
    EXPECT_EQ(secondsFor(transformer, "::."), 0);
    EXPECT_EQ(secondsFor(transformer, "0"), 0);
    ASSERT_EQ(capture.lines().size(), 2) << "zero is no warning";
    EXPECT_EQ(capture.lines().last(), "Warning: \"::.\" is not a time; read as 0 seconds");

    // Times survive the round trip through text with the chosen symbol.
    QSTimeValueTransformer comma;
    comma.setDecimalSymbol(",");
    for (double seconds : {0.001, 12345.678, -3723.004}) {
        const QString text = textFor(comma, seconds);
        const double readBack = secondsFor(comma, text);
        EXPECT_NEAR(readBack, seconds, 1e-9) << seconds;
        EXPECT_EQ(textFor(comma, readBack), text);
    }

    // Localized: the locale's decimal point, otherwise a comma.
    LanguageScope german("de_DE");
    QSTimeValueTransformer localized;
    EXPECT_EQ(textFor(localized, 3723.5), "01:02:03,500");

    QLocale::setDefault(QLocale("en_US"));
    localized.setLocalized(true);
    EXPECT_EQ(textFor(localized, 3723.5), "01:02:03.500");
    localized.setLocalized(false);
    EXPECT_EQ(textFor(localized, 0), "00:00:00,000");
    EXPECT_DOUBLE_EQ(secondsFor(localized, "62:03.5"), 3723.5) << "\".\" is then the alternate symbol";
}
