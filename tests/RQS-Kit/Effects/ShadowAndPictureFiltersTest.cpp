#include "NamedPicturesFixture.h"

#include "RQS-Kit/Effects/QSMaskImageFilter.h"
#include "RQS-Kit/Effects/QSPictureFrameFilter.h"
#include "RQS-Kit/Effects/QSPictureShadowFilter.h"
#include "RQS-Kit/Effects/QSSimpleShadowFilter.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/TempFolder.h"

#include <QFile>

using namespace fxtest;
using platform::fx::Color;

namespace {

QVariant v(const Image &image)
{
    return QVariant::fromValue(image);
}

const Pixel White{1, 1, 1, 1};
const Pixel Grey{0.5f, 0.5f, 0.5f, 1};
const Image whiteSquare = filled(QRect(0, 0, 4, 4), White);

struct ShadowCase
{
    double direction;
    QRectF extent;
    QPoint at;
    Pixel expected;
};

} // namespace

// Radius 0, distance 2: the silhouette in (0, 0, 0, 0.75) moved two pixels, the picture over it.
TEST_F(NamedPictures, SimpleShadowMovesTheSilhouetteByDirection)
{
    for (const ShadowCase &c : {ShadowCase{90, {0, 0, 6, 4}, {5, 1}, {0, 0, 0, 0.75f}},
                                ShadowCase{180, {0, -2, 4, 6}, {1, -1}, {0, 0, 0, 0.75f}},
                                ShadowCase{0, {0, 0, 4, 6}, {2, 5}, {0, 0, 0, 0.75f}},
                                ShadowCase{0, {0, 0, 4, 6}, {2, 2}, White}}) {
        QSSimpleShadowFilter shadow;
        shadow.setValueForKey("inputImage", v(whiteSquare));
        shadow.setValueForKey("inputRadius", 0.0);
        shadow.setValueForKey("inputDirection", c.direction);
        const Image out = shadow.outputImage();
        const QRectF e = out.extent();
        EXPECT_NEAR(e.x(), c.extent.x(), 1e-9);
        EXPECT_NEAR(e.bottom(), c.extent.bottom(), 1e-9);
        EXPECT_NEAR(e.width(), c.extent.width(), 1e-9) << c.direction;
        EXPECT_TRUE(near(renderedPixel(out, c.at.x(), c.at.y()), c.expected, 1e-4f)) << c.direction;
    }
}

struct MaskCase
{
    const char *name;
    bool stretch, invert;
    QPoint at;
    float coverage;
};

// A 2 × 2 white mask on an 8 × 4 picture: fitted it becomes 4 × 4 at x = 2, stretched 8 × 4;
// bilinear edges: x = 2.5 reads 0.75 of the mask fitted, x = 1.5 0.875 stretched.
TEST_F(NamedPictures, MaskIsFittedOrStretchedOntoThePicture)
{
    for (const MaskCase &c : {MaskCase{"fit inside", false, false, {3, 1}, 1}, MaskCase{"fit beside", false, false, {0, 1}, 0},
                              MaskCase{"fit edge", false, false, {2, 1}, 0.75f},
                              MaskCase{"stretch edge", true, false, {1, 1}, 0.875f},
                              MaskCase{"inverted beside", false, true, {0, 1}, 1},
                              MaskCase{"inverted inside", false, true, {3, 1}, 0}}) {
        QSMaskImageFilter mask;
        mask.setValueForKey("inputImage", v(filled(QRect(0, 0, 8, 4), Grey)));
        mask.setValueForKey("inputMaskImage", v(filled(QRect(0, 0, 2, 2), White)));
        mask.setValueForKey("inputScale", c.stretch);
        mask.setValueForKey("inputInvert", c.invert);
        EXPECT_TRUE(near(renderedPixel(mask.outputImage(), c.at.x(), c.at.y()), Grey * c.coverage)) << c.name;
    }
}

TEST_F(NamedPictures, MaskByNameAndItsAlpha)
{
    write("Masks", "RQS-M#001#Half.png", picture({2, 2}, QColor(0, 0, 0, 0)));
    QSMaskImageFilter mask;
    EXPECT_EQ(mask.settingsForKey("inputMaskName").toMap().value("choices"), QStringList{"RQS-M#001#Half"});
    mask.setValueForKey("inputImage", v(filled(QRect(0, 0, 2, 2), Grey)));
    mask.setValueForKey("inputMaskName", QString("RQS-M#001#Half"));
    EXPECT_TRUE(mask.hasAlpha());
    EXPECT_TRUE(near(renderedPixel(mask.outputImage(), 0, 0), {}));

    // An opaque quarter-grey mask given directly speaks through its grey, whatever the named one did.
    mask.setValueForKey("inputMaskImage", v(filled(QRect(0, 0, 2, 2), {0.25f, 0.25f, 0.25f, 1})));
    EXPECT_FALSE(mask.hasAlpha());
    EXPECT_TRUE(near(renderedPixel(mask.outputImage(), 1, 1), Grey * 0.25f));

    // Alone, the mask is drawn in the colour.
    mask.setValueForKey("inputImage", QVariant());
    mask.setValueForKey("inputColor", QVariant::fromValue(Color{1, 0, 0, 1}));
    EXPECT_TRUE(near(renderedPixel(mask.outputImage(), 0, 0), {0.25f, 0, 0, 0.25f}));
}

