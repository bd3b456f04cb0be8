#include "RQS-Kit/Controls/KitClasses.h"
#include "RQS-Kit/Controls/QSImagePreviewer.h"
#include "platform/layers/Layer.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/ui/SavePanel.h"

#include "support/PixelProbe.h"

#include <gtest/gtest.h>

#include <QFileDialog>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

#include <thread>

using platform::fx::Color;
using platform::fx::Image;

namespace {

QImage filled(QSize size, const QColor &colour)
{
    QImage picture(size, QImage::Format_ARGB32);
    picture.fill(colour);
    return picture;
}

class Previewer : public ::testing::Test
{
protected:
    void SetUp() override
    {
        rqs::registerKitClasses();
        previewer->setHistorySize(3);
        previewer->clearHistory(nullptr);
    }
    // The previewer is shared: its window must not stay open under the next test.
    void TearDown() override
    {
        previewer->clearHistory(nullptr);
        previewer->close(nullptr);
        platform::UserDefaults::standardUserDefaults()->removeObjectForKey("PreviewerHistorySize");
    }
    QString title() { return previewer->window()->windowTitle(); }

    QSImagePreviewer *previewer = QSImagePreviewer::sharedImagePreviewer();
};

} // namespace

TEST_F(Previewer, KeepsTheLastImagesUnderNumberedNames)
{
    platform::LogCapture log;
    EXPECT_TRUE(QSImagePreviewer::showNSImage(QImage(), "empty").isEmpty());
    EXPECT_TRUE(QSImagePreviewer::showCIImage(Image::withColor({1, 0, 0, 1}), "endless").isEmpty());
    EXPECT_EQ(log.lines().filter("Warning: Previewing").size(), 2);
    EXPECT_TRUE(previewer->history().isEmpty());

    const QString first = QSImagePreviewer::showNSImage(filled({4, 2}, Qt::red), "sample");
    const QString second = QSImagePreviewer::showNSImage(filled({4, 2}, Qt::green), "sample");
    const qulonglong number = first.section("Previewer", 1).toULongLong();
    EXPECT_EQ(second, QString("sample.Previewer%1").arg(number + 1));
    for (int i = 0; i < 2; ++i)
        QSImagePreviewer::showNSImage(filled({5, 3}, Qt::blue), {});
    ASSERT_EQ(previewer->history().size(), 3);
    EXPECT_EQ(previewer->index(), 2);
    EXPECT_EQ(title(), "Image Previewer: 5 x 3");
    EXPECT_EQ(previewer->history().first().name, second) << "the name travels with its image";
    previewer->nextImage(nullptr);
    EXPECT_EQ(previewer->index(), 2);
    previewer->clearHistory(nullptr);
    EXPECT_EQ(title(), "Image Previewer");

    platform::UserDefaults::standardUserDefaults()->setInteger(-5, "PreviewerHistorySize");
    EXPECT_EQ(QSImagePreviewer().historySize(), 1);
}

TEST_F(Previewer, ShowsRecipesAndViewCapturesAndSavesThemAsPNG)
{
    const QString shown = QSImagePreviewer::showCIImage(Image::withColor({0, 0, 1, 1}).cropped({0, 0, 6, 4}), "swatch");
    EXPECT_EQ(title(), "Image Previewer (swatch (sRGB)): 6 x 4");
    EXPECT_TRUE(shown.startsWith("swatch (sRGB).Previewer"));

    QSImageView view;
    view.resize(20, 10);
    view.setCIImage(Image::withColor({1, 0, 0, 1}).cropped({0, 0, 2, 2}));
    QSImagePreviewer::showView(&view, "capture");
    ASSERT_EQ(previewer->history().size(), 2);
    EXPECT_EQ(title(), "Image Previewer (capture): 20 x 10");
    EXPECT_TRUE(previewer->window()->isVisible());

    QTemporaryDir folder;
    platform::SavePanel::setResponder([&](QFileDialog &dialog) {
        EXPECT_EQ(dialog.selectedFiles().value(0).section('/', -1), "capture.png");
        dialog.selectFile(folder.filePath("capture.png"));
        return platform::SavePanel::OKButton;
    });
    previewer->save(nullptr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(folder.filePath("capture.png")); }));
    platform::SavePanel::setResponder(nullptr);
    const QImage saved(folder.filePath("capture.png"));
    ASSERT_EQ(saved.size(), QSize(20, 10));
    EXPECT_EQ(saved.pixelColor(10, 5), QColor(Qt::red)) << "the stretched recipe fills the view";

    std::thread([] { QSImagePreviewer::showNSImage(filled({7, 7}, Qt::yellow), "worker"); }).join();
    EXPECT_EQ(previewer->history().size(), 2) << "posted to the main queue";
    ASSERT_TRUE(QTest::qWaitFor([&] { return previewer->history().size() == 3; }));
    EXPECT_EQ(previewer->history().last().image.pixelColor(3, 3), QColor(Qt::yellow));
}

