#pragma once

#include "RQS-Kit/Effects/KitFilters.h"
#include "RQS-Kit/Effects/QSNamedPictures.h"
#include "RQS-Kit/Foundation/BundleExtension.h"
#include "platform/fx/FxTestImages.h"

#include <QDir>
#include <QImage>
#include <QTemporaryDir>

// A folder of named pictures that the kit reads while the fixture lives.
class NamedPictures : public ::testing::Test
{
protected:
    void SetUp() override
    {
        rqs::registerKitFilters();
        ASSERT_TRUE(rqs::setGraphicsBundlePath(m_dir.path()));
    }
    void TearDown() override { rqs::setGraphicsBundlePath({}); }

    // An opaque picture of one colour with a clear window (x, y, w, h; y up).
    static QImage picture(const QSize &size, const QColor &color, const QRect &window = {})
    {
        QImage image(size, QImage::Format_ARGB32);
        image.fill(color);
        for (int y = window.y(); y < window.y() + window.height(); ++y)
            for (int x = window.x(); x < window.x() + window.width(); ++x)
                image.setPixelColor(x, size.height() - 1 - y, Qt::transparent);
        return image;
    }
    void write(const QString &folder, const QString &name, const QImage &image)
    {
        ASSERT_TRUE(QDir(m_dir.path()).mkpath(folder));
        ASSERT_TRUE(image.save(m_dir.filePath(folder + QLatin1Char('/') + name)));
    }

    QTemporaryDir m_dir;
};
