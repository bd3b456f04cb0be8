#include "RQS-Kit/Effects/KitFilters.h"
#include "RQS-Kit/Effects/QSEffect.h"
#include "RQS-Kit/Effects/QSEffectChainEnd.h"
#include "RQS-Kit/Effects/QSEffectsCatalog.h"
#include "platform/foundation/Log.h"
#include "platform/fx/Context.h"
#include "platform/fx/FxTestImages.h"
#include "platform/fx/RenderGraph.h"

#include "support/QtPrinters.h"

#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>

using platform::fx::Image;
using platform::fx::RenderGraph;
using platform::fx::RenderStats;

namespace {

// n inverting effects one after the other; the picture goes in once they are joined.
Image throughInvertingChain(int n, const Image &picture)
{
    std::vector<std::unique_ptr<QSEffect>> effects;
    QSEffectChainEnd end;
    for (int i = 0; i < n; ++i)
        effects.push_back(QSEffect::withName(QStringLiteral("CIColorInvert")));
    for (int i = 0; i < n; ++i)
        effects[std::size_t(i)]->setSuccessor(i + 1 < n ? static_cast<QObject *>(effects[std::size_t(i) + 1].get()) : &end);
    effects.front()->setInputImage(picture);
    return end.image();
}

} // namespace

// The chain's end is rendered once, and that render computes each step once: 20 steps of a
// 40 × 30 picture are 20 × 1,200 pixels, twice what 10 compute, and at no time does it hold more
// than two of the pictures (a step's input and its result), whatever the chain's length.
TEST(EffectChain, ItsEndRendersEachStepOnceWithinOneBudget)
{
    const Image picture = fxtest::ramp(40, 30);
    const QRect rect(0, 0, 40, 30);
    const qint64 pictureBytes = 40 * 30 * qint64(sizeof(platform::fx::Pixel));
    std::map<int, qint64> computed;
    for (const int n : {10, 20}) {
        const Image output = throughInvertingChain(n, picture);
        ASSERT_FALSE(output.isNull());
        RenderStats stats;
        const std::optional<platform::fx::Buffer> pixels = platform::fx::Context().render(output, rect, &stats);
        ASSERT_TRUE(pixels);
        // An even number of inversions gives the picture back.
        EXPECT_TRUE(fxtest::near(pixels->at(7, 4), fxtest::rampPixel(7, 4)));
        int steps = 0;
        for (const RenderStats::Entry &node : stats.nodes) {
            computed[n] += node.pixels;
            steps += node.pixels == 1200 ? 1 : 0;
        }
        EXPECT_EQ(steps, n);
        const RenderGraph::Cost cost = RenderGraph::cost(*output.node(), rect);
        EXPECT_EQ(cost.computedPixels, computed[n]);
        EXPECT_EQ(cost.peakBytes, 2 * pictureBytes) << n;
    }
    EXPECT_EQ(computed[10], 10 * 1200);
    EXPECT_EQ(computed[20], 20 * 1200);
}

// 40 shaped borders on a 640 × 480 picture, each border 0.03 of a 1280-pixel canvas: the picture
// grows by 74 pixels each way with every border, to 3600 × 3440 at the end, and the dilations on
// the way compute some 2,070 million pixels. The render is refused before it starts, with that
// reason, instead of running for many minutes.
TEST(EffectChain, FortyShapedBordersAreRefusedBeforeTheRenderStarts)
{
    rqs::registerKitFilters();
    std::vector<std::unique_ptr<QSEffect>> effects;
    QSEffectChainEnd end;
    for (int i = 0; i < 40; ++i)
        effects.push_back(QSEffectsCatalog::effectForSettings({{"name", "ShapedBorder"}}));
    for (std::size_t i = 0; i < effects.size(); ++i)
        effects[i]->setSuccessor(i + 1 < effects.size() ? static_cast<QObject *>(effects[i + 1].get()) : &end);
    effects.front()->setGlobalSettings({{"canvasProportion", 1280.0}});
    effects.front()->setInputImage(fxtest::filled({0, 0, 640, 480}, {0.5f, 0.5f, 0.5f, 1}));
    const Image output = end.image();
    ASSERT_FALSE(output.isNull());
    EXPECT_EQ(output.extent(), QRectF(-1480, -1480, 3600, 3440));
    platform::LogCapture log;
    RenderStats stats;
    EXPECT_TRUE(platform::fx::Context().createImage(output, output.extent()).isNull());
    EXPECT_FALSE(platform::fx::Context().render(output, output.extent().toRect(), &stats));
    EXPECT_TRUE(stats.nodes.isEmpty()) << "no step ran";
    const QStringList refused = log.lines().filter("Error: Rendering 3600 × 3440 pixels would compute ");
    EXPECT_EQ(refused.size(), 2) << log.lines().join('\n').toStdString();
    EXPECT_TRUE(refused.value(0).endsWith(" million pixels on its way, more than the 1073 million a render may compute"));
}

namespace {

// The effects that stored settings make, each handing its picture to the next.
struct StoredChain
{
    std::vector<std::unique_ptr<QSEffect>> effects;
    QSEffectChainEnd end;

    explicit StoredChain(const QVariantList &stored)
    {
        for (const QVariant &settings : stored)
            effects.push_back(QSEffectsCatalog::effectForSettings(settings.toMap()));
        for (std::size_t i = 0; i < effects.size(); ++i)
            effects[i]->setSuccessor(i + 1 < effects.size() ? static_cast<QObject *>(effects[i + 1].get()) : &end);
    }
};

} // namespace

