#include "RQS-Kit/Effects/KitFilters.h"
#include "RQS-Kit/Effects/QSCombinedShadeDescription.h"
#include "RQS-Kit/Foundation/FxImageExtension.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

namespace {

// A 6 × 6 shade file of one colour.
QString shadeFile(const QTemporaryDir &dir, const QString &name, const QColor &colour)
{
    QImage picture(6, 6, QImage::Format_ARGB32);
    picture.fill(colour);
    QDir(dir.path()).mkpath("Shades");
    const QString path = dir.filePath("Shades/" + name);
    return picture.save(path) ? path : QString();
}

} // namespace

// Joined, the two shades are weighted by their intensities over the larger one (0.5 and 0.8 give
// 0.625 and 1.0), and the joined shade takes the larger one; two of intensity 0 are weighted 0
// against 1. Drawn source-over, an opaque white shade beside a clear one shows its weight as the
// joined image's alpha, whichever of the two it is.
TEST(CombinedShade, JoiningWeighsEachShadeByItsIntensityOverTheLarger)
{
    rqs::registerKitFilters();
    QTemporaryDir dir;
    const QString white = shadeFile(dir, "FRM-S#001#White#2-2.png", Qt::white);
    const QString clear = shadeFile(dir, "FRM-S#002#Clear#2-2.png", Qt::transparent);
    ASSERT_FALSE(white.isEmpty() || clear.isEmpty());
    const struct
    {
        const char *joined;
        QString first;
        double firstIntensity;
        QString added;
        double addedIntensity;
        double intensity;
        double alpha;
    } cases[] = {
        {"white 0.5 joined by clear 0.8", white, 0.5, clear, 0.8, 0.8, 0.625},
        {"clear 0.8 joined by white 0.5", clear, 0.8, white, 0.5, 0.8, 0.625},
        {"white 0.8 joined by clear 0.5", white, 0.8, clear, 0.5, 0.8, 1.0},
        {"clear 0.5 joined by white 0.8", clear, 0.5, white, 0.8, 0.8, 1.0},
        {"white 0 joined by clear 0", white, 0, clear, 0, 1.0, 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.joined);
        QSCombinedShadeDescription combined(c.first, "sourceOver", c.firstIntensity);
        const QSShadeDescription added(c.added, "sourceOver", c.addedIntensity);
        ASSERT_TRUE(QSCombinedShadeDescription::canJoin(combined, added));
        combined.add(added);
        EXPECT_DOUBLE_EQ(combined.intensity(), c.intensity);
        const QImage joined = rqs::newCGImage(combined.image());
        ASSERT_EQ(joined.size(), QSize(6, 6));
        EXPECT_NEAR(joined.pixelColor(3, 3).alphaF(), c.alpha, 1.0 / 255);
        if (c.alpha > 0) {
            EXPECT_EQ(joined.pixelColor(3, 3).rgb(), QColor(Qt::white).rgb()) << "white, only weighted";
        }
    }
}
