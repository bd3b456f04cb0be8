#include "RQS-Kit/Controls/KitClasses.h"
#include "RQS-Kit/Controls/QSGridViewController.h"
#include "RQS-Kit/Effects/KitFilters.h"
#include "RQS-Kit/Effects/QSFrameCatalog.h"
#include "RQS-Kit/Effects/QSFrameDescription.h"
#include "RQS-Kit/Effects/QSTexturedFrameFilter.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/fx/Extent.h"
#include "platform/fx/FxTestImages.h"
#include "platform/ui/FrameAnimation.h"

#include <QRegularExpression>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

namespace {

constexpr double infinity = std::numeric_limits<double>::infinity();

// What a damaged preferences or frames file, or a careless caller, hands the kit.
const QList<QVariant> &hostileNumbers()
{
    static const QList<QVariant> numbers{std::nan(""), infinity, -infinity, 1e308, -1e308, 1e12, 1e-9, -1.0, 0.0,
                                         std::numeric_limits<qint64>::max(), std::numeric_limits<qint64>::min()};
    return numbers;
}

// One number of the kit as its caller or its stored file gives it, and the range it is kept in.
struct StoredNumber
{
    QString name;
    double minimum, maximum;
    // Hands the number over and answers what the kit keeps; a case may check more on its way.
    std::function<double(const QVariant &)> keep;
};

QImage tile()
{
    QImage picture(64, 48, QImage::Format_RGB32);
    picture.fill(Qt::gray);
    return picture;
}

// A grid of three tiles shown 600 wide: every tile has a frame a widget can take, and the
// container is as tall as the rows it holds, within what a widget may be.
void expectAGridThatShowsItsTiles(QSGridViewController &grid)
{
    ASSERT_NE(grid.view(), nullptr);
    const int section = grid.addSection(0);
    for (int i = 0; i < 3; ++i)
        grid.addImage(tile(), QString(), i, i, section);
    grid.scrollView()->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid.scrollView()->resize(600, 400);
    grid.refreshLayout(0);
    EXPECT_GE(grid.container()->height(), 400);
    EXPECT_LE(grid.container()->height(), QWIDGETSIZE_MAX);
    for (const QSGridItem *item : grid.gridItemsInSection(section)) {
        const QRectF frame = item->frame();
        EXPECT_TRUE(frame.width() >= 1 && frame.height() >= 1) << "a tile of " << frame.width() << " × " << frame.height();
        EXPECT_TRUE(std::isfinite(frame.x()) && std::isfinite(frame.y()));
    }
}

// A white frame 4 pixels wide around a grey picture of 20 × 20, with the inset given.
QRectF framedPictureExtent(const std::shared_ptr<QSFrameDescription> &frame, bool *pictureShows)
{
    QSTexturedFrameFilter filter;
    filter.setFrameDescription(frame);
    filter.setValueForKey("inputWidth", 4.0);
    filter.setValueForKey("inputImage", QVariant::fromValue(fxtest::filled({0, 0, 20, 20}, {0.5f, 0.5f, 0.5f, 1})));
    const platform::fx::Image output = filter.outputImage();
    *pictureShows = !output.isNull() && fxtest::near(fxtest::renderedPixel(output, 10, 10), {0.5f, 0.5f, 0.5f, 1});
    return output.extent();
}

QVariantMap plainFrame(const QString &key, const QVariant &value)
{
    QVariantMap frame{{"Name", "Stored"}, {"Texture", "Plain Color"}, {"Texture.Color", "1 1 1 1"}};
    if (key == "Inset")
        frame.insert(key, value);
    else
        frame.insert("Shades", QVariantList{QVariantMap{{"Shade", "FRM-S#001#External-Bevel"}, {"BlendMode", "multiply"}, {key, value}}});
    return frame;
}

} // namespace

class StoredKitNumbers : public ::testing::Test
{
protected:
    void SetUp() override
    {
        rqs::registerKitClasses();
        rqs::registerKitFilters();
        platform::FrameAnimation::setDefaultDuration(0);
    }
    void TearDown() override
    {
        platform::FrameAnimation::setDefaultDuration(0.25);
        for (const char *key : {"IconWidth", "CurrentFrameIndex"})
            defaults->removeObjectForKey(key);
    }

    platform::UserDefaults *defaults = platform::UserDefaults::standardUserDefaults();
    QTemporaryDir dir;
};

