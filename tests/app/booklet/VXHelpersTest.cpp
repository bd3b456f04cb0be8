#include "app/booklet/VXPrinterDefaults.h"
#include "app/booklet/VXStyleKit.h"
#include "app/booklet/VXUnitConverter.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/graphics/BitmapGraphicsContext.h"

#include <QLocale>

#include <gtest/gtest.h>

TEST(VXPrinterDefaults, AnswersAreStoredOnlyUnderARealPrinterName)
{
    platform::UserDefaults *defaults = platform::UserDefaults::standardUserDefaults();
    const QString key = VXPrinterDefaults::TurnSheetsKey;
    const QString stored = "Office Laser.manualDuplexTurnSheets";
    defaults->setBool(true, key); // what a run without a printer reads
    const qsizetype keys = defaults->dictionaryRepresentation().size();
    platform::LogCapture log;
    EXPECT_FALSE(VXPrinterDefaults::setValueForPrinter(false, "  ", key));
    EXPECT_EQ(log.lines().size(), 1);
    EXPECT_EQ(defaults->dictionaryRepresentation().size(), keys);
    EXPECT_TRUE(VXPrinterDefaults::boolForPrinter("  ", key)) << "no printer reads the key alone";

    EXPECT_TRUE(VXPrinterDefaults::setValueForPrinter(false, "Office Laser", key));
    EXPECT_EQ(defaults->dictionaryRepresentation().size(), keys + 1);
    EXPECT_EQ(defaults->objectForKey(stored), QVariant(false));
    EXPECT_FALSE(VXPrinterDefaults::boolForPrinter("Office Laser", key));
    EXPECT_TRUE(defaults->boolForKey(key));
    for (const QString &written : {key, stored})
        defaults->removeObjectForKey(written);
}

TEST(VXUnitConverter, LengthsInTheLocalesUnitsWithAPointForDecimals)
{
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_FALSE(VXUnitConverter::isMetric());
    EXPECT_EQ(VXUnitConverter::nameForLength(72), "1.0\"");

    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_TRUE(VXUnitConverter::isMetric());
    EXPECT_EQ(VXUnitConverter::nameForSize({595.28, 841.89}), QString::fromUtf8("21.0cm×29.7cm"));
    QLocale::setDefault(saved);
}

namespace {

QImage drawn(QSizeF size, const std::function<void()> &drawing)
{
    return platform::BitmapGraphicsContext::drawnImage(size, 1, [&](platform::GraphicsContext &) { drawing(); });
}

} // namespace

TEST(VXStyleKit, DisabledPaperFaceIsTheNormalOneWithADashedFoldAndTheShadowDarkensTowardsTheFold)
{
    // The dashed fold sits 51 points in on a width of 100.
    const QImage normal = drawn({100, 40}, [] { VXStyleKit::drawingNamed("drawPaperPreviewWithSize")({100, 40}); });
    EXPECT_EQ(drawn({100, 40}, [] { VXStyleKit::drawPaperPreviewDisabledWithSize({100, 40}); }), normal);
    EXPECT_LT(qGray(normal.pixel(51, 39)), qGray(normal.pixel(50, 39)));
    EXPECT_LT(qGray(normal.pixel(51, 39)), qGray(normal.pixel(52, 39)));

    // The fold shadow darkens towards the fold.
    const QImage shadow = drawn({200, 10}, [] { VXStyleKit::drawPageSelfShadowsWithSize({200, 10}, 40, 60); });
    EXPECT_NEAR(qAlpha(shadow.pixel(99, 5)), 0.313 * 255, 8);
    EXPECT_EQ(qAlpha(shadow.pixel(59, 5)), 0) << "left of the left shadow";
    EXPECT_GT(qAlpha(shadow.pixel(130, 5)), qAlpha(shadow.pixel(150, 5)));
}
