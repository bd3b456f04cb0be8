#include "RQS-Kit/Foundation/GradientExtension.h"
#include "platform/foundation/Log.h"
#include "platform/graphics/BitmapGraphicsContext.h"
#include "platform/graphics/GraphicsContext.h"

#include "support/PixelProbe.h"

#include <gtest/gtest.h>

#include <QLocale>
#include <QPainterPath>

#include <clocale>
#include <string>

using platform::Gradient;

TEST(GradientExtension, ReadsStopsByTheCountOfNumbersAndWritesThemWithAPoint)
{
    const QGradientStops redToBlue{{0, QColor::fromRgbF(1, 0, 0, 1)}, {1, QColor::fromRgbF(0, 0, 1, 1)}};
    EXPECT_EQ(rqs::gradientWithString("1 0 0 1 0 0 1 1").stops(), redToBlue) << "two colours of four";
    platform::LogCapture log;
    EXPECT_EQ(rqs::gradientWithString("0.5 1 1 1 1 0 0").stops(), (QGradientStops{{0.5, QColor::fromRgbF(1, 1, 1, 1)}}));
    EXPECT_TRUE(log.contains(QStringLiteral("not a multiple of 5")));

    // Strings round-trip with a point whatever the locale.
    const QString text = QStringLiteral("0.000000 1.000000 0.000000 0.000000 1.000000 0.500000 0.000000 0.250000 1.000000 0.500000");
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const std::string numeric = std::setlocale(LC_NUMERIC, nullptr);
    std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
    const QString written = rqs::stringRepresentation(rqs::gradientWithString(text));
    std::setlocale(LC_NUMERIC, numeric.c_str());
    QLocale::setDefault(previous);
    EXPECT_EQ(written, text);
}

TEST(GradientExtension, AngleNamesWhereTheFirstColourLies)
{
    const Gradient gradient(QList<QColor>{Qt::red, Qt::blue});
    for (const auto &[angle, top] : {std::pair{270.0, QColor(Qt::red)}, std::pair{90.0, QColor(Qt::blue)}}) {
        const QImage image = platform::BitmapGraphicsContext::drawnImage({10, 100}, 1, [&](platform::GraphicsContext &) {
            QPainterPath path;
            path.addRect(0, 0, 10, 100);
            gradient.drawInPath(path, angle);
        });
        EXPECT_TRUE(PixelProbe::isNear(image, {5, 0}, top, 16)) << angle << " " << PixelProbe::describe(image, {5, 0}).toStdString();
    }
}