TEST_F(NamedPictures, MaskFromTheTemporaryFolderByPlainFileNameOnly)
{
    const QString file = platform::TempFolder::path() + "/loose-mask.png";
    ASSERT_TRUE(picture({2, 2}, Qt::white).save(file));
    QSMaskImageFilter mask;
    mask.setValueForKey("inputMaskName", QString("loose-mask.png"));
    EXPECT_FALSE(mask.imageValue("inputMaskImage").isNull());

    platform::LogCapture log;
    const QString elsewhere = "../" + QFileInfo(platform::TempFolder::path()).fileName() + "/loose-mask.png";
    mask.setValueForKey("inputMaskName", elsewhere);
    EXPECT_TRUE(mask.imageValue("inputMaskImage").isNull());
    EXPECT_TRUE(log.contains("Warning: No Mask loaded for " + elsewhere));
    QFile::remove(file);
}

struct FrameCase
{
    QString name;
    QRectF extent;
    QPoint at;
    Pixel expected;
};

// A 12 × 8 red frame with the window (2, 2, 8, 4) on a 20 × 10 picture: s = 2.5, the frame moves
// to (-5, -5) at 30 × 20. Frames without a usable layout leave the picture as it is.
TEST_F(NamedPictures, PictureFrameFitsItsWindowOntoThePicture)
{
    write("Frames", "RQS-F#001#Red#2-2-8-4.png", picture({12, 8}, Qt::red, {2, 2, 8, 4}));
    write("Frames", "RQS-F#002#Short#2-2.png", picture({12, 8}, Qt::red));
    write("Frames", "RQS-F#003#Flat#2-2-0-4.png", picture({12, 8}, Qt::red));
    for (const FrameCase &c : {FrameCase{"RQS-F#001#Red", {-5, -5, 30, 20}, {10, 5}, Grey},
                               FrameCase{"RQS-F#001#Red", {-5, -5, 30, 20}, {-3, 0}, {1, 0, 0, 1}},
                               FrameCase{"RQS-F#002#Short", {0, 0, 20, 10}, {0, 0}, Grey},
                               FrameCase{"RQS-F#003#Flat", {0, 0, 20, 10}, {0, 0}, Grey},
                               FrameCase{"RQS-F#009#Gone", {0, 0, 20, 10}, {0, 0}, Grey}}) {
        QSPictureFrameFilter frame;
        frame.setValueForKey("inputImage", v(filled(QRect(0, 0, 20, 10), Grey)));
        frame.setValueForKey("inputFrameName", QString("RQS-F#001#Red"));
        frame.setValueForKey("inputFrameName", c.name);
        const Image out = frame.outputImage();
        EXPECT_EQ(out.extent(), c.extent) << c.name.toStdString();
        EXPECT_TRUE(near(renderedPixel(out, c.at.x(), c.at.y()), c.expected)) << c.name.toStdString();
    }
}

TEST_F(NamedPictures, PictureFrameNamesReportWhatIsWrong)
{
    write("Frames", "RQS-F#002#Short#2-2.png", picture({12, 8}, Qt::red));
    QSPictureFrameFilter frame;
    platform::LogCapture log;
    frame.setValueForKey("inputFrameName", QString("RQS-F#002#"));
    EXPECT_TRUE(log.contains("Error: Picture Frame RQS-F#002# has wrong number of Name-Components 2 (2, 2)"));
    EXPECT_EQ(frame.value("inputFrameName"), QString("RQS-F#002#Short"));
    frame.setValueForKey("inputFrameName", QString("RQS-F#009#Gone"));
    EXPECT_TRUE(log.contains("Error: Picture Frame RQS-F#009#Gone has wrong number of Name-Components 0 ()"));
    EXPECT_TRUE(log.contains("Warning: Picture Frame 'RQS-F#009#Gone' not found"));
    EXPECT_TRUE(frame.frameImage().isNull());
}

struct ShadowPictureCase
{
    QString name;
    QRectF extent;
    QPoint at;
    Pixel expected;
};

// A 10 × 10 picture: a 12-wide shadow with margin 2 stays at scale 1 from (-2, -2); a 7-wide one
// doubles from (-4, -4); one no wider than its margin leaves the picture alone.
TEST_F(NamedPictures, ShadowPictureLiesBehindThePicture)
{
    write("Shadows", "RQS-S#001#Same#2-2.png", picture({12, 12}, Qt::blue));
    write("Shadows", "RQS-S#002#Double#2-2.png", picture({7, 7}, Qt::blue));
    write("Shadows", "RQS-S#003#Narrow#7-0.png", picture({7, 7}, Qt::blue));
    const Pixel blue{0, 0, 1, 1};
    for (const ShadowPictureCase &c : {ShadowPictureCase{"RQS-S#001#Same", {-2, -2, 12, 12}, {-1, -1}, blue},
                                       ShadowPictureCase{"RQS-S#001#Same", {-2, -2, 12, 12}, {5, 5}, White},
                                       ShadowPictureCase{"RQS-S#002#Double", {-4, -4, 14, 14}, {-3, -3}, blue},
                                       ShadowPictureCase{"RQS-S#003#Narrow", {0, 0, 10, 10}, {0, 0}, White}}) {
        QSPictureShadowFilter shadow;
        shadow.setValueForKey("inputImage", v(filled(QRect(0, 0, 10, 10), White)));
        shadow.setValueForKey("inputShadowName", c.name);
        const Image out = shadow.outputImage();
        EXPECT_EQ(out.extent(), c.extent) << c.name.toStdString();
        EXPECT_TRUE(near(renderedPixel(out, c.at.x(), c.at.y()), c.expected)) << c.name.toStdString();
    }
}
