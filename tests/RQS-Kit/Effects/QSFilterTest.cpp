#include "RQS-Kit/Effects/QSFilter.h"
#include "RQS-Kit/Effects/QSFilterConstructor.h"
#include "RQS-Kit/Foundation/FxImageExtension.h"
#include "platform/foundation/Log.h"

#include <gtest/gtest.h>

using namespace platform::fx;

namespace {

// Scales every premultiplied pixel by inputAmount.
class QSDimTestFilter : public QSFilter
{
    Q_OBJECT
public:
    QSDimTestFilter()
        : QSFilter(QStringLiteral("QSDimTestFilter"),
                   {{QStringLiteral("inputImage"), InputAttribute::Kind::Image},
                    {QStringLiteral("inputAmount"), InputAttribute::Kind::Number, 0.5, 0.0, 1.0}})
    {
    }
    Image outputImage() const override
    {
        const Image input = imageValue(QStringLiteral("inputImage"));
        if (input.isNull())
            return {};
        return kernel()->apply({arrayForRect(input.extent()), {}},
                               {Sampler{input}, numberValue(QStringLiteral("inputAmount"))});
    }
};

void registerDimFilter()
{
    KernelLibrary::add(QStringLiteral("QSDimTestFilter"), Kernel(QStringLiteral("dim"), [](const KernelInvocation &k) {
        return k.sample(0, k.destCoord()) * float(k.number(1));
    }));
    QSFilter::registerFilterClass<QSDimTestFilter>();
}

} // namespace

TEST(QSFilter, FilterFromAStoredDescriptionRenders)
{
    registerDimFilter();
    platform::LogCapture log;
    QSFilterConstructor::sharedFilterConstructor().registerFilterInDescription(
        {{"CIPlugInFilterList", QVariantMap{{"QSDim", QVariantMap{{"CIFilterClass", "QSDimTestFilter"}}},
                                            {"QSBroken", QString("not a description")}}}});
    EXPECT_TRUE(log.contains("Warning: The filter description of QSBroken names no filter class"));
    EXPECT_FALSE(FilterRegistry::create("QSBroken"));

    std::unique_ptr<Filter> dim = FilterRegistry::create("QSDim");
    ASSERT_TRUE(dim);
    EXPECT_STREQ(dim->metaObject()->className(), "QSDimTestFilter");
    dim->setDefaults();
    ASSERT_TRUE(dim->setValueForKey("inputImage", QVariant::fromValue(Image::withColor({0.8f, 0.4f, 0.2f, 1}).cropped({0, 0, 4, 4}))));
    const std::optional<Color> mean = rqs::averageColor(dim->outputImage());
    ASSERT_TRUE(mean);
    EXPECT_NEAR(mean->r, 0.8, 1e-5) << "half the premultiplied pixel is the same colour at alpha 0.5";
    EXPECT_NEAR(mean->b, 0.2, 1e-5);
    EXPECT_NEAR(mean->a, 0.5, 1e-5);

    EXPECT_FALSE(dim->setValueForKey("inputMissing", 1.0));
    EXPECT_TRUE(log.contains("Warning: The filter QSDimTestFilter has no input inputMissing"));
}

// A caller that knows a described filter by its class name gets it from the constructor as by
// its filter name; a class name that no description names, or that names no registered class,
// gets none.
TEST(QSFilter, TheConstructorAnswersAFilterAskedForByItsClassName)
{
    registerDimFilter();
    QSFilterConstructor &constructor = QSFilterConstructor::sharedFilterConstructor();
    constructor.registerFilterInDescription(
        {{"CIPlugInFilterList", QVariantMap{{"QSDimmer", QVariantMap{{"CIFilterClass", "QSDimTestFilter"}, {"CIAttributeFilterDisplayName", "Dimmer"}}},
                                            {"QSGhost", QVariantMap{{"CIFilterClass", "QSNoSuchFilter"}}}}}});
    EXPECT_EQ(constructor.descriptionForClassName("QSDimTestFilter").value("CIFilterClass"), "QSDimTestFilter");
    for (const char *name : {"QSDimTestFilter", "QSDimmer"}) {
        SCOPED_TRACE(name);
        const std::unique_ptr<Filter> filter = constructor.filterWithName(name);
        ASSERT_TRUE(filter);
        EXPECT_STREQ(filter->metaObject()->className(), "QSDimTestFilter");
    }
    platform::LogCapture log;
    EXPECT_FALSE(constructor.filterWithName("QSUndescribedFilter"));
    EXPECT_TRUE(log.contains("Warning: No filter description names QSUndescribedFilter"));
    EXPECT_TRUE(constructor.descriptionForClassName("QSUndescribedFilter").isEmpty());
    EXPECT_FALSE(constructor.filterWithName("QSNoSuchFilter")) << "described, but no such class";
    EXPECT_FALSE(FilterRegistry::create("QSGhost"));
}

TEST(QSFilter, KernelsAndRectangleForms)
{
    registerDimFilter();
    QSDimTestFilter filter;
    platform::LogCapture log;
    ASSERT_TRUE(filter.kernelWithName("anything"));
    EXPECT_TRUE(log.contains("Warning: requesting named Kernel 'anything' even thought 'QSDimTestFilter' has only one Kernel"));
    EXPECT_EQ(QSFilter::arrayForRect({-2.7, 3.9, 10.5, 20.25}), QRectF(-2, 3, 10.5, 20.25));
    EXPECT_EQ(filter.settingsForKey("inputAmount").toMap().value("CIAttributeMax"), 1.0);
}

#include "QSFilterTest.moc"
