#include "RQS-Kit/Controls/QSToolBarButton.h"
#include "RQS-Kit/Controls/QSToolBarView.h"
#include "platform/foundation/PropertyList.h"

#include "BandShade.h"
#include "support/MainBundleScope.h"
#include "support/PixelProbe.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

namespace {

bool allClear(const QImage &image)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y).alpha() != 0)
                return false;
    return true;
}

} // namespace

TEST(ToolBarEdges, WithoutBarDescriptionsTheBarDrawsNothingAndTakesNoBar)
{
    QTemporaryDir folder;
    ASSERT_TRUE(writeBandShade(folder.filePath("BAR-T#001#Band#6-S-8.png")));
    MainBundleScope scope(folder.path());
    QSToolBarView bar;
    bar.resize(200, 20);
    bar.setCurrentBar("Default");
    EXPECT_EQ(bar.currentBar(), QString());
    EXPECT_TRUE(bar.toolBarShades().empty());
    EXPECT_TRUE(allClear(PixelProbe::drawn(bar)));
}

// A file whose bars have no "Default" starts on the first of them, by name.
TEST(ToolBarEdges, AFileWithoutADefaultBarStartsOnItsFirstBar)
{
    QTemporaryDir folder;
    ASSERT_TRUE(writeBandShade(folder.filePath("BAR-T#001#Band#6-S-8.png")));
    const QVariantMap shade{{"Image", "BAR-T#001#Band"}};
    ASSERT_TRUE(platform::PropertyList::write(QVariantMap{{"Night", QVariantList{shade, shade}}, {"Light", QVariantList{shade}}},
                                              folder.filePath("ToolBar.plist")));
    MainBundleScope scope(folder.path());
    QSToolBarView bar;
    EXPECT_EQ(bar.currentBar(), "Light");
    EXPECT_EQ(bar.toolBarShades().size(), 1u);
    bar.setCurrentBar("Night");
    EXPECT_EQ(bar.toolBarShades().size(), 2u);
}

// The options of a shade's file name: "R" alone repeats the whole image as its middle, without
// caps; two components mean nothing; three give the caps and how the middle fills.
TEST(ToolBarEdges, AShadesOptionsOfOneComponentRepeatItsMiddleAndOfTwoAreIgnored)
{
    QTemporaryDir folder;
    for (const char *file : {"BAR-T#001#Repeated#R.png", "BAR-T#002#Pair#6-8.png", "BAR-T#003#Capped#6-R-8.png"})
        ASSERT_TRUE(writeBandShade(folder.filePath(file)));
    MainBundleScope scope(folder.path());
    const struct
    {
        const char *name;
        bool repeat;
        double left, right;
        int midWidth;
    } cases[] = {
        {"BAR-T#001#Repeated", true, 0, 0, 30},
        {"BAR-T#002#Pair", false, 0, 0, 30},
        {"BAR-T#003#Capped", true, 6, 8, 16},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const QSToolBarShade shade(c.name, {});
        EXPECT_EQ(shade.repeat(), c.repeat);
        EXPECT_EQ(shade.leftMargin(), c.left);
        EXPECT_EQ(shade.rightMargin(), c.right);
        EXPECT_EQ(shade.left().isNull(), c.left == 0);
        EXPECT_EQ(shade.right().isNull(), c.right == 0);
        EXPECT_EQ(shade.mid().width(), c.midWidth);
    }
}

// A bar drawn with the repeated shade tiles the whole image, caps and all, edge to edge.
TEST(ToolBarEdges, ARepeatedShadeWithoutCapsTilesTheWholeImageAcrossTheBar)
{
    QTemporaryDir folder;
    ASSERT_TRUE(writeBandShade(folder.filePath("BAR-T#001#Repeated#R.png")));
    ASSERT_TRUE(platform::PropertyList::write(QVariantMap{{"Default", QVariantList{QVariantMap{{"Image", "BAR-T#001#Repeated"}}}}},
                                              folder.filePath("ToolBar.plist")));
    MainBundleScope scope(folder.path());
    QSToolBarView bar;
    bar.resize(90, 20);
    const QStringList wrong = PixelProbe::mismatches(
        PixelProbe::drawn(bar), {{{2, 10}, Qt::red}, {{15, 10}, Qt::green}, {{26, 10}, Qt::blue}, {{32, 10}, Qt::red}, {{87, 10}, Qt::blue}});
    EXPECT_TRUE(wrong.isEmpty()) << wrong.join("; ").toStdString();
}

// A button that no longer cuts the bar leaves its list, and the band closes over its place when
// the bar is drawn next.
TEST(ToolBarEdges, TheBandClosesWhereAButtonStopsCuttingIt)
{
    QTemporaryDir folder;
    ASSERT_TRUE(writeBandShade(folder.filePath("BAR-T#001#Band#6-S-8.png")));
    ASSERT_TRUE(platform::PropertyList::write(QVariantMap{{"Default", QVariantList{QVariantMap{{"Image", "BAR-T#001#Band"}}}}},
                                              folder.filePath("ToolBar.plist")));
    MainBundleScope scope(folder.path());
    QSToolBarView bar;
    bar.resize(300, 20);
    auto *button = new QSToolBarButton(&bar);
    button->setGeometry(100, 0, 40, 20);
    button->setCutsBar(true);
    button->hide();
    EXPECT_EQ(PixelProbe::drawn(bar).pixelColor(120, 10).alpha(), 0) << "a gap where the button cuts";
    button->setCutsBar(false);
    const QStringList wrong = PixelProbe::mismatches(PixelProbe::drawn(bar), {{{96, 10}, Qt::green}, {{120, 10}, Qt::green}, {{142, 10}, Qt::green}});
    EXPECT_TRUE(wrong.isEmpty()) << wrong.join("; ").toStdString();
    EXPECT_EQ(bar.barSegments(), QList<QRectF>{QRectF(0, 0, 300, 20)});
}

// A tool-bar button's look lives in its bar's folder: with a name but no bar it has none, even
// where a plain button of that name finds one.
TEST(ToolBarEdges, AToolBarButtonWithANameButNoBarLoadsNoArtwork)
{
    QTemporaryDir folder;
    QImage mid(4, 20, QImage::Format_ARGB32);
    mid.fill(Qt::red);
    for (const QString &button : {folder.filePath("Go.button"), folder.filePath("Top.barButton/Go.button")}) {
        ASSERT_TRUE(QDir().mkpath(button));
        ASSERT_TRUE(mid.save(button + "/Mid-Normal.tiff", "TIFF"));
    }
    for (const char *symbol : {"Go.png", "GoDown.png"})
        ASSERT_TRUE(mid.save(folder.filePath(symbol)));
    MainBundleScope scope(folder.path());

    QSButton plain;
    plain.setName("Go");
    ASSERT_FALSE(plain.midImages(false).isEmpty()) << "a plain button finds the bundle's";
    QSToolBarButton button;
    button.setName("Go");
    EXPECT_TRUE(button.midImages(false).isEmpty());
    EXPECT_TRUE(button.symbolImages(false).isEmpty());
    EXPECT_TRUE(button.buttonInfo().isEmpty());
    button.setBarName("Top");
    EXPECT_FALSE(button.midImages(false).isEmpty()) << "its bar's";
}
