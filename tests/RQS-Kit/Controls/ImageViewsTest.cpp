#include "RQS-Kit/Controls/KitClasses.h"
#include "RQS-Kit/Controls/QS3PartImageView.h"
#include "RQS-Kit/Controls/QSDropView.h"
#include "RQS-Kit/Controls/QSImagePrintView.h"
#include "RQS-Kit/Controls/QSImageView.h"
#include "RQS-Kit/Controls/QSShapedBox.h"
#include "platform/layers/Layer.h"
#include "platform/layers/Transaction.h"
#include "platform/pdf/PdfDocument.h"
#include "platform/printing/PrintOperation.h"
#include "platform/ui/InterfaceLoader.h"
#include "support/MainBundleScope.h"
#include "support/PictureFixture.h"
#include "support/PixelProbe.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>
#include <QMimeData>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Columns of the given colours split at the x positions; the middle column's top and bottom
// rows (rowEdge high) in the last colour.
QImage columns(QSize size, QList<int> splits, QList<QColor> colours, int rowEdge = 0)
{
    QImage picture(size, QImage::Format_ARGB32);
    QPainter painter(&picture);
    splits.prepend(0);
    splits.append(size.width());
    for (int i = 0; i + 1 < splits.size(); ++i)
        painter.fillRect(QRect(splits[i], 0, splits[i + 1] - splits[i], size.height()), colours[i]);
    if (rowEdge > 0) {
        painter.fillRect(QRect(splits[1], 0, splits[2] - splits[1], rowEdge), colours.last());
        painter.fillRect(QRect(splits[1], size.height() - rowEdge, splits[2] - splits[1], rowEdge), colours.last());
    }
    return picture;
}

struct Recorder : QObject, QSViewDelegate, QSDropViewDelegate
{
    bool takesClicks() const override { return true; }
    void viewWasClicked(QSImageView *) override { ++clicks; }
    void viewDidAutoresize(QSImageView *) override { ++autoresizes; }
    std::optional<bool> dropViewDroppedFiles(QSDropView *, const QStringList &files) override
    {
        if (!takesLists)
            return std::nullopt;
        dropped << files;
        return true;
    }
    std::optional<bool> dropViewDroppedFile(QSDropView *, const QString &file) override
    {
        dropped << file;
        return true;
    }
    void dropViewFinishedDropping(QSDropView *) override { ++finished; }
    bool takesLists = true;
    int clicks = 0, finished = 0, autoresizes = 0;
    QStringList dropped;
};

} // namespace

TEST(ImageView, PlacesTheImageByGravityAspectAndUpscaling)
{
    QSImageView view;
    view.resize(100, 100);
    view.setAspectFit(true);
    view.setImage(columns({200, 100}, {100}, {Qt::red, Qt::blue}));
    EXPECT_EQ(view.drawnRect(), QRectF(-50, 0, 200, 100)) << "gravity 256 covers the view";
    EXPECT_EQ(PixelProbe::mismatches(PixelProbe::drawn(view), {{{25, 50}, Qt::red}, {{75, 50}, Qt::blue}}), QStringList());
    view.setGravity(0);
    EXPECT_EQ(view.drawnRect(), QRectF(0, 25, 100, 50));

    view.resize(100, 50);
    view.setAspectFit(false);
    view.setImage(columns({10, 10}, {}, {Qt::red}));
    view.setGravity(rqs::TopGravity | rqs::RightGravity);
    EXPECT_EQ(view.drawnRect(), QRectF(90, 40, 10, 10));
    view.setGravity(0);
    view.setUpscaleIfNeeded(true);
    EXPECT_EQ(view.drawnRect(), QRectF(0, 0, 100, 50));
}

TEST(ImageView, StretchesOnlyTheMiddleOfANineSliceImageAndShrinksTheBorderOfATooSmallTarget)
{
    QSImageView view;
    view.resize(100, 40);
    view.setImage(columns({30, 20}, {10, 20}, {Qt::red, Qt::green, Qt::blue, Qt::yellow}, 5));
    view.setStretchRect({10, 5, 10, 10});
    EXPECT_EQ(PixelProbe::mismatches(PixelProbe::drawn(view), {{{8, 20}, Qt::red}, {{12, 20}, Qt::green},
                                                               {{92, 20}, Qt::blue}, {{50, 2}, Qt::yellow},
                                                               {{50, 7}, Qt::green}, {{50, 37}, Qt::yellow}}),
              QStringList())
        << "columns 10, 80, 10 and rows 5, 30, 5";
    view.resize(10, 10);
    EXPECT_EQ(PixelProbe::mismatches(PixelProbe::drawn(view), {{{2, 5}, Qt::red}, {{7, 5}, Qt::blue}}), QStringList());
}

