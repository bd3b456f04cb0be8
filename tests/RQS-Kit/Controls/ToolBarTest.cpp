#include "RQS-Kit/Controls/QSToolBarButton.h"
#include "RQS-Kit/Controls/QSToolBarView.h"
#include "platform/foundation/PropertyList.h"

#include "BandShade.h"
#include "support/MainBundleScope.h"
#include "support/PixelProbe.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

namespace {

// A bundle whose one bar has a shade with a 6-point red left cap, a green middle and an 8-point
// blue right cap.
struct BarBundle
{
    BarBundle()
    {
        writeBandShade(folder.filePath("BAR-T#001#Band#6-S-8.png"));
        const QVariantMap bar{{"Image", "BAR-T#001#Band"}};
        platform::PropertyList::write(QVariantMap{{"Default", QVariantList{bar}}}, folder.filePath("ToolBar.plist"));
    }
    QTemporaryDir folder;
    MainBundleScope scope{folder.path()};
};

QSToolBarButton *cutter(QSToolBarView &bar, int x, int width)
{
    auto *button = new QSToolBarButton(&bar);
    button->setGeometry(x, 0, width, 20);
    button->setCutsBar(true);
    button->hide();
    return button;
}

} // namespace

TEST(ToolBar, ButtonsInAnyOrderCutSegmentsWithCapsOnlyWhereAButtonInterruptsTheBand)
{
    const BarBundle bundle;
    QSToolBarView bar;
    bar.resize(500, 20);
    QSToolBarButton *right = cutter(bar, 300, 50);
    cutter(bar, 100, 40);
    EXPECT_EQ(bar.barSegments(), (QList<QRectF>{{0, 0, 100, 20}, {140, 0, 160, 20}, {350, 0, 150, 20}}));

    const QImage drawn = PixelProbe::drawn(bar);
    const QColor none = Qt::transparent;
    const QStringList wrong = PixelProbe::mismatches(
        drawn, {{{2, 10}, Qt::green}, {{96, 10}, Qt::blue}, {{120, 10}, none}, {{142, 10}, Qt::red}, {{200, 10}, Qt::green},
                {{296, 10}, Qt::blue}, {{325, 10}, none}, {{352, 10}, Qt::red}, {{497, 10}, Qt::green}});
    EXPECT_TRUE(wrong.isEmpty()) << wrong.join("; ").toStdString();

    right->setCutsBar(false);
    EXPECT_EQ(bar.barSegments(), (QList<QRectF>{{0, 0, 100, 20}, {140, 0, 360, 20}}));
}
