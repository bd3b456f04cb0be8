#include "platform/graphics/ImageReaderPlugins.h"

#include "support/MappedFiles.h"

#include <QBuffer>
#include <QImage>

#include <gtest/gtest.h>

TEST(ImageReaderPlugins, LoadsQtsPictureReadersOnce)
{
    // As ctest runs each case, alone, the process has read no picture before.
    if (mappedFiles().contains("/imageformats/"))
        GTEST_SKIP() << "an earlier case of this process loaded the plugins";
    QFuture<void> loading = platform::ImageReaderPlugins::loadInBackground();
    loading.waitForFinished();
    // libqjpeg comes with Qt itself wherever Qt's picture plugins are installed.
    EXPECT_TRUE(mappedFiles().contains("/imageformats/libqjpeg.so")) << "the picture plugins were not loaded";

    // Started once: a second call finds it done.
    EXPECT_TRUE(platform::ImageReaderPlugins::loadInBackground().isFinished());
    // Pictures still read on the main thread afterwards, through the plugins loaded elsewhere.
    QImage picture(8, 8, QImage::Format_RGB32);
    picture.fill(Qt::red);
    QByteArray jpeg;
    {
        QBuffer buffer(&jpeg);
        ASSERT_TRUE(buffer.open(QIODevice::WriteOnly));
        ASSERT_TRUE(picture.save(&buffer, "JPEG"));
    }
    const QImage read = QImage::fromData(jpeg, "JPEG");
    ASSERT_FALSE(read.isNull());
    EXPECT_NEAR(qRed(read.pixel(4, 4)), 255, 8);
}