TEST(ImageView, TakesTheStretchRectangleFromTheOptionsOfItsImageName)
{
    QTemporaryDir bundle;
    const MainBundleScope scope(bundle.path());
    ASSERT_TRUE(columns({30, 20}, {}, {Qt::red}).save(bundle.filePath("RQS-I#001#Strip#4-6-10-2.png")));
    ASSERT_TRUE(columns({30, 20}, {}, {Qt::red}).save(bundle.filePath("RQS-I#002#Strip#4.png")));
    QSImageView view;
    view.setImageName("RQS-I#001#Strip#4-6-10-2");
    EXPECT_EQ(view.stretchRect(), QRectF(4, 6, 10, 2));
    view.setImageName("RQS-I#002#Strip#4");
    EXPECT_EQ(view.stretchRect(), QRectF(4, 0, 30, 20));
}

TEST(ImageView, TakesItsIntrinsicSizeFromTheImageAndAFixedWidth)
{
    QSImageView view;
    view.setFixedWidth(50);
    EXPECT_EQ(view.intrinsicContentSize(), QSizeF(0, 0)) << "no image";
    view.setImage(columns({100, 40}, {}, {Qt::red}));
    EXPECT_EQ(view.intrinsicContentSize(), QSizeF(50, 20));
    view.setFixedHeight(10);
    EXPECT_EQ(view.intrinsicContentSize(), QSizeF(100, 40));
}

TEST(ImageView, DrawsOnlyTheBackgroundWhileTheImageIsHidden)
{
    QSImageView view;
    view.resize(20, 20);
    view.setImage(columns({20, 20}, {}, {Qt::red}));
    view.setBorderColorName("#0000ff");
    view.setBorderWidth(2);
    view.setBackgroundColorName("#00ff00");
    EXPECT_EQ(PixelProbe::mismatches(PixelProbe::drawn(view), {{{0, 10}, Qt::blue}, {{10, 10}, Qt::red}}), QStringList());
    view.setHideImage(true);
    EXPECT_EQ(PixelProbe::mismatches(PixelProbe::drawn(view), {{{0, 10}, Qt::green}, {{10, 10}, Qt::green}}), QStringList());
}

TEST(ImageView, ANullImageClearsAnEngineImage)
{
    QSImageView view;
    view.resize(20, 20);
    view.setBackgroundColorName("#00ff00");
    view.setCIImage(platform::fx::Image::fromQImage(columns({20, 20}, {}, {Qt::red})));
    EXPECT_EQ(PixelProbe::mismatches(PixelProbe::drawn(view), {{{10, 10}, Qt::red}}), QStringList());
    view.setImage(QImage());
    EXPECT_TRUE(view.ciImage().isNull());
    EXPECT_EQ(PixelProbe::mismatches(PixelProbe::drawn(view), {{{10, 10}, Qt::green}}), QStringList());
}

TEST(ImageView, TellsItsDelegateOfSingleClicksOnly)
{
    QSImageView view;
    Recorder recorder;
    view.setViewDelegate(&recorder);
    view.resize(20, 20);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    QTest::mouseClick(&view, Qt::LeftButton, {}, {10, 10});
    QTest::mouseDClick(&view, Qt::LeftButton, {}, {10, 10});
    QTest::mouseRelease(&view, Qt::LeftButton, {}, {10, 10});
    EXPECT_EQ(recorder.clicks, 1);
}

TEST(ImageView, TellsItsDelegateOfAutoresizingButNotOfFramesSetByCode)
{
    platform::View superview;
    superview.resize(100, 100);
    auto *view = new QSImageView;
    superview.addSubview(view);
    view->setFrame(QRectF(10, 10, 50, 50));
    view->setAutoresizingMask(platform::Autoresizing::WidthSizable | platform::Autoresizing::HeightSizable);
    Recorder recorder;
    view->setViewDelegate(&recorder);
    superview.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&superview));
    view->setFrame(QRectF(10, 10, 60, 60));
    EXPECT_EQ(recorder.autoresizes, 0);
    superview.resize(140, 120);
    EXPECT_EQ(view->frame(), QRectF(10, 10, 100, 80));
    EXPECT_EQ(recorder.autoresizes, 1);
}

// A new frame neither animates the layer nor loses its transform, unless protection is off.
TEST(ImageView, ANewFrameKeepsTheLayersTransformAndGoesAtOnce)
{
    QWidget window;
    window.resize(200, 200);
    QSImageView view(&window);
    view.setWantsLayer(true);
    view.setFrame(QRectF(0, 0, 50, 50));
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QMatrix4x4 turned;
    turned.rotate(30, 0, 0, 1);
    view.layer()->setTransform(turned);
    EXPECT_TRUE(view.protectTransform());

    platform::Transaction::begin();
    platform::Transaction::setAnimationDuration(1.0);
    view.setFrame(QRectF(0, 0, 80, 60));
    platform::Transaction::commit();
    EXPECT_EQ(view.layer()->presentedBounds(), QRectF(0, 0, 80, 60)) << "no glide of the layer";
    EXPECT_EQ(view.layer()->transform(), turned);

    view.setProtectTransform(false);
    platform::Transaction::begin();
    platform::Transaction::setAnimationDuration(1.0);
    view.setFrame(QRectF(0, 0, 120, 90));
    platform::Transaction::commit();
    EXPECT_NE(view.layer()->presentedBounds(), QRectF(0, 0, 120, 90)) << "unprotected, the layer glides";
}

