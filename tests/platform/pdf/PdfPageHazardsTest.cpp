#include "platform/pdf/PdfPageHazards.h"

#include "support/HostilePdf.h"
#include "support/PdfFixture.h"

#include <qpdf/Buffer.hh>
#include <qpdf/QPDF.hh>

#include <gtest/gtest.h>

#include <optional>

using platform::PdfPageHazards;

namespace {

constexpr double pageArea = 612.0 * 792;
// A preview of 300 x 388 pixels, and a page at 1200 dpi.
constexpr double previewPixels = 300.0 * 388;
constexpr double finePixels = 10200.0 * 13200;

QString refusal(const QByteArray &pdf, double pixels)
{
    QPDF qpdf;
    qpdf.processMemoryFile("hazards", pdf.constData(), std::size_t(pdf.size()));
    return PdfPageHazards::of(qpdf.getAllPages().at(0), pageArea, double(pdf.size())).refusal(pixels);
}

// The page with its resources on the page tree's node instead, for the page to inherit.
QByteArray inherited(const QByteArray &pdf)
{
    return PdfFixture::rewritten(pdf, [](QPDF &qpdf) {
        QPDFObjectHandle page = qpdf.getAllPages().at(0);
        page.getKey("/Parent").replaceKey("/Resources", page.getKey("/Resources"));
        page.removeKey("/Resources");
    });
}

const QByteArray tallImage = HostilePdf::imageObject(1, 2147483647);
const QByteArray tallInline = "BI /W 1 /H 2147483647 /CS /G /BPC 8 ID " + QByteArray(16, '\x80') + " EI";

// The page's content stream deflated.
QByteArray deflated(const QByteArray &pdf)
{
    return PdfFixture::rewritten(pdf, [](QPDF &qpdf) {
        QPDFObjectHandle page = qpdf.getAllPages().at(0);
        QPDFObjectHandle contents = page.getKey("/Contents");
        const std::shared_ptr<Buffer> data = contents.getStreamData();
        const QByteArray plain(reinterpret_cast<const char *>(data->getBuffer()), qsizetype(data->getSize()));
        contents.replaceStreamData(qCompress(plain).mid(4).toStdString(), QPDFObjectHandle::newName("/FlateDecode"),
                                   QPDFObjectHandle::newNull());
    });
}
const QByteArray tallRefusal = "its image /Im0 declares 1 x 2147483647 pixels, more than any picture has";

struct Case
{
    const char *what;
    QByteArray pdf;
    double pixels;
    // Empty: the page is drawn.
    QString refused;
};

} // namespace

