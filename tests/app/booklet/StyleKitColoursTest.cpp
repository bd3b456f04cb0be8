#include "app/booklet/VXStyleKit.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Rgba { double red, green, blue, alpha = 1; };

// QColor keeps 16 bits a component; the values below are worked by hand to four decimals.
void expectColour(const QColor &colour, const Rgba &expected, const std::string &name)
{
    EXPECT_NEAR(colour.redF(), expected.red, 1e-4) << name;
    EXPECT_NEAR(colour.greenF(), expected.green, 1e-4) << name;
    EXPECT_NEAR(colour.blueF(), expected.blue, 1e-4) << name;
    EXPECT_NEAR(colour.alphaF(), expected.alpha, 1e-4) << name;
}

} // namespace

// Lightened by f is the colour the fraction f of the way to white, darkened by f the fraction f of
// the way to black: 0.937 lightened by 0.4 is 0.937 + 0.4 × 0.063 = 0.9622; darkened by 0.2 keeps
// 0.8 of each component.
TEST(VXStyleKit, TheNamedColoursAreTheirValuesAndTheirLightenedAndDarkenedKin)
{
    const struct
    {
        const char *name;
        QColor colour;
        Rgba expected;
    } colours[] = {
        {"paperGradientBottomColor", VXStyleKit::paperGradientBottomColor(), {0.937, 0.937, 0.937}},
        {"paperGradientBottomHoverColor", VXStyleKit::paperGradientBottomHoverColor(), {0.9622, 0.9622, 0.9622}},
        {"paperStrokeColor", VXStyleKit::paperStrokeColor(), {0.667, 0.667, 0.667}},
        {"blueprintColor", VXStyleKit::blueprintColor(), {0.208, 0.575, 1.0}},
        {"blueprintDarkColor", VXStyleKit::blueprintDarkColor(), {0.104, 0.2875, 0.5}},
        {"blueprintShadowColor", VXStyleKit::blueprintShadowColor(), {0.0624, 0.1725, 0.3}},
        {"factoryRowStateBkgGradient1Color", VXStyleKit::factoryRowStateBkgGradient1Color(), {0.29, 0.565, 0.886}},
        {"factoryRowStateBkgGradient1Color2", VXStyleKit::factoryRowStateBkgGradient1Color2(), {0.232, 0.452, 0.7088}},
        {"factoryRowStateBkgGradient2Color1", VXStyleKit::factoryRowStateBkgGradient2Color1(), {0.494, 0.827, 0.129}},
        {"factoryRowStateBkgGradient2Color2", VXStyleKit::factoryRowStateBkgGradient2Color2(), {0.3952, 0.6616, 0.1032}},
        {"factoryRowStateBkgGradient3Color1", VXStyleKit::factoryRowStateBkgGradient3Color1(), {0.816, 0.008, 0.106}},
        {"factoryRowStateBkgGradient3Color2", VXStyleKit::factoryRowStateBkgGradient3Color2(), {0.6528, 0.0064, 0.0848}},
    };
    for (const auto &c : colours)
        expectColour(c.colour, c.expected, c.name);
}

// Each gradient runs between two of the colours; a row state's starts with the darker, as the rows draw it.
TEST(VXStyleKit, TheGradientsRunBetweenTheirColoursTheRowStatesDarkerFirst)
{
    const struct
    {
        const char *name;
        QGradientStops stops;
        QColor first, last;
    } gradients[] = {
        {"blueprintGradient", VXStyleKit::blueprintGradient(), VXStyleKit::blueprintColor(), VXStyleKit::blueprintDarkColor()},
        {"factoryRowStateBkgGradientWaiting", VXStyleKit::factoryRowStateBkgGradientWaiting(),
         VXStyleKit::factoryRowStateBkgGradient1Color2(), VXStyleKit::factoryRowStateBkgGradient1Color()},
        {"factoryRowStateBkgGradientSuccess", VXStyleKit::factoryRowStateBkgGradientSuccess(),
         VXStyleKit::factoryRowStateBkgGradient2Color2(), VXStyleKit::factoryRowStateBkgGradient2Color1()},
        {"factoryRowStateBkgGradientFailed", VXStyleKit::factoryRowStateBkgGradientFailed(),
         VXStyleKit::factoryRowStateBkgGradient3Color2(), VXStyleKit::factoryRowStateBkgGradient3Color1()},
    };
    for (const auto &g : gradients) {
        EXPECT_EQ(g.stops, (QGradientStops{{0, g.first}, {1, g.last}})) << g.name;
        if (QString(g.name).startsWith("factory")) {
            EXPECT_LT(g.first.lightnessF(), g.last.lightnessF()) << g.name;
        }
    }
}

// Shadow offsets are y-up: a positive height lifts the shadow.
TEST(VXStyleKit, TheShadowsHaveTheirColoursOffsetsAndBlur)
{
    const struct
    {
        const char *name;
        platform::Shadow shadow;
        Rgba colour;
        QSizeF offset;
        double blur;
    } shadows[] = {
        {"pageShadow", VXStyleKit::pageShadow(), {0, 0, 0, 1}, {1.1, -1.1}, 3.0},
        {"shadowForPaperPreview", VXStyleKit::shadowForPaperPreview(), {0, 0, 0, 0.4}, {1.1, 1.1}, 1.0},
        {"shadowForPaperPreviewHover", VXStyleKit::shadowForPaperPreviewHover(), {0, 0, 0, 0.4}, {0.1, 0.1}, 1.0},
        {"shadowForPaperPreviewDown", VXStyleKit::shadowForPaperPreviewDown(), {0, 0, 0, 0.6}, {0.1, 0.1}, 1.0},
        {"shadowForBooklet", VXStyleKit::shadowForBooklet(), {0.0624, 0.1725, 0.3}, {2.1, -2.1}, 5.0},
        {"shadowForPagePreview", VXStyleKit::shadowForPagePreview(), {0, 0, 0, 0.2}, {0.1, -1.1}, 3.0},
    };
    for (const auto &s : shadows) {
        expectColour(s.shadow.color, s.colour, s.name);
        EXPECT_NEAR(s.shadow.offset.width(), s.offset.width(), 1e-9) << s.name;
        EXPECT_NEAR(s.shadow.offset.height(), s.offset.height(), 1e-9) << s.name;
        EXPECT_EQ(s.shadow.blurRadius, s.blur) << s.name;
    }
}
