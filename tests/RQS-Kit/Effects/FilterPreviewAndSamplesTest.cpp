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
#include <QWidget>

#include "support/HostileFiles.h"
#include "support/PixelProbe.h"

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

// The preview lies inside a one-point black border: its outermost ring of pixels, corners
// included, is black at every size and pixel ratio, and the picture shows one point in.
TEST(FilterPreview, OnePointBlackBorderCoversItsCorners)
{
    rqs::registerKitFilters();
    for (const QSize size : {QSize(20, 12), QSize(81, 57), QSize(3, 3), QSize(200, 9)}) {
        for (const double ratio : {1.0, 2.0}) {
            SCOPED_TRACE(QStringLiteral("%1x%2 at %3").arg(size.width()).arg(size.height()).arg(ratio).toStdString());
            QSFilterPreview preview;
            preview.resize(size);
            preview.setFilterName("QSShapedBorderFilter");
            preview.setImageName("PreviewImage");
            QImage drawn((QSizeF(size) * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
            drawn.setDevicePixelRatio(ratio);
            drawn.fill(Qt::white);
            preview.render(&drawn, QPoint(), QRegion(), QWidget::DrawChildren);
            const int w = drawn.width(), h = drawn.height(), border = int(ratio);
            QList<std::pair<QPoint, QColor>> black;
            for (const QPoint corner : {QPoint(0, 0), QPoint(w - 1, 0), QPoint(0, h - 1), QPoint(w - 1, h - 1)})
                black.append({corner, Qt::black});
            for (int x = 0; x < w; ++x)
                for (int y : {0, border - 1, h - border, h - 1})
                    black.append({QPoint(x, y), Qt::black});
            for (int y = 0; y < h; ++y)
                for (int x : {0, border - 1, w - border, w - 1})
                    black.append({QPoint(x, y), Qt::black});
            EXPECT_EQ(PixelProbe::mismatches(drawn, black, 0).join("; "), "");
            if (w > 2 * border && h > 2 * border) {
                EXPECT_FALSE(PixelProbe::isNear(drawn, QPoint(border, border), Qt::black, 8))
                    << "the border is one point: " << PixelProbe::describe(drawn, QPoint(border, border)).toStdString();
            }
        }
    }
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

// A pipe, a device, a folder or a link to a pipe dropped as a sample is refused at once, naming
// the file, and the list stays as it was.
TEST(ImageArray, RefusesWhatIsNoRegularFile)
{
    const HostileFiles hostile("jpg");
    QSImageArray samples;
    for (const HostileFiles::File &file : hostile.files()) {
        SCOPED_TRACE(file.what.toStdString());
        platform::LogCapture log;
        EXPECT_FALSE(samples.addImageAtPath(file.path));
        EXPECT_TRUE(log.contains(QStringLiteral("Warning: Could not read the image %1, because %2").arg(file.path, file.reason)))
            << log.lines().join('\n').toStdString();
    }
    EXPECT_TRUE(samples.images().empty());
    EXPECT_EQ(hostile.pipesOpened(), QStringList()) << "a pipe was opened";
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
