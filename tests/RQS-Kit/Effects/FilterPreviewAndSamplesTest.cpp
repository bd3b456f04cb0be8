#include "RQS-Kit/Controls/QSDropView.h"
#include "RQS-Kit/Effects/KitFilters.h"
#include "RQS-Kit/Effects/QSFilterPreview.h"
#include "RQS-Kit/Effects/QSImageArray.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/UserDefaults.h"

#include <QCoreApplication>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(FilterPreview, BoundDefaultAppliesAndUnknownInputsAreIgnored)
{
    rqs::registerKitFilters();
    platform::UserDefaults::standardUserDefaults()->setObject(0.15, "PreviewBorderWidth");
    QSFilterPreview preview;
    preview.resize(80, 60);
    preview.setAdjustImage(true);
    preview.setFilterName("QSShapedBorderFilter");
    preview.setImageName("PreviewImage");
    EXPECT_EQ(preview.filter()->imageValue("inputImage").extent().size(), QSizeF(80, 60));
    EXPECT_TRUE(preview.setValueForKeyPath("bind.PreviewBorderWidth", "inputWidth"));
    preview.awakeFromNib();
    EXPECT_DOUBLE_EQ(preview.filter()->numberValue("inputWidth"), 0.15);

    platform::LogCapture log;
    EXPECT_FALSE(preview.setValueForKeyPath("bind.PreviewOther", "inputNoSuch"));
    EXPECT_FALSE(preview.setValueForKeyPath("filter.inputNoSuch", 1.0));
    EXPECT_EQ(log.lines().filter("Warning: ").size(), 2);
    EXPECT_EQ(preview.bindings().size(), 1);
    EXPECT_TRUE(preview.setValueForKeyPath("filter.inputWidth", 0.05));
    EXPECT_DOUBLE_EQ(preview.filter()->numberValue("inputWidth"), 0.05);
}

TEST(ImageArray, EmptyListStaysAtZero)
{
    QSImageArray samples;
    samples.selectLast();
    samples.next();
    EXPECT_EQ(samples.currentIndex(), 0);
    EXPECT_FALSE(samples.hasPrevious());
    EXPECT_FALSE(samples.hasNext());
    EXPECT_EQ(samples.currentImage(), samples.placeholder());
}

TEST(ImageArray, DropsStepsAndOneReportPerTurn)
{
    QSImageArray samples;
    QSDropView view;
    samples.setDropView(&view);
    EXPECT_TRUE(view.supportedTypes().contains("jpeg"));
    int reports = 0;
    platform::NotificationCenter::defaultCenter()->addObserver(&samples, "QSIACurrentChangedNotification", &samples,
                                                               [&](const auto &) { ++reports; });
    QTemporaryDir dir;
    QStringList paths;
    for (int i = 0; i < 3; ++i) {
        paths << dir.filePath(QString("s%1.png").arg(i));
        QImage(4, 4, QImage::Format_RGB32).save(paths.last());
    }
    EXPECT_EQ(samples.dropViewDroppedFiles(&view, {dir.filePath("none.png")}), false);
    EXPECT_EQ(samples.dropViewDroppedFiles(&view, paths), true);
    EXPECT_EQ(samples.currentIndex(), 2);
    QCoreApplication::processEvents();
    EXPECT_EQ(reports, 1);
    samples.setCurrentIndex(0);
    samples.next();
    samples.next();
    samples.previous();
    QCoreApplication::processEvents();
    EXPECT_EQ(reports, 2);
    EXPECT_EQ(samples.currentIndex(), 1);
    EXPECT_TRUE(samples.hasPrevious() && samples.hasNext());
}