// A page is refused only for what would hold poppler in one drawing operation far beyond any
// budget: an image with an absurd side or pixel count, a large one whose data cannot hold what
// it declares, a tiling pattern repeating more cells than the drawing has pixels; wherever the
// page's drawing reaches it (forms, masks, patterns in patterns, Type 3 glyphs, annotations,
// resources inherited from the page tree). Large real pictures and fine patterns are drawn.
TEST(PdfPageHazards, OnlyDrawingsThatWouldRunAwayAreRefused)
{
    const Case cases[] = {
        {"the image that held poppler for minutes", HostilePdf::tallImage(), previewPixels, tallRefusal},
        {"a side beyond 2^26", HostilePdf::image(134217728, 1), previewPixels,
         "its image /Im0 declares 134217728 x 1 pixels, more than any picture has"},
        {"a side of 2^26 with data it cannot hold", HostilePdf::image(1, 67108864), previewPixels, {}},
        {"2^34 pixels and more", HostilePdf::image(131073, 131072, 16, "/DCTDecode"), previewPixels,
         "its image /Im0 declares 131073 x 131072 pixels, more than any picture has"},
        {"2^30 pixels and more, 16 bytes uncompressed", HostilePdf::image(40000, 30000), finePixels,
         "its image /Im0 declares 40000 x 30000 pixels, which its 16 bytes of data cannot hold"},
        {"2^30 pixels and more, 16 bytes deflated", HostilePdf::image(40000, 30000, 16, "/FlateDecode"), finePixels,
         "its image /Im0 declares 40000 x 30000 pixels, which its 16 bytes of data cannot hold"},
        {"2^30 pixels and more, through two filters", HostilePdf::image(40000, 30000, 16, "[/ASCII85Decode /FlateDecode]"),
         finePixels, "its image /Im0 declares 40000 x 30000 pixels, which its 16 bytes of data cannot hold"},
        {"2^30 pixels and more, deflated data that could hold them", HostilePdf::image(33000, 33000, 1060000, "/FlateDecode"),
         finePixels, {}},
        {"2^30 pixels and more as JPEG, whose blank runs cost nothing", HostilePdf::image(40000, 30000, 16, "/DCTDecode"),
         finePixels, {}},
        {"a large real picture's size without data", HostilePdf::image(8000, 8000), previewPixels, {}},
        {"the pattern that held poppler for hours", HostilePdf::finePattern(), finePixels,
         "its tiling pattern /P0 repeats its cell 4847040000 times, each smaller than a pixel"},
        {"cells of 0.1 points for a preview", HostilePdf::pattern(0.1), previewPixels,
         "its tiling pattern /P0 repeats its cell 48470400 times, each smaller than a pixel"},
        {"cells of 0.1 points at 1200 dpi, each a pixel", HostilePdf::pattern(0.1), finePixels, {}},
        {"cells of a point", HostilePdf::pattern(1), previewPixels, {}},
        {"cells of a point made a thousandth by the pattern's matrix",
         HostilePdf::page("<< /Pattern << /P0 5 0 R >> >>", "/Pattern cs /P0 scn 0 0 612 792 re f",
                          {HostilePdf::patternObject(1, "/Matrix [0.001 0 0 0.001 0 0]")}),
         finePixels, "its tiling pattern /P0 repeats its cell 484704000000 times, each smaller than a pixel"},
        {"a pattern of 0.01-point cells inside each cell of a pattern of 10 points",
         HostilePdf::page("<< /Pattern << /P0 5 0 R >> >>", "/Pattern cs /P0 scn 0 0 612 792 re f",
                          {HostilePdf::stream("/Type /Pattern /PatternType 1 /PaintType 1 /TilingType 1 /BBox [0 0 10 10] "
                                              "/XStep 10 /YStep 10 /Resources << /Pattern << /P1 6 0 R >> >>",
                                              "/Pattern cs /P1 scn 0 0 10 10 re f"),
                           HostilePdf::patternObject(0.01)}),
         finePixels, "its tiling pattern /P1 repeats its cell 4847040000 times, each smaller than a pixel"},
        {"the image in a form", HostilePdf::page("<< /XObject << /Fm0 5 0 R >> >>", "/Fm0 Do",
                                                 {HostilePdf::stream("/Type /XObject /Subtype /Form /BBox [0 0 612 792] "
                                                                     "/Resources << /XObject << /Im0 6 0 R >> >>",
                                                                     "/Im0 Do"),
                                                  tallImage}),
         previewPixels, tallRefusal},
        {"the image as another's soft mask",
         HostilePdf::page("<< /XObject << /Im1 5 0 R >> >>", "/Im1 Do",
                          {HostilePdf::stream("/Type /XObject /Subtype /Image /Width 2 /Height 2 /ColorSpace /DeviceGray "
                                              "/BitsPerComponent 8 /SMask 6 0 R",
                                              "\x80\x80\x80\x80"),
                           tallImage}),
         previewPixels, "its image /Im1's mask declares 1 x 2147483647 pixels, more than any picture has"},
        {"the image in a Type 3 font's glyphs",
         HostilePdf::page("<< /Font << /T3 5 0 R >> >>", "BT /T3 12 Tf (a) Tj ET",
                          {"<< /Type /Font /Subtype /Type3 /FontBBox [0 0 1 1] /FontMatrix [1 0 0 1 0 0] /CharProcs << /a 6 0 R >> "
                           "/Encoding << /Differences [97 /a] >> /FirstChar 97 /LastChar 97 /Widths [1] "
                           "/Resources << /XObject << /Im0 7 0 R >> >> >>",
                           HostilePdf::stream({}, "1 0 0 0 1 1 d1 /Im0 Do"), tallImage}),
         previewPixels, tallRefusal},
        {"the image in an annotation's appearance",
         HostilePdf::page("<< >>", "",
                          {"<< /Type /Annot /Subtype /Square /Rect [0 0 100 100] /AP << /N 6 0 R >> >>",
                           HostilePdf::stream("/Type /XObject /Subtype /Form /BBox [0 0 100 100] /Resources << /XObject << /Im0 7 0 R >> >>",
                                              "/Im0 Do"),
                           tallImage},
                          "/Annots [5 0 R]"),
         previewPixels, tallRefusal},
        {"the image among resources the page inherits", inherited(HostilePdf::tallImage()), previewPixels, tallRefusal},
        {"the image placed inline", HostilePdf::page("<< >>", "q 612 0 0 792 0 0 cm " + tallInline + " Q"), previewPixels,
         "its inline image declares 1 x 2147483647 pixels, more than any picture has"},
        {"the image placed inline in deflated content, its names in full",
         deflated(HostilePdf::page("<< >>", "BI /Width 1 /Height 2147483647 /ColorSpace /DeviceGray /BitsPerComponent 8 ID "
                                                + QByteArray(16, '\x80') + " EI")),
         previewPixels, "its inline image declares 1 x 2147483647 pixels, more than any picture has"},
        {"the image placed inline in a form", HostilePdf::page("<< /XObject << /Fm0 5 0 R >> >>", "/Fm0 Do",
                                                               {HostilePdf::stream("/Type /XObject /Subtype /Form /BBox [0 0 612 792]", tallInline)}),
         previewPixels, "its inline image declares 1 x 2147483647 pixels, more than any picture has"},
        {"2^30 pixels and more inline, deflated, in 22 bytes",
         HostilePdf::page("<< >>", "BI /W 40000 /H 30000 /CS /G /BPC 8 /F /Fl ID " + QByteArray(16, '\x80') + " EI Q"), finePixels,
         "its inline image declares 40000 x 30000 pixels, which its 22 bytes of data cannot hold"},
        {"a small image placed inline, and BI and ID in a text",
         HostilePdf::page("<< >>", "BT (BI /W 1 /H 2147483647 ID) Tj ET BI /W 2 /H 2 /CS /G /BPC 8 ID \x80\x80\x80\x80 EI"), previewPixels, {}},
        {"a form that draws itself", HostilePdf::page("<< /XObject << /Fm0 5 0 R >> >>", "/Fm0 Do",
                                                      {HostilePdf::stream("/Type /XObject /Subtype /Form /BBox [0 0 612 792] "
                                                                          "/Resources << /XObject << /Fm0 5 0 R >> >>",
                                                                          "/Fm0 Do")}),
         previewPixels, {}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(refusal(c.pdf, c.pixels), c.refused) << c.what;
}

// Numbers that are no numbers, sizes that are missing, and resources of the wrong kind refuse
// nothing and throw nothing: poppler meets them as it can.
TEST(PdfPageHazards, WhatCannotBeReadRefusesNothing)
{
    const QByteArray odd[] = {
        HostilePdf::page("<< /XObject << /Im0 5 0 R >> >>", "/Im0 Do",
                         {HostilePdf::stream("/Subtype /Image /Width (wide) /Height 2147483647", "x")}),
        HostilePdf::page("<< /XObject << /Im0 5 0 R >> >>", "/Im0 Do", {HostilePdf::stream("/Subtype /Image /Height 2147483647", "x")}),
        HostilePdf::page("<< /XObject [5 0 R] /Pattern 7 /Font (none) >>", "", {HostilePdf::stream({}, {})}),
        HostilePdf::page("<< /Pattern << /P0 5 0 R >> >>", "",
                         {HostilePdf::stream("/PatternType 1 /BBox [0 0 1 1] /XStep 0 /YStep 1 /Resources << >>", {})}),
        HostilePdf::page("<< /Pattern << /P0 5 0 R >> >>", "", {HostilePdf::patternObject(1, "/Matrix [0 0 0 0 0 0]")}),
        HostilePdf::page("9", "", {}, "/Annots 7"),
    };
    for (const QByteArray &pdf : odd)
        EXPECT_EQ(refusal(pdf, previewPixels), QString()) << pdf.toStdString();
}
