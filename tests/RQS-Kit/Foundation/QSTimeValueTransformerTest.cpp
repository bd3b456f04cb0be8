#include "RQS-Kit/Foundation/QSTimeValueTransformer.h"

#include "platform/foundation/Log.h"
#include "support/StringsTables.h"

#include <gtest/gtest.h>

#include <QLocale>

#include <cmath>
#include <limits>

namespace {

QSTimeValueTransformer transformerWithSymbol(const QString &symbol)
{
    QSTimeValueTransformer transformer;
    transformer.setDecimalSymbol(symbol);
    return transformer;
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

TEST(QSTimeValueTransformer, WritesHoursMinutesSecondsAndMillisecondsWithEitherSymbol)
{
    const std::pair<QVariant, QString> cases[] = {
        {0, "00:00:00.000"},         {QVariant(), "00:00:00.000"},  {3723.5, "01:02:03.500"},  {59.9995, "00:00:59.999"},
        {59.9996, "00:00:59.999"},   {1.001, "00:00:01.001"},       {0.3, "00:00:00.300"},     {86399.999, "23:59:59.999"},
        {360000.25, "100:00:00.250"}, {"90", "00:01:30.000"},       {-90.5, "-00:01:30.500"},  {-0.0004, "00:00:00.000"},
    };
    const QSTimeValueTransformer point = transformerWithSymbol(".");
    const QSTimeValueTransformer comma = transformerWithSymbol(",");
    for (const auto &[seconds, text] : cases) {
        EXPECT_EQ(textFor(point, seconds), text);
        EXPECT_EQ(textFor(comma, seconds), QString(text).replace('.', ',')) << text.toStdString();
    }
}

TEST(QSTimeValueTransformer, ReadsClockTextsAndPlainSeconds)
{
    const std::pair<const char *, double> cases[] = {
        {"1:02:03.5", 3723.5}, {"62:03.5", 3723.5}, {"3723.5", 3723.5}, {"01:02:03.500", 3723.5}, {"1:02:03,5", 3723.5},
        {"90", 90},            {"1:30", 90},        {" 1:30 ", 90},     {".5", 0.5},              {"", 0},
        {"   ", 0},            {"0.001", 0.001},    {"-1:30", -90},     {"-.5", -0.5},            {"  -00:01:30.500", -90.5},
        {"1:-30", 30},         {"2,25", 2.25},
        // The character before the decimal symbol is not searched for ":", so "1:" counts as seconds.
        {"1:.5", 1.5}, {"12:", 12},
        // Fields before the hours fold into the hours' leading number.
        {"2:03:04:05", 7445},
        // Fraction digits stop at the first character that is not a digit.
        {"3.5 s", 3.5}, {"1:02:03.5x7", 3723.5},
    };
    const QSTimeValueTransformer transformer = transformerWithSymbol(".");
    for (const auto &[text, seconds] : cases)
        EXPECT_DOUBLE_EQ(secondsFor(transformer, text), seconds) << text;
}

TEST(QSTimeValueTransformer, TimesThatCannotBeShownAndTextsWithoutDigitsAreWarnedAbout)
{
    const QSTimeValueTransformer transformer = transformerWithSymbol(".");
    for (double seconds : {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
                           -std::numeric_limits<double>::infinity(), 1e300}) {
        platform::LogCapture capture;
        EXPECT_EQ(textFor(transformer, seconds), QString()) << seconds;
        ASSERT_EQ(capture.lines().size(), 1);
        EXPECT_TRUE(capture.lines().first().startsWith("Warning: "));
    }
    for (const char *text : {"abc", ":", ".", "-", "::."}) {
        platform::LogCapture capture;
        EXPECT_EQ(secondsFor(transformer, text), 0) << text;
        EXPECT_EQ(capture.lines(), QStringList{QStringLiteral("Warning: \"%1\" is not a time; read as 0 seconds").arg(text)});
    }
    platform::LogCapture quiet;
    EXPECT_EQ(secondsFor(transformer, QString()), 0);
    EXPECT_EQ(secondsFor(transformer, "0"), 0);
    EXPECT_TRUE(quiet.lines().isEmpty());
}

// The other symbol's reading is covered by the reading and localized tests.
TEST(QSTimeValueTransformer, TimesSurviveTheRoundTripThroughText)
{
    const double times[] = {0, 0.001, 0.1, 0.3, 1.001, 59.999, 60, 3599.999, 3723.5, 12345.678, 86399.999, 360000.25,
                            1234567.891, -0.25, -90.5, -3723.004};
    for (const char *symbol : {".", ","}) {
        const QSTimeValueTransformer transformer = transformerWithSymbol(QLatin1String(symbol));
        for (double seconds : times) {
            SCOPED_TRACE(testing::Message() << symbol << " " << seconds);
            const QString text = textFor(transformer, seconds);
            const double readBack = secondsFor(transformer, text);
            EXPECT_NEAR(readBack, seconds, 1e-9);
            EXPECT_EQ(textFor(transformer, readBack), text);
        }
    }
}

TEST(QSTimeValueTransformer, LocalizedUsesTheLocaleDecimalPointAndOtherwiseAComma)
{
    LanguageScope german("de_DE");
    QSTimeValueTransformer transformer;
    EXPECT_TRUE(transformer.localized());
    EXPECT_EQ(transformer.decimalSymbol(), ",");
    EXPECT_EQ(textFor(transformer, 3723.5), "01:02:03,500");
    EXPECT_DOUBLE_EQ(secondsFor(transformer, "1:02:03,5"), 3723.5);
    EXPECT_DOUBLE_EQ(secondsFor(transformer, "1:02:03.5"), 3723.5);

    QLocale::setDefault(QLocale("en_US"));
    transformer.setLocalized(true);
    EXPECT_EQ(transformer.decimalSymbol(), ".");
    EXPECT_EQ(textFor(transformer, 3723.5), "01:02:03.500");
    transformer.setLocalized(false);
    EXPECT_FALSE(transformer.localized());
    EXPECT_EQ(transformer.decimalSymbol(), ",");
    EXPECT_EQ(textFor(transformer, 0), "00:00:00,000");
    EXPECT_DOUBLE_EQ(secondsFor(transformer, "62:03.5"), 3723.5) << "\".\" is then the alternate symbol";
}

TEST(QSTimeValueTransformer, ClassOperationsUseOneSharedTransformer)
{
    const QString point = QLocale().decimalPoint();
    EXPECT_EQ(QSTimeValueTransformer::stringForTime(3723.5), QStringLiteral("01:02:03") + point + QStringLiteral("500"));
    EXPECT_DOUBLE_EQ(QSTimeValueTransformer::timeForString("1:02:03.5"), 3723.5);
}
