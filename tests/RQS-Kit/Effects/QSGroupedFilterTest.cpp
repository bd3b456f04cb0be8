#include "RQS-Kit/Effects/FilterInputs.h"
#include "RQS-Kit/Effects/KitFilters.h"
#include "RQS-Kit/Effects/QSAdjustableBlendFilter.h"
#include "RQS-Kit/Effects/QSFilterGenerator.h"
#include "platform/foundation/Log.h"
#include "platform/fx/FxTestImages.h"

using namespace platform::fx;
using fxtest::filled;
using fxtest::near;
using fxtest::renderedPixel;

namespace {

// Passes its image on and counts how often its output is asked for.
class QSCountingTestFilter : public QSFilter
{
    Q_OBJECT
public:
    static inline int outputs = 0;
    QSCountingTestFilter()
        : QSFilter(QStringLiteral("QSCountingTestFilter"), {rqs::inputs::image(QStringLiteral("inputImage"))})
    {
    }
    Image outputImage() const override
    {
        ++outputs;
        return imageValue(QStringLiteral("inputImage"));
    }
};

QVariant square(const Pixel &pixel)
{
    return QVariant::fromValue(filled({0, 0, 2, 2}, pixel));
}

} // namespace

// multiply by grey 0.5, then screen over grey 0.2: (0.4, 0.8, 1) → (0.2, 0.4, 0.5) → 0.2 + 0.8 × that.
TEST(QSGroupedFilter, ChainEqualsTheDirectChainAndReadsOnlyWhatChanged)
{
    rqs::registerKitFilters();
    QSAdjustableBlendFilter multiply, screen;
    multiply.setValueForKey("inputBlendName", "multiply");
    screen.setValueForKey("inputBlendName", "negativeMultiply");
    const auto generator = QSFilterGenerator::filterGenerator();
    generator->connectObject(square({0.5f, 0.5f, 0.5f, 1}), &multiply, "inputBackgroundImage");
    generator->connectObject(square({0.2f, 0.2f, 0.2f, 1}), &screen, "inputBackgroundImage");
    EXPECT_TRUE(generator->connectObject(&multiply, "outputImage", &screen, "inputImage"));
    generator->exportKey("inputImage", &multiply);
    generator->exportKey("outputImage", &screen);
    QSGroupedFilter *group = generator->filter();
    EXPECT_EQ(group->description(), "<- inputImage -> outputImage ");

    ASSERT_TRUE(group->setValueForKey("inputImage", square({0.4f, 0.8f, 1, 1})));
    const Pixel expected{0.36f, 0.52f, 0.6f, 1};
    EXPECT_TRUE(near(renderedPixel(group->outputImage(), 0, 0), expected));
    multiply.setValueForKey("inputImage", square({0.4f, 0.8f, 1, 1}));
    multiply.setValueForKey("inputBackgroundImage", square({0.5f, 0.5f, 0.5f, 1}));
    screen.setValueForKey("inputImage", QVariant::fromValue(multiply.outputImage()));
    screen.setValueForKey("inputBackgroundImage", square({0.2f, 0.2f, 0.2f, 1}));
    EXPECT_TRUE(near(renderedPixel(screen.outputImage(), 0, 0), expected));

    int sets = 0;
    QObject::connect(group->filters().value(QString::asprintf("%p", static_cast<void *>(&screen))),
                     &Filter::keyValueChanged, [&sets](const QString &) { ++sets; });
    group->outputImage();
    EXPECT_EQ(sets, 0);
    EXPECT_TRUE(near(renderedPixel(group->copy()->outputImage(), 1, 1), expected));
}

TEST(QSGroupedFilter, ConnectionClosingACycleIsRefused)
{
    rqs::registerKitFilters();
    QSAdjustableBlendFilter first, second;
    QSGroupedFilter group;
    ASSERT_TRUE(group.connectObject(&first, "outputImage", &second, "inputImage"));
    group.exportKey("inputImage", &first);
    group.exportKey("outputImage", &second);
    platform::LogCapture log;
    EXPECT_FALSE(group.connectObject(&second, "outputImage", &first, "inputBackgroundImage"));
    EXPECT_FALSE(group.connectObject(&first, "outputImage", &first, "inputBackgroundImage"));
    EXPECT_TRUE(log.contains("would close a cycle; not connected."));
    group.setValueForKey("inputImage", square({0, 1, 0, 1}));
    EXPECT_TRUE(near(renderedPixel(group.outputImage(), 0, 0), {0, 1, 0, 1}));
}

// Forty members each fed twice by the one before: 2^40 paths lead back to the source.
TEST(QSGroupedFilter, DiamondsReadEachSourceOncePerPass)
{
    rqs::registerKitFilters();
    QSFilter::registerFilterClass<QSCountingTestFilter>();
    QSCountingTestFilter source;
    std::vector<std::unique_ptr<QSAdjustableBlendFilter>> layers(40);
    QSGroupedFilter group;
    group.exportKey("inputImage", &source);
    const Filter *previous = &source;
    for (auto &layer : layers) {
        layer = std::make_unique<QSAdjustableBlendFilter>();
        group.connectObject(previous, "outputImage", layer.get(), "inputImage");
        group.connectObject(previous, "outputImage", layer.get(), "inputBackgroundImage");
        previous = layer.get();
    }
    group.exportKey("outputImage", previous);
    group.setValueForKey("inputImage", square({0.3f, 0.6f, 0.9f, 1}));

    QSCountingTestFilter::outputs = 0;
    EXPECT_TRUE(near(renderedPixel(group.outputImage(), 0, 0), {0.3f, 0.6f, 0.9f, 1}));
    EXPECT_EQ(QSCountingTestFilter::outputs, 1);
    group.outputImage();
    EXPECT_EQ(QSCountingTestFilter::outputs, 1);
}

#include "QSGroupedFilterTest.moc"
