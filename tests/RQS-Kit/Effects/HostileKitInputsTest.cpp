#include "RQS-Kit/Effects/KitFilters.h"
#include "platform/fx/FilterRegistry.h"
#include "platform/fx/FxTestImages.h"

#include <cmath>
#include <limits>

using namespace platform::fx;
using fxtest::near;
using fxtest::renderedPixel;

namespace {

// A border width times canvas proportion that is infinite or NaN ended in an endless loop of ever
// wider rings; now the border stops at the picture's diagonal (or is the thinnest for NaN).
TEST(HostileKitInputs, ShapedBorderOfInfiniteWidth)
{
    rqs::registerKitFilters();
    for (const double proportion : {std::numeric_limits<double>::infinity(), 1e308, std::nan("")}) {
        const auto border = FilterRegistry::create("QSShapedBorderFilter");
        border->setValueForKey("inputImage", QVariant::fromValue(fxtest::filled({0, 0, 10, 10}, {0, 0, 0, 1})));
        border->setValueForKey("inputTextureName", "Plain Color");
        border->setValueForKey("inputColor", QVariant::fromValue(Color{1, 0, 0, 1}));
        border->setValueForKey("inputWidth", 0.2);
        border->setValueForKey("canvasProportion", proportion);
        const Image output = border->outputImage();
        ASSERT_FALSE(output.isNull()) << proportion;
        EXPECT_LE(output.extent().width(), 10 + 2 * 15) << proportion;
        EXPECT_TRUE(near(renderedPixel(output, 5, 5), {0, 0, 0, 1})) << proportion;
    }
}

} // namespace