// Each number the kit stores or is handed, given what no control gives: what the kit keeps lies
// within the range its control (or its meaning) allows, and what it draws with it shows.
TEST_F(StoredKitNumbers, EveryStoredOrHandedNumberKeepsWithinItsRange)
{
    const QString bundle = QSFrameCatalog::framesBundlePath();
    const QList<StoredNumber> numbers{
        {"the stored \"IconWidth\"", QSGridViewController::MinimumIconWidth, QSGridViewController::MaximumIconWidth,
         [&](const QVariant &value) {
             defaults->setObject(value, "IconWidth");
             QSGridViewController grid;
             expectAGridThatShowsItsTiles(grid);
             return grid.iconWidth();
         }},
        {"an icon width handed over", QSGridViewController::MinimumIconWidth, QSGridViewController::MaximumIconWidth,
         [&](const QVariant &value) {
             QSGridViewController grid;
             grid.setIconWidth(value.toDouble());
             expectAGridThatShowsItsTiles(grid);
             return grid.iconWidth();
         }},
        {"an aspect ratio handed over", 1 / QSGridViewController::MaximumAspectRatio, QSGridViewController::MaximumAspectRatio,
         [&](const QVariant &value) {
             QSGridViewController grid;
             grid.setAspectRatio(value.toDouble());
             expectAGridThatShowsItsTiles(grid);
             return grid.layout().iconSize.width() / grid.layout().iconSize.height();
         }},
        {"a frame's stored \"Inset\"", 0, 1,
         [&](const QVariant &value) {
             const auto frame = std::make_shared<QSFrameDescription>(plainFrame("Inset", value), bundle, true);
             bool pictureShows = false;
             const QRectF extent = framedPictureExtent(frame, &pictureShows);
             EXPECT_TRUE(pictureShows) << "the framed picture vanished";
             EXPECT_TRUE(extent.contains(QRectF(0, 0, 20, 20)) && QRectF(-4, -4, 28, 28).contains(extent))
                 << extent.x() << ", " << extent.y() << ", " << extent.width() << " × " << extent.height();
             EXPECT_EQ(frame->saveDictionary().value("Inset").toDouble(), frame->inset()) << "saved as kept";
             return frame->inset();
         }},
        {"a shade's stored \"Intensity\"", 0, 1,
         [&](const QVariant &value) {
             const QSFrameDescription frame(plainFrame("Intensity", value), bundle, true);
             return frame.shades().value(0) ? frame.shades().first()->intensity() : -1.0;
         }},
        {"the stored \"CurrentFrameIndex\"", 1, QSFrameCatalog::MaximumFrameIndex,
         [&](const QVariant &value) {
             defaults->setObject(value, "CurrentFrameIndex");
             const QSFrameCatalog catalog(bundle, dir.filePath("UserFrames.plist"));
             const QString frameID = catalog.nextFrameID();
             const QRegularExpressionMatch match = QRegularExpression("^FRM-U#(\\d{3,})#$").match(frameID);
             EXPECT_TRUE(match.hasMatch()) << frameID.toStdString();
             EXPECT_EQ(defaults->integerForKey("CurrentFrameIndex"), match.captured(1).toLongLong()) << "the counter is the ID's";
             return match.captured(1).toDouble();
         }},
    };
    for (const StoredNumber &number : numbers) {
        for (const QVariant &value : hostileNumbers()) {
            SCOPED_TRACE((number.name + " of " + value.toString()).toStdString());
            platform::LogCapture log;
            const double kept = number.keep(value);
            EXPECT_TRUE(kept >= number.minimum && kept <= number.maximum)
                << kept << " is outside " << number.minimum << " … " << number.maximum;
            // The counter counts on from a sound number.
            const bool counted = number.name.contains("CurrentFrameIndex") && value.toDouble() == std::floor(value.toDouble())
                                 && value.toDouble() >= 0 && value.toDouble() < number.maximum;
            if (kept != value.toDouble() && !counted) {
                EXPECT_TRUE(log.contains("Warning: ")) << "a number not kept as given is said";
            }
        }
    }
}

// Worked by hand: the nearer end of each range, and what a refused number leaves.
TEST_F(StoredKitNumbers, ANumberBeyondItsRangeBecomesTheNearerEnd)
{
    defaults->setDouble(1e12, "IconWidth");
    EXPECT_EQ(QSGridViewController().iconWidth(), 4096);
    defaults->setDouble(3, "IconWidth");
    EXPECT_EQ(QSGridViewController().iconWidth(), 16);
    QSGridViewController grid;
    ASSERT_TRUE(grid.setIconWidth(200));
    EXPECT_TRUE(grid.setAspectRatio(1e-9));
    EXPECT_EQ(grid.layout().iconSize, QSizeF(200, 3200));
    EXPECT_FALSE(grid.setAspectRatio(std::nan("")));
    EXPECT_EQ(grid.layout().iconSize, QSizeF(200, 3200)) << "refused, the ratio stays";

    const QString bundle = QSFrameCatalog::framesBundlePath();
    EXPECT_EQ(QSFrameDescription(plainFrame("Inset", 1e308), bundle, true).inset(), 1.0);
    EXPECT_EQ(QSFrameDescription(plainFrame("Inset", -3), bundle, true).inset(), 0.0);
    QSFrameDescription frame(plainFrame("Inset", 0.5), bundle, true);
    frame.setInset(-infinity);
    EXPECT_EQ(frame.inset(), 0.5);
    QSFrameDescription shaded(plainFrame("Intensity", 0.5), bundle, true);
    ASSERT_EQ(shaded.shades().size(), 1);
    shaded.setShadeIntensity(7, 0);
    EXPECT_EQ(shaded.shades().first()->intensity(), 1.0);

    defaults->setInteger(std::numeric_limits<qint64>::max(), "CurrentFrameIndex");
    const QSFrameCatalog catalog(bundle, dir.filePath("UserFrames.plist"));
    EXPECT_EQ(catalog.nextFrameID(), "FRM-U#001#");
    defaults->setInteger(QSFrameCatalog::MaximumFrameIndex, "CurrentFrameIndex");
    EXPECT_EQ(catalog.nextFrameID(), "FRM-U#001#") << "after the last number comes the first";
}
