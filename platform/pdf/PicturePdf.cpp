#include "platform/pdf/PicturePdf.h"

#include "platform/pdf/JpegHeader.h"
#include "platform/pdf/PdfOperators.h"
#include "platform/pdf/PdfWriter.h"

#include <QPointF>
#include <QRectF>
#include <QString>

#include <qpdf/PDFVersion.hh>
#include <qpdf/QPDF.hh>

#include <zlib.h>

#include <memory>
#include <stdexcept>
#include <string>

namespace platform {

namespace {

std::string deflated(const QByteArray &raw)
{
    uLongf length = compressBound(static_cast<uLong>(raw.size()));
    std::string out(length, '\0');
    const int status = compress2(reinterpret_cast<Bytef *>(out.data()), &length,
                                 reinterpret_cast<const Bytef *>(raw.constData()),
                                 static_cast<uLong>(raw.size()), Z_DEFAULT_COMPRESSION);
    if (status != Z_OK)
        throw std::runtime_error("could not compress the picture");
    out.resize(length);
    return out;
}

QPDFObjectHandle imageStream(QPDF &pdf, const QSize &size, const char *colourSpace,
                             const std::string &data, const char *filter)
{
    QPDFObjectHandle stream = pdf.newStream();
    stream.replaceStreamData(data, QPDFObjectHandle::newName(filter), QPDFObjectHandle::newNull());
    QPDFObjectHandle dict = stream.getDict();
    dict.replaceKey("/Type", QPDFObjectHandle::newName("/XObject"));
    dict.replaceKey("/Subtype", QPDFObjectHandle::newName("/Image"));
    dict.replaceKey("/Width", QPDFObjectHandle::newInteger(size.width()));
    dict.replaceKey("/Height", QPDFObjectHandle::newInteger(size.height()));
    dict.replaceKey("/ColorSpace", QPDFObjectHandle::newName(colourSpace));
    dict.replaceKey("/BitsPerComponent", QPDFObjectHandle::newInteger(8));
    return stream;
}

// Where the image's unit square lands on a page of the given size once the picture is shown the
// way its metadata asks: mirrored, flipped, then turned a quarter clockwise, in that order.
QPointF placed(QPointF unit, QImageIOHandler::Transformations transformation, const QSizeF &page)
{
    double u = unit.x();
    double v = 1.0 - unit.y(); // image rows run downwards
    if (transformation & QImageIOHandler::TransformationMirror)
        u = 1.0 - u;
    if (transformation & QImageIOHandler::TransformationFlip)
        v = 1.0 - v;
    if (transformation & QImageIOHandler::TransformationRotate90) {
        const double turned = 1.0 - v;
        v = u;
        u = turned;
    }
    return {u * page.width(), (1.0 - v) * page.height()};
}

std::string number(double value) { return PdfOperators::number(value); }

// Throws unless a PDF reader takes a page of that size.
void checkSize(const QSizeF &page)
{
    for (double length : {page.width(), page.height()}) {
        if (!PdfOperators::isWritable(length) || length < PdfOperators::finest)
            throw std::range_error(QStringLiteral("a page of %1 x %2 points is not one that a PDF reader takes")
                                       .arg(page.width()).arg(page.height()).toStdString());
    }
}

std::string placement(QImageIOHandler::Transformations transformation, const QSizeF &page)
{
    const QPointF origin = placed({0, 0}, transformation, page);
    const QPointF s = placed({1, 0}, transformation, page) - origin;
    const QPointF t = placed({0, 1}, transformation, page) - origin;
    return "q " + number(s.x()) + " " + number(s.y()) + " " + number(t.x()) + " " + number(t.y())
        + " " + number(origin.x()) + " " + number(origin.y()) + " cm /Im0 Do Q\n";
}

QByteArray onePage(QPDF &pdf, QPDFObjectHandle image, const std::string &content,
                   const QSizeF &pointSize)
{
    QPDFObjectHandle xobjects = QPDFObjectHandle::newDictionary();
    xobjects.replaceKey("/Im0", image);
    QPDFObjectHandle resources = QPDFObjectHandle::newDictionary();
    resources.replaceKey("/XObject", xobjects);
    QPDFObjectHandle page = QPDFObjectHandle::newDictionary();
    page.replaceKey("/Type", QPDFObjectHandle::newName("/Page"));
    page.replaceKey("/MediaBox", PdfOperators::rectangle(QRectF(QPointF(0, 0), pointSize)));
    page.replaceKey("/Resources", resources);
    page.replaceKey("/Contents", pdf.newStream(content));
    pdf.addPage(pdf.makeIndirectObject(page), false);
    return PdfWriter::toBytes(pdf, PDFVersion(1, 4));
}

} // namespace

QByteArray PicturePdf::fromImage(const QImage &image, const QSizeF &pointSize)
{
    checkSize(pointSize);
    const QSize size = image.size();
    const bool grey = image.isGrayscale() && !image.hasAlphaChannel();
    QByteArray colours;
    QByteArray alphas;
    bool opaque = true;
    if (grey) {
        const QImage plane = image.convertToFormat(QImage::Format_Grayscale8);
        colours.reserve(qsizetype(size.width()) * size.height());
        for (int y = 0; y < size.height(); ++y)
            colours.append(reinterpret_cast<const char *>(plane.constScanLine(y)), size.width());
    } else {
        const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
        colours.reserve(qsizetype(size.width()) * size.height() * 3);
        alphas.reserve(qsizetype(size.width()) * size.height());
        for (int y = 0; y < size.height(); ++y) {
            const auto *row = reinterpret_cast<const QRgb *>(argb.constScanLine(y));
            for (int x = 0; x < size.width(); ++x) {
                colours.append(char(qRed(row[x]))).append(char(qGreen(row[x]))).append(char(qBlue(row[x])));
                alphas.append(char(qAlpha(row[x])));
                opaque = opaque && qAlpha(row[x]) == 255;
            }
        }
    }
    QPDF pdf;
    pdf.emptyPDF();
    QPDFObjectHandle stream = imageStream(pdf, size, grey ? "/DeviceGray" : "/DeviceRGB",
                                          deflated(colours), "/FlateDecode");
    if (!opaque)
        stream.getDict().replaceKey("/SMask", imageStream(pdf, size, "/DeviceGray",
                                                          deflated(alphas), "/FlateDecode"));
    return onePage(pdf, stream, placement({}, pointSize), pointSize);
}

QByteArray PicturePdf::fromJpeg(const QByteArray &jpeg, const JpegHeader &header,
                                QImageIOHandler::Transformations transformation,
                                const QSizeF &pointSize)
{
    checkSize(pointSize);
    QPDF pdf;
    pdf.emptyPDF();
    QPDFObjectHandle stream = imageStream(pdf, header.pixelSize,
                                          header.components == 1 ? "/DeviceGray" : "/DeviceRGB",
                                          jpeg.toStdString(), "/DCTDecode");
    return onePage(pdf, stream, placement(transformation, pointSize), pointSize);
}

} // namespace platform
