#include "platform/GraphicsContextScope.h"
#include "platform/Log.h"
#include "platform/PainterGraphicsContext.h"
#include "platform/PdfDocument.h"

#include "support/PdfFixture.h"
#include "support/PixelProbe.h"

#include <QPainter>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <thread>

using platform::GraphicsContext;
using platform::PainterGraphicsContext;
using platform::PdfDocument;
using platform::PdfPage;

namespace {

const QColor marker(255, 0, 0);

PdfPage fixturePage(int rotate = 0)
{
    QList<PdfFixturePage> pages = PdfFixture::numbered(1);
    pages[0].rotate = rotate;
    return *PdfDocument::fromData(PdfFixture::pages(pages), "fixture")->page(0);
}

QImage drawn(const QSize &size, const std::function<void(GraphicsContext &)> &draw)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    PainterGraphicsContext context(&painter, size.height());
    draw(context);
    return image;
}

struct Probe { QPoint at; QColor colour; };

void expectPixels(const QImage &image, const QList<Probe> &probes)
{
    for (const Probe &probe : probes)
        EXPECT_TRUE(PixelProbe::isNear(image, probe.at, probe.colour))
            << probe.at.x() << "," << probe.at.y() << " is " << PixelProbe::describe(image, probe.at).toStdString();
}

} // namespace

TEST(PainterGraphicsContext, DrawsThePageInTheUserSpaceWithItsLowerLeftCornerAtTheOrigin)
{
    const PdfPage page = fixturePage();
    const PdfPage turned = fixturePage(90);
    const QColor fill = PdfFixture::colourOf(1);
    const auto none = [](GraphicsContext &) {};
    struct Case { const char *name; QSize size; const PdfPage *page; std::function<void(GraphicsContext &)> transform;
                  QList<Probe> probes; };
    const QList<Case> cases{
        {"as it is", {200, 300}, &page, none, {{{5, 295}, marker}, {{45, 255}, marker}, {{55, 245}, fill}, {{195, 5}, fill}}},
        {"turned by its own rotation", {300, 200}, &turned, none, {{{5, 5}, marker}, {{295, 195}, fill}}},
        {"translate", {300, 400}, &page, [](GraphicsContext &c) { c.translate(100, 100); },
         {{{105, 295}, marker}, {{95, 305}, Qt::white}, {{295, 105}, fill}}},
        {"scale", {100, 150}, &page, [](GraphicsContext &c) { c.scale(0.5, 0.5); }, {{{5, 145}, marker}, {{30, 120}, fill}}},
        {"counter-clockwise quarter turn", {300, 200}, &page,
         [](GraphicsContext &c) {
             c.translate(300, 0);
             c.rotate(M_PI / 2);
         },
         {{{295, 195}, marker}, {{5, 5}, fill}}},
        {"half turn about the centre", {200, 300}, &page,
         [](GraphicsContext &c) {
             c.translate(100, 150);
             c.rotate(M_PI);
             c.translate(-100, -150);
         },
         {{{195, 5}, marker}, {{5, 295}, fill}}},
        {"saved state comes back", {200, 300}, &page,
         [](GraphicsContext &c) {
             c.saveGState();
             c.translate(500, 500);
             c.restoreGState();
         },
         {{{5, 295}, marker}}},
        // Fifty times enlarged the whole page would be 10000 x 15000 pixels; only 100 x 100 are seen.
        {"enlarged middle", {100, 100}, &page,
         [](GraphicsContext &c) {
             c.scale(50, 50);
             c.translate(-100, -100);
         },
         {{{0, 0}, fill}, {{99, 99}, fill}}},
        {"enlarged marker", {100, 100}, &page,
         [](GraphicsContext &c) {
             c.scale(50, 50);
             c.translate(-1, -1);
         },
         {{{0, 0}, marker}, {{99, 99}, marker}}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        expectPixels(drawn(c.size, [&](GraphicsContext &context) {
                         c.transform(context);
                         context.drawPdfPage(*c.page);
                     }),
                     c.probes);
    }
}

TEST(PainterGraphicsContext, GivesThePainterItsStateBack)
{
    QImage image(10, 10, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    painter.translate(3, 4);
    const QTransform before = painter.transform();
    platform::LogCapture log;
    {
        PainterGraphicsContext context(&painter, 10);
        context.saveGState();
        context.scale(2, 2);
        context.restoreGState();
        context.restoreGState();
        context.saveGState();
        context.rotate(1);
    }
    EXPECT_EQ(painter.transform(), before);
    EXPECT_EQ(log.lines(), QStringList{"Warning: Graphics state restored more often than saved"});
}

TEST(GraphicsContext, CurrentContextIsPerThreadAndScoped)
{
    QImage image(10, 10, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    PainterGraphicsContext outer(&painter, 10);
    PainterGraphicsContext inner(&painter, 10);
    EXPECT_EQ(GraphicsContext::current(), nullptr);
    {
        platform::GraphicsContextScope first(&outer);
        {
            platform::GraphicsContextScope second(&inner);
            EXPECT_EQ(GraphicsContext::current(), &inner);
            GraphicsContext *elsewhere = &inner;
            std::thread([&] { elsewhere = GraphicsContext::current(); }).join();
            EXPECT_EQ(elsewhere, nullptr);
        }
        EXPECT_EQ(GraphicsContext::current(), &outer);
    }
    EXPECT_EQ(GraphicsContext::current(), nullptr);
}
