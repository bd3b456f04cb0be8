#include "platform/graphics/PdfGraphicsContext.h"
#include "platform/pdf/PdfRectangles.h"

#include "support/PdfFixture.h"

#include <QBuffer>

#include <gtest/gtest.h>
#include <qpdf/QPDF.hh>

namespace {

QRectF rectOf(QPDFObjectHandle array)
{
    const QPDFObjectHandle::Rectangle r = array.getArrayAsRectangle();
    return QRectF(r.llx, r.lly, r.urx - r.llx, r.ury - r.lly);
}

} // namespace

// One array for each distinct box, handed out again for the same box.
TEST(PdfRectangles, OneArrayPerDistinctBox)
{
    platform::PdfRectangles rectangles;
    const QPDFObjectHandle a = rectangles.of(QRectF(0, 0, 595.3, 841.9));
    EXPECT_TRUE(rectangles.of(QRectF(0, 0, 595.3, 841.9)).isSameObjectAs(a));
    const QPDFObjectHandle b = rectangles.of(QRectF(10, 20, 30, 40));
    EXPECT_FALSE(b.isSameObjectAs(a));
    EXPECT_EQ(rectOf(a), QRectF(0, 0, 595.3, 841.9));
    EXPECT_EQ(rectOf(b), QRectF(10, 20, 30, 40));
}

// Sides and forms that share a box each carry it in the written file, where qpdf finds no fault.
TEST(PdfRectangles, SharedBoxesAreWrittenWhereverTheyAreNamed)
{
    const QList<platform::PdfPage> pages = PdfFixture::pdfPages(PdfFixture::pages(PdfFixture::numbered(4)));
    platform::PdfGraphicsContext context;
    for (int side = 0; side < 3; ++side) {
        context.beginPage(side == 2 ? QSizeF(300, 200) : QSizeF(400, 300));
        for (const platform::PdfPage &page : pages)
            context.drawPdfPage(page);
    }
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(context.write(buffer));
    QPDF read;
    read.processMemoryFile("written", buffer.data().constData(), std::size_t(buffer.data().size()));
    std::vector<QPDFObjectHandle> sides = read.getAllPages();
    ASSERT_EQ(sides.size(), 3u);
    EXPECT_EQ(rectOf(sides[0].getKey("/MediaBox")), QRectF(0, 0, 400, 300));
    EXPECT_EQ(rectOf(sides[1].getKey("/MediaBox")), QRectF(0, 0, 400, 300));
    EXPECT_EQ(rectOf(sides[2].getKey("/MediaBox")), QRectF(0, 0, 300, 200));
    int forms = 0;
    for (auto &[name, form] : sides[0].getKey("/Resources").getKey("/XObject").ditems()) {
        ++forms;
        // Forms are named in the order their pages were first drawn.
        const int index = std::stoi(name.substr(3)) - 1;
        ASSERT_TRUE(index >= 0 && index < pages.size()) << name;
        EXPECT_EQ(rectOf(form.getDict().getKey("/BBox")), pages[index].cropBox()) << name;
    }
    EXPECT_EQ(forms, 4);
    EXPECT_FALSE(read.anyWarnings());
}
