#include "RQS-Kit/Controls/KitClasses.h"
#include "RQS-Kit/Controls/QSCropController.h"

#include "support/PixelProbe.h"

#include <gtest/gtest.h>

#include <QTest>

namespace {

// Red follows x and green follows y (y-up), so every pixel says where in the picture it came from.
QImage gradientPicture(int width, int height)
{
    QImage picture(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            picture.setPixelColor(x, y, QColor(x * 255 / (width - 1), (height - 1 - y) * 255 / (height - 1), 64));
    }
    return picture;
}

} // namespace

// The user sees the picture and the crop overlay together: the part left clear on screen must be the
// part of the picture the crop window answers.
TEST(CropWindow, TheClearPartOnScreenIsThePartOfThePictureTheCropAnswers)
{
    rqs::registerKitClasses();
    QSCropController controller;
    const QImage picture = gradientPicture(400, 200);
    ASSERT_TRUE(controller.setImage(picture));
    controller.setCropRatio(1.0);
    platform::Window *window = controller.window();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    QSImageView *imageView = controller.imageView();
    QSCropView *cropView = controller.cropView();

    EXPECT_EQ(imageView->drawnRect(), cropView->activeArea()) << "the overlay covers the picture as shown";
    EXPECT_EQ(cropView->activeArea(), QRectF(0, 75, 300, 150));
    const QRectF crop = cropView->cropRect();
    EXPECT_EQ(crop, QRectF(0.25, 0, 0.5, 1));

    const QImage shown = imageView->grab().toImage();
    // Points of the crop in the view (y-up) and the picture pixel the answer names for each.
    const QRectF inView = cropView->cropRectInView();
    for (const QPointF unit : {QPointF(0.1, 0.1), QPointF(0.5, 0.5), QPointF(0.9, 0.8), QPointF(0.2, 0.9)}) {
        const QPointF onScreen(inView.x() + unit.x() * inView.width(), inView.y() + unit.y() * inView.height());
        const QPoint screenPixel(int(onScreen.x()), int(imageView->height() - onScreen.y()));
        const QPoint picturePixel(int((crop.x() + unit.x() * crop.width()) * picture.width()),
                                  int(picture.height() - 1 - (crop.y() + unit.y() * crop.height()) * (picture.height() - 1)));
        EXPECT_TRUE(PixelProbe::isNear(shown, screenPixel, picture.pixelColor(picturePixel), 6))
            << "at " << unit.x() << "," << unit.y() << " the screen shows " << PixelProbe::describe(shown, screenPixel).toStdString()
            << " where the crop names " << picture.pixelColor(picturePixel).name().toStdString();
    }
    // Above and below the picture nothing of it shows, and the picture beside the crop is dimmed.
    EXPECT_FALSE(PixelProbe::isNear(shown, QPoint(150, 40), picture.pixelColor(200, 0), 40));
    const QColor beside = shown.pixelColor(QPoint(30, 150));
    const QColor original = picture.pixelColor(40, 100);
    EXPECT_LT(beside.red() + beside.green(), (original.red() + original.green()) / 2) << "dimmed beside the crop";

    // Dragged far to the left, the crop stops on the picture's left edge, and so does what is clear.
    QTest::mousePress(cropView, Qt::LeftButton, {}, QPoint(150, 150));
    QTest::mouseMove(cropView, QPoint(0, 150));
    QTest::mouseMove(cropView, QPoint(-100, 150));
    QTest::mouseRelease(cropView, Qt::LeftButton, {}, QPoint(-100, 150));
    EXPECT_EQ(cropView->cropRect(), QRectF(0, 0, 0.5, 1));
    const QImage dragged = imageView->grab().toImage();
    EXPECT_TRUE(PixelProbe::isNear(dragged, QPoint(2, 150), picture.pixelColor(2, 100), 6)) << PixelProbe::describe(dragged, QPoint(2, 150)).toStdString();
    EXPECT_FALSE(PixelProbe::isNear(dragged, QPoint(200, 150), picture.pixelColor(266, 100), 20)) << "dimmed right of the crop";
}

TEST(CropWindow, TheExplanationFileShowsBelowThePicture)
{
    rqs::registerKitClasses();
    QSCropController controller;
    EXPECT_TRUE(controller.setDescriptionFile(qEnvironmentVariable("FOLDWISE_RESOURCES") + "/CropDescription.html"));
    EXPECT_FALSE(controller.descriptionView()->toPlainText().trimmed().isEmpty());
    EXPECT_FALSE(controller.setDescriptionFile("/nonexistent/CropDescription.html"));
}