TEST_F(Previewer, DrawsLayersOnTheMainThreadAndRefusesAnEmptyOne)
{
    platform::LogCapture log;
    platform::Layer empty;
    EXPECT_TRUE(QSImagePreviewer::showLayer(&empty, "empty").isEmpty());
    EXPECT_EQ(log.lines().filter("Warning: Previewing 0 x 0 layer with name empty").size(), 1);
    EXPECT_TRUE(previewer->history().isEmpty());

    platform::Layer layer;
    layer.setBounds({0, 0, 6, 3});
    layer.setBackgroundColor(QColor(Qt::blue));
    QString shown;
    std::thread([&] { shown = QSImagePreviewer::showLayer(&layer, "layer"); }).join();
    EXPECT_TRUE(shown.startsWith("layer.Previewer"));
    EXPECT_TRUE(previewer->history().isEmpty()) << "drawn on the main queue, not on the worker";
    ASSERT_TRUE(QTest::qWaitFor([&] { return previewer->history().size() == 1; }));
    EXPECT_EQ(previewer->history().last().image.size(), QSize(6, 3));
    EXPECT_EQ(previewer->history().last().image.pixelColor(3, 1), QColor(Qt::blue));
}

namespace {

// Where the picture shows the colour, in the view's own pixels.
QRect extentOf(const QImage &shown, const QColor &colour)
{
    QRect extent;
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x)
            if (PixelProbe::isNear(shown, {x, y}, colour, 40))
                extent |= QRect(x, y, 1, 1);
    return extent;
}

} // namespace

// A circle in a 200 × 100 picture stays round and the whole picture shows, in windows of other
// proportions than the picture's.
TEST_F(Previewer, ShowsAPictureWholeInItsOwnProportions)
{
    QImage picture(200, 100, QImage::Format_ARGB32);
    picture.fill(Qt::white);
    {
        QPainter painter(&picture);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(Qt::blue);
        painter.drawEllipse(QRectF(50, 0, 100, 100));
    }
    QSImagePreviewer::showNSImage(picture, "circle");
    platform::Window *window = previewer->window();
    for (const QSize size : {QSize(480, 400), QSize(300, 600), QSize(900, 300)}) {
        SCOPED_TRACE(QStringLiteral("%1 x %2").arg(size.width()).arg(size.height()).toStdString());
        window->resize(size);
        QTest::qWait(0);
        QSImageView *view = previewer->imageView();
        const QImage shown = PixelProbe::drawn(*view);
        const QRect circle = extentOf(shown, Qt::blue);
        const QRect whole = extentOf(shown, Qt::white);
        ASSERT_FALSE(circle.isEmpty());
        EXPECT_NEAR(circle.width(), circle.height(), 2) << "round, not an ellipse";
        EXPECT_NEAR(whole.width(), 2 * whole.height(), 3) << "the picture's own 2 : 1";
        EXPECT_TRUE(whole.width() == view->width() || whole.height() == view->height()) << "fitted to the view";
    }
}
