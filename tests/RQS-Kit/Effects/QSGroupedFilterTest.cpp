#include "RQS-Kit/Effects/FilterInputs.h"
#include "RQS-Kit/Effects/KitFilters.h"
#include "RQS-Kit/Effects/QSAdjustableBlendFilter.h"
#include "RQS-Kit/Effects/QSFilterGenerator.h"
#include "platform/foundation/Log.h"
#include "platform/fx/FilterRegistry.h"
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

// A member is a copy of the filter given: a texture chosen by name and a colour set after it stay,
// and asking the group for its attributes or defaults says so on the log and changes no member.
TEST(QSGroupedFilter, MembersRenderAsTheirFiltersAndDefaultsLeaveThemAlone)
{
    rqs::registerKitFilters();
    const auto texturize = FilterRegistry::create(QStringLiteral("QSTexturizeFilter"));
    texturize->setValueForKey("inputTextureName", "RQS-T#002#Paper-Laid");
    texturize->setValueForKey("inputColor", QVariant::fromValue(Color{1, 0, 0, 1}));
    texturize->setValueForKey("inputTextureWidth", 40.0);
    const auto generator = QSFilterGenerator::filterGenerator();
    generator->exportKey("inputImage", texturize.get());
    generator->exportKey("outputImage", texturize.get());
    QSGroupedFilter *group = generator->filter();
    const QVariant picture = QVariant::fromValue(filled({0, 0, 8, 8}, {0.5f, 0.5f, 0.5f, 1}));
    texturize->setValueForKey("inputImage", picture);
    ASSERT_TRUE(group->setValueForKey("inputImage", picture));

    platform::LogCapture log;
    group->attributes();
    group->setDefaults();
    EXPECT_EQ(log.lines(), QStringList({"Info: attributes", "Info: Defaults"}));
    for (const auto &[x, y] : {std::pair{0, 0}, {3, 5}, {7, 7}})
        EXPECT_TRUE(near(renderedPixel(group->outputImage(), x, y), renderedPixel(texturize->outputImage(), x, y)));
    EXPECT_GT(renderedPixel(group->outputImage(), 3, 5).r, renderedPixel(group->outputImage(), 3, 5).g + 0.2f);
}