// 10,000 stored Invert effects, some 100 KB of settings: a picture, a global setting, a switched
// off effect and a removed input each travel the chain link by link without a call per link on
// the stack, which 7,000 links overflowed.
TEST(EffectChain, TenThousandStoredEffectsPassTheirPictureWithoutRecursion)
{
    rqs::registerKitFilters();
    const QVariantList stored(10000, QVariantMap{{"name", "Invert"}, {"isEnabled", true}});
    StoredChain chain(stored);
    ASSERT_TRUE(chain.effects.back());
    const Image picture = fxtest::ramp(4, 3);
    chain.effects.front()->setGlobalSettings({{"portion", 2.0}});
    EXPECT_EQ(chain.effects.back()->relativeBase(), 2.0);
    chain.effects.front()->setInputImage(picture);
    ASSERT_FALSE(chain.end.image().isNull());
    // An even number of inversions gives the picture back; one switched off leaves an odd number.
    EXPECT_TRUE(fxtest::near(fxtest::renderedPixel(chain.end.image(), 3, 2), fxtest::rampPixel(3, 2)));
    chain.effects[5000]->setEnabled(false);
    const platform::fx::Pixel inverted{1 - 0.3f, 1 - 0.2f, 1, 1};
    EXPECT_TRUE(fxtest::near(fxtest::renderedPixel(chain.end.image(), 3, 2), inverted));
    chain.effects.front()->removeImageInput();
    EXPECT_TRUE(chain.end.image().isNull());
    EXPECT_TRUE(chain.effects.back()->inputImage().isNull());
}

// A stored chain of 100,000 Invert effects, 2 MB of settings as a user's file holds them, read
// from that file: each effect used to walk every observation of the notification centre when its
// settings were set and again when it went, 3 to 14 minutes before the first pixel. The picture
// goes through every effect, and the chain ends where it began.
TEST(EffectChain, AHundredThousandStoredEffectsAreReadAndPassTheirPicture)
{
    rqs::registerKitFilters();
    QTemporaryDir folder;
    QFile file(folder.filePath("chain.json"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[" + QList<QByteArray>(100000, R"({"name": "Invert"})").join(", ") + "]");
    file.close();
    ASSERT_EQ(file.size(), 2000000);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QJsonDocument stored = QJsonDocument::fromJson(file.readAll());
    ASSERT_TRUE(stored.isArray());
    platform::LogCapture log;
    StoredChain chain(stored.array().toVariantList());
    ASSERT_EQ(chain.effects.size(), 100000u);
    ASSERT_TRUE(chain.effects.back());
    chain.effects.front()->setInputImage(fxtest::ramp(4, 3));
    ASSERT_FALSE(chain.end.image().isNull());
    EXPECT_TRUE(fxtest::near(fxtest::renderedPixel(chain.end.image(), 3, 2), fxtest::rampPixel(3, 2)));
    chain.effects[99999]->setSettings({{"name", "Invert"}, {"isEnabled", false}});
    EXPECT_TRUE(fxtest::near(fxtest::renderedPixel(chain.end.image(), 3, 2), {1 - 0.3f, 1 - 0.2f, 1, 1}));
    EXPECT_TRUE(log.lines().isEmpty()) << log.lines().join('\n').toStdString();
}

// A successor that leads back to the effect would pass pictures round for ever: refused.
TEST(EffectChain, ASuccessorThatClosesACircleIsRefused)
{
    rqs::registerKitFilters();
    StoredChain chain(QVariantList(3, QVariantMap{{"name", "Invert"}}));
    platform::LogCapture log;
    EXPECT_FALSE(chain.effects[2]->setSuccessor(chain.effects[0].get()));
    EXPECT_FALSE(chain.effects[1]->setSuccessor(chain.effects[1].get()));
    EXPECT_EQ(chain.effects[2]->successor(), &chain.end);
    EXPECT_EQ(log.lines().filter("Warning: ").size(), 2) << log.lines().join('\n').toStdString();
    chain.effects.front()->setInputImage(fxtest::ramp(4, 3));
    EXPECT_TRUE(fxtest::near(fxtest::renderedPixel(chain.end.image(), 3, 2), {1 - 0.3f, 1 - 0.2f, 1, 1}));
}

// The same chain read from its stored settings file by the recipe tool, as a user's chain would be.
TEST(EffectChain, TheRecipeToolRendersTenThousandStoredEffects)
{
    QTemporaryDir folder;
    const QImage input = platform::fx::Context::toQImage(*platform::fx::Context().render(fxtest::ramp(4, 3)), QImage::Format_RGBA8888);
    ASSERT_TRUE(input.save(folder.filePath("in.png")));
    QFile chain(folder.filePath("chain.json"));
    ASSERT_TRUE(chain.open(QIODevice::WriteOnly));
    chain.write(QJsonDocument(QJsonArray::fromVariantList(QVariantList(10000, QVariantMap{{"name", "Invert"}}))).toJson());
    chain.close();
    QProcess tool;
    tool.start(QStringLiteral(FOLDWISE_FX_RENDER), {"--effects", chain.fileName(), folder.filePath("in.png"), folder.filePath("out.png")});
    ASSERT_TRUE(tool.waitForFinished(120000));
    ASSERT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().constData();
    EXPECT_EQ(QImage(folder.filePath("out.png")).convertToFormat(QImage::Format_RGBA8888), input);
}
