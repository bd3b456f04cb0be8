#include "FxTestImages.h"

#include "platform/foundation/Log.h"
#include "platform/fx/FilterRegistry.h"
#include "platform/fx/Node.h"
#include "platform/fx/RenderGraph.h"

#include <QTransform>

#include <cmath>

using namespace fxtest;
using platform::fx::Context;

namespace {

// The 2 × 2 reductions a transformed image starts with.
int reductions(const Image &image)
{
    int count = 0;
    for (const platform::fx::Node *node = image.node().get(); node && !node->inputs().empty(); node = node->inputs().front().get())
        count += node->kind() == QLatin1String("reduce") ? 1 : 0;
    return count;
}

Image throughFilter(const QString &name, const Image &input, const QTransform &transform)
{
    auto filter = platform::fx::FilterRegistry::create(name);
    filter->setDefaults();
    filter->setValueForKey(QStringLiteral("inputImage"), QVariant::fromValue(input));
    filter->setValueForKey(QStringLiteral("inputTransform"), QVariant::fromValue(transform));
    return filter->outputImage();
}

const double twoToTheThirtieth = std::ldexp(1.0, 30);

} // namespace

// A picture shrunk a billion times along x is a sliver of a pixel: halvings spread its four opaque
// red pixels of each row over the plane, and the sliver keeps that faint red. At 2^-30, 29
// halvings leave pixel 0 at 4 / 2^29 and a last step of 0.5, whose pixel 0 reads halfway between it
// and the transparent pixel right of it. At 1e-9 the last step is 0.5369 wide: pixel 0 reads 0.9313
// - 0.5 of the way to the next. Far smaller scales (1e-300 across, 1e300 up, which is no singular
// transform) stop halving at the plane's width, 30 times, where all that is left is fainter than a
// float tells from nothing; they halved a thousand times before.
TEST(FxShrinkingTransform, APictureShrunkBeyondAPixelIsAFaintSliver)
{
    const Image picture = filled(QRect(0, 0, 4, 3), {1, 0, 0, 1});
    const double halved = 4 / std::ldexp(1.0, 29);
    const struct {
        QTransform transform;
        int reductions;
        double alpha;
    } cases[] = {{QTransform::fromScale(1 / twoToTheThirtieth, 1), 29, halved / 2},
                 {QTransform::fromScale(1e-9, 1), 29, halved * (1 - (0.5 / (1e-9 * std::ldexp(1.0, 29)) - 0.5))},
                 {QTransform::fromScale(1e-300, 1e300), 30, 0}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.transform.m11());
        const Image shrunk = picture.transformed(c.transform).cropped(QRectF(0, 0, 100, 100));
        ASSERT_FALSE(shrunk.isNull());
        EXPECT_EQ(reductions(shrunk), c.reductions);
        const std::optional<platform::fx::Buffer> pixels = Context().render(shrunk, QRect(0, 0, 1, 3));
        ASSERT_TRUE(pixels);
        for (int y = 0; y < 3; ++y) {
            EXPECT_NEAR(pixels->at(0, y).a, c.alpha, 1e-12) << y;
            EXPECT_NEAR(pixels->at(0, y).r, c.alpha, 1e-12) << y;
            EXPECT_EQ(pixels->at(0, y).g, 0);
        }
    }
}

// A tiled or clamped picture is endless: shrunk 2^30 times along x, a crop of the two pixels
// either side of 0 averages the whole plane's width. The last step (scale 0.5) reads 6 × 3
// pixels; each of the 29 halvings below it reads twice as wide, 6 · 2^j × 3, until the plane's
// edges cut the lowest to 2^30 × 3, which it reads of the tile or clamp too (the picture is read
// where it is); with the crop's and the last step's 2 each: 42 · 2^28 - 14 pixels. The render is
// refused for the 96 GiB its two lowest steps hold at once, the figure too.
// Before, the lowest halving asked for twice the plane, 2^31 pixels, past what an int holds.
TEST(FxShrinkingTransform, AnEndlessPictureShrunkToAPixelIsRefusedWithWhatItWouldCost)
{
    const Image picture = filled(QRect(0, 0, 2, 1), {0, 0, 1, 1});
    for (const QString name : {"CIAffineTile", "CIAffineClamp"}) {
        SCOPED_TRACE(name.toStdString());
        const Image shrunk = throughFilter(name, picture, QTransform::fromScale(1 / twoToTheThirtieth, 1)).cropped(QRectF(-1, 0, 2, 1));
        ASSERT_FALSE(shrunk.isNull());
        EXPECT_EQ(reductions(shrunk), 29);
        const QRect rect(-1, 0, 2, 1);
        EXPECT_EQ(platform::fx::RenderGraph::cost(*shrunk.node(), rect).computedPixels, 42 * (qint64(1) << 28) - 14);
        EXPECT_EQ(platform::fx::RenderGraph::cost(*shrunk.node(), rect).peakBytes, 2 * 3 * (qint64(1) << 30) * 16);
        platform::LogCapture log;
        EXPECT_FALSE(Context().render(shrunk, rect));
        EXPECT_EQ(log.lines(), QStringList{"Error: Rendering 2 × 1 pixels would need 98304 MiB at once, more than the 2048 MiB "
                                           "a render may use"});
    }
}

// The stored settings of a texture or a clamped picture with a scale of 1e-9, cropped to 100 × 100:
// refused before the render starts, with the cost in pixels. Far smaller scales (1e-20 across, 1e9
// up) halve no more often, where they halved 66 times before; the last step then reads an extent
// endless both ways, 2^60 pixels, whose bytes are past what the engine counts: said as such.
TEST(FxShrinkingTransform, StoredTinyScalesOfEndlessPicturesAreRefusedBeforeTheRender)
{
    const Image picture = ramp(40, 30);
    const QString tooMany = "Error: Rendering 100 × 100 pixels would compute %1 million pixels on its way, more than the 1073 "
                            "million a render may compute";
    const struct {
        QTransform transform;
        QString refusal;
    } cases[] = {{QTransform(1e-9, 0, 0, 1, 0, 0), tooMany.arg(628038)},
                 {QTransform(1e-20, 0, 0, 1e9, 0, 0),
                  "Error: Rendering 100 × 100 pixels would need more than 8796093022207 MiB at once, more than the 2048 MiB a "
                  "render may use"}};
    for (const QString name : {"CIAffineTile", "CIAffineClamp"}) {
        for (const auto &c : cases) {
            SCOPED_TRACE(QStringLiteral("%1 %2").arg(name).arg(c.transform.m11()).toStdString());
            const Image shrunk = throughFilter(name, picture, c.transform).cropped(QRectF(0, 0, 100, 100));
            ASSERT_FALSE(shrunk.isNull());
            EXPECT_LE(reductions(shrunk), 30);
            platform::LogCapture log;
            EXPECT_TRUE(Context().createImage(shrunk, QRectF(0, 0, 100, 100)).isNull());
            EXPECT_EQ(log.lines(), QStringList{c.refusal});
        }
    }
}