// An interface file sets an image view's opacity by text and names a shaped box's colours, which
// the box takes and ignores.
TEST(ImageView, TakesItsOpacityAsTextFromAnInterfaceFile)
{
    rqs::registerKitClasses();
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    QFile file(folder.filePath(QStringLiteral("Views.ui")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(R"(<?xml version="1.0" encoding="UTF-8"?>
<ui version="4.0">
 <widget class="platform::View" name="root">
  <widget class="QSImageView" name="picture">
   <property name="opacityString"><string>0.35</string></property>
  </widget>
  <widget class="QSShapedBox" name="box">
   <property name="outlineColorName"><string>#ff0000</string></property>
   <property name="backgroundColorName"><string>0 0 1 1</string></property>
  </widget>
 </widget>
</ui>
)");
    file.close();
    std::unique_ptr<QWidget> root(platform::InterfaceLoader::loadFile(file.fileName(), nullptr));
    ASSERT_TRUE(root);
    auto *picture = root->findChild<QSImageView *>(QStringLiteral("picture"));
    ASSERT_NE(picture, nullptr);
    EXPECT_DOUBLE_EQ(picture->opacity(), 0.35);
    auto *box = root->findChild<QSShapedBox *>(QStringLiteral("box"));
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->dynamicPropertyNames().isEmpty()) << "the box has setters of its own for the names";
}

TEST(ThreePartImageView, StretchesTheMiddlePictureBetweenTheEnds)
{
    QS3PartImageView strip;
    strip.resize(100, 30);
    strip.setLeftImg(columns({10, 20}, {}, {Qt::red}));
    strip.setMidImg(columns({1, 20}, {}, {Qt::green}));
    strip.setRightImg(columns({20, 20}, {}, {Qt::blue}));
    EXPECT_EQ(PixelProbe::mismatches(PixelProbe::drawn(strip), {{{5, 20}, Qt::red}, {{50, 20}, Qt::green}, {{85, 20}, Qt::blue},
                                                                {{50, 5}, Qt::transparent}}),
              QStringList())
        << "nothing stretches upwards";
}

TEST(DropView, TakesDragsByTheFirstFileAndHandsOnTheWholeListOrEachFileOfItsTypes)
{
    QSDropView view;
    Recorder recorder;
    view.setDelegate(&recorder);
    view.setSupportedTypes({"png"});
    const auto drop = [&](QEvent::Type type, const QStringList &paths) {
        QMimeData data;
        QList<QUrl> urls;
        for (const QString &path : paths)
            urls << QUrl::fromLocalFile(path);
        data.setUrls(urls);
        // Each type as its own class: a view casts the event by its type.
        QDragEnterEvent entering({5, 5}, Qt::CopyAction, &data, Qt::LeftButton, {});
        QDropEvent dropping({5, 5}, Qt::CopyAction, &data, Qt::LeftButton, {});
        QDropEvent &event = type == QEvent::DragEnter ? entering : dropping;
        event.setAccepted(false);
        QCoreApplication::sendEvent(&view, &event);
        return event.isAccepted();
    };
    EXPECT_FALSE(drop(QEvent::DragEnter, {"/tmp/a.txt", "/tmp/b.png"}));
    EXPECT_TRUE(drop(QEvent::DragEnter, {"/tmp/B.PNG", "/tmp/a.txt"}));
    EXPECT_TRUE(drop(QEvent::Drop, {"/tmp/B.PNG", "/tmp/a.txt"}));
    EXPECT_EQ(recorder.dropped, QStringList({"/tmp/B.PNG", "/tmp/a.txt"})) << "the list as dropped";
    EXPECT_EQ(recorder.finished, 0);

    recorder.dropped.clear();
    recorder.takesLists = false;
    EXPECT_TRUE(drop(QEvent::DragEnter, {"/tmp/c.png", "/tmp/d.txt"}));
    EXPECT_TRUE(drop(QEvent::Drop, {"/tmp/c.png", "/tmp/d.txt"}));
    EXPECT_EQ(recorder.dropped, QStringList{"/tmp/c.png"}) << "one by one, only files of its types";
    EXPECT_EQ(recorder.finished, 1);
}

TEST(ImagePrintView, TurnsALandscapeImageAQuarterTurnOntoAPortraitPage)
{
    QSImagePrintView view;
    view.resize(200, 300);
    view.setImage(PictureFixture::marked({300, 150}, Qt::green, Qt::red));
    platform::PrintInfo info;
    info.setPaperSize({200, 300});
    platform::PrintOperation operation(view, info);
    QBuffer pdf;
    pdf.open(QIODevice::WriteOnly);
    ASSERT_TRUE(operation.writePdf(pdf));
    const QImage page = platform::PdfDocument::fromData(pdf.data(), "printed")->page(0)->render(1, 1);
    EXPECT_EQ(PixelProbe::mismatches(page, {{{10, 150}, Qt::transparent}, {{190, 150}, Qt::transparent}, {{100, 150}, Qt::green},
                                            {{40, 280}, Qt::red}, {{160, 280}, Qt::green}}),
              QStringList())
        << "150 of the page's 200 wide, the picture's top-left corner at the bottom left";
}
