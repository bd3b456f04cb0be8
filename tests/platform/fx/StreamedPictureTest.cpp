#include "FxTestImages.h"

#include "platform/foundation/Log.h"
#include "platform/fx/Context.h"
#include "platform/fx/Nodes.h"
#include "platform/fx/PictureRenderer.h"
#include "platform/fx/RenderGraph.h"

#include "support/PdfFixture.h"

#include <QImage>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <cstring>

#include <gtest/gtest.h>

using namespace fxtest;
using platform::fx::Context;
using platform::fx::RenderGraph;

namespace {

// Above the 32 MiB that a picture may take decoded before it is read by rows.
constexpr int width = 4300, height = 2000;

QImage wide(bool alpha)
{
    QImage picture(width, height, alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        auto *line = reinterpret_cast<QRgb *>(picture.scanLine(y));
        for (int x = 0; x < width; ++x)
            line[x] = qRgba((x * 3 + y) % 256, (x ^ y) % 256, (x * y / 7) % 256, alpha ? (x + 2 * y) % 256 : 255);
    }
    return picture;
}

// A large PNG cut half way: its header whole, its lower rows gone. Empty when it cannot be written.
QString cutWide(const QTemporaryDir &folder)
{
    const QString good = folder.filePath("good.png");
    if (!wide(false).save(good, "PNG", 90))
        return {};
    const QByteArray bytes = PdfFixture::read(good);
    return PdfFixture::write(folder.path(), "cut.png", bytes.left(bytes.size() / 2));
}

bool same(const Buffer &a, const Buffer &b) { return a.rect() == b.rect() && std::memcmp(a.row(a.rect().top()) + a.rect().left(), b.row(b.rect().top()) + b.rect().left(), sizeof(Pixel) * std::size_t(a.rect().width()) * std::size_t(a.rect().height())) == 0; }

} // namespace

// A large PNG read by rows as it is rendered gives the very pixels of the picture read whole, for
// bands asked from the top down, again from the top, and out of order.
TEST(StreamedPicture, ALargePngReadByRowsRendersThePixelsOfThePictureReadWhole)
{
    QTemporaryDir folder;
    for (const bool alpha : {false, true}) {
        SCOPED_TRACE(alpha ? "with alpha" : "opaque");
        const QString path = folder.filePath(alpha ? "alpha.png" : "opaque.png");
        ASSERT_TRUE(wide(alpha).save(path, "PNG", 90));
        const Image streamed = Image::fromFile(path);
        const Image whole = Image::fromQImage(QImage(path));
        ASSERT_FALSE(streamed.isNull());
        ASSERT_EQ(streamed.extent(), QRectF(0, 0, width, height));
        ASSERT_NE(dynamic_cast<const platform::fx::StreamedPictureNode *>(streamed.node().get()), nullptr) << "read by rows";
        for (const QRect rect : {QRect(0, 1500, width, 500), QRect(100, 900, 2000, 700), QRect(0, 0, width, 1000),
                                 QRect(0, 1900, 300, 100), QRect(4000, 0, 300, height)}) {
            const std::optional<Buffer> read = RenderGraph::render(*streamed.node(), rect);
            const std::optional<Buffer> expected = RenderGraph::render(*whole.node(), rect);
            ASSERT_TRUE(read && expected);
            EXPECT_TRUE(same(*read, *expected)) << rect.x() << "," << rect.y() << " " << rect.width() << "x" << rect.height();
        }
    }
}

// A picture damaged past its header fails the render that reaches the damage, with an error,
// while the rows above it still render.
TEST(StreamedPicture, ADamagedLargePngFailsTheRenderThatReachesTheDamage)
{
    QTemporaryDir folder;
    const QString cut = cutWide(folder);
    ASSERT_FALSE(cut.isEmpty());
    const Image image = Image::fromFile(cut);
    ASSERT_FALSE(image.isNull()) << "its header is whole";
    platform::LogCapture log;
    EXPECT_TRUE(Context().createImage(image, QRectF(0, height - 100, width, 100), QImage::Format_RGBA8888).isNull() == false)
        << "the top rows are there";
    EXPECT_TRUE(Context().createImage(image, QRectF(0, 0, width, height), QImage::Format_RGBA8888).isNull());
    ASSERT_EQ(log.lines().size(), 1);
    EXPECT_TRUE(log.lines()[0].startsWith("Error: Could not read the picture " + cut + ", because it is damaged at row")) << log.lines()[0].toStdString();
}

// A render away from the window's thread that fails ends with why, the error it logged on its own
// thread, and with no picture; a line the window's thread logs meanwhile is not taken for it.
TEST(PictureRenderer, ARenderThatFailsEndsWithTheErrorItLogged)
{
    QTemporaryDir folder;
    const QString cut = cutWide(folder);
    ASSERT_FALSE(cut.isEmpty());
    platform::fx::PictureRenderer renderer;
    QSignalSpy finished(&renderer, &platform::fx::PictureRenderer::finished);
    QSignalSpy failed(&renderer, &platform::fx::PictureRenderer::failed);
    renderer.render(Image::fromFile(cut), QRectF(0, 0, width, height));
    platform::logError(QStringLiteral("Something else went wrong on the window's thread"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !renderer.isRendering(); }, 20000));
    QTest::qWait(50);
    EXPECT_EQ(finished.size(), 0);
    ASSERT_EQ(failed.size(), 1);
    const QString reason = failed.first().first().toString();
    EXPECT_TRUE(reason.startsWith("Could not read the picture " + cut + ", because it is damaged at row")) << reason.toStdString();
}
