#include "PdfFixture.h"

#include "platform/pdf/PdfDocument.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>
#include <poppler-qt6.h>

#include <qpdf/Buffer.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageObjectHelper.hh>
#include <qpdf/QPDFWriter.hh>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <functional>
#include <memory>
#include <string>

namespace {

std::string num(double value) { return QByteArray::number(value, 'f', 3).toStdString(); }

std::string rgb(const QColor &colour)
{
    return num(colour.redF()) + " " + num(colour.greenF()) + " " + num(colour.blueF());
}

QPDFObjectHandle box(const QRectF &r)
{
    return QPDFObjectHandle::newArray(QPDFObjectHandle::Rectangle(r.left(), r.top(), r.right(), r.bottom()));
}

const char *const FontResources = "<< /Font << /F1 << /Type /Font /Subtype /Type1 /BaseFont /Helvetica >> >> >>";

std::string contentOf(const PdfFixturePage &page)
{
    const QRectF media(QPointF(0, 0), page.mediaSize);
    const QRectF crop = page.cropBox.isEmpty() ? media : page.cropBox;
    const double side = std::min(crop.width(), crop.height()) / 4;
    const double fontSize = std::max(1.0, side / 2);
    return "q " + rgb(page.fill) + " rg 0 0 " + num(media.width()) + " " + num(media.height()) + " re f Q\n"
        + "q " + rgb(page.marker) + " rg " + num(crop.left()) + " " + num(crop.top()) + " " + num(side) + " "
        + num(side) + " re f Q\n" + "BT /F1 " + num(fontSize) + " Tf 0 g " + num(crop.center().x() - fontSize)
        + " " + num(crop.center().y()) + " Td (Page " + std::to_string(page.number) + ") Tj ET\n";
}

QByteArray written(QPDF &pdf, const std::function<void(QPDFWriter &)> &configure = {})
{
    QPDFWriter writer(pdf);
    writer.setOutputMemory();
    if (configure)
        configure(writer);
    writer.write();
    const std::shared_ptr<Buffer> buffer = writer.getBufferSharedPointer();
    return QByteArray(reinterpret_cast<const char *>(buffer->getBuffer()), qsizetype(buffer->getSize()));
}

void appendKid(QPDFObjectHandle parent, QPDFObjectHandle kid, int pages)
{
    parent.getKey("/Kids").appendItem(kid);
    parent.replaceKey("/Count", QPDFObjectHandle::newInteger(parent.getKey("/Count").getIntValue() + pages));
    kid.replaceKey("/Parent", parent);
}

// Builds the page tree by hand: qpdf's own page helpers would push inherited attributes down.
void build(QPDF &pdf, const QList<PdfFixturePage> &pages)
{
    pdf.emptyPDF();
    QPDFObjectHandle root = pdf.getRoot().getKey("/Pages");
    QPDFObjectHandle run;
    for (const PdfFixturePage &described : pages) {
        QPDFObjectHandle page = pdf.makeIndirectObject(QPDFObjectHandle::newDictionary());
        page.replaceKey("/Type", QPDFObjectHandle::newName("/Page"));
        page.replaceKey("/Contents", pdf.newStream(contentOf(described)));
        if (!described.cropBox.isEmpty())
            page.replaceKey("/CropBox", box(described.cropBox));
        QPDFObjectHandle holder = page;
        if (described.inherited) {
            if (!run.isInitialized()) {
                run = pdf.makeIndirectObject(QPDFObjectHandle::parse("<< /Type /Pages /Kids [] /Count 0 >>"));
                appendKid(root, run, 0);
                holder = run;
            } else {
                holder = QPDFObjectHandle();
            }
            appendKid(run, page, 1);
            root.replaceKey("/Count", QPDFObjectHandle::newInteger(root.getKey("/Count").getIntValue() + 1));
        } else {
            run = QPDFObjectHandle();
            appendKid(root, page, 1);
        }
        if (holder.isInitialized()) {
            holder.replaceKey("/MediaBox", box(QRectF(QPointF(0, 0), described.mediaSize)));
            holder.replaceKey("/Resources", QPDFObjectHandle::parse(FontResources));
            if (described.rotate != 0)
                holder.replaceKey("/Rotate", QPDFObjectHandle::newInteger(described.rotate));
        }
    }
}

} // namespace

QList<PdfFixturePage> PdfFixture::numbered(int count)
{
    QList<PdfFixturePage> pages;
    for (int number = 1; number <= count; ++number) {
        PdfFixturePage page;
        page.number = number;
        page.mediaSize = number % 2 == 1 ? QSizeF(200, 300) : QSizeF(300, 200);
        page.fill = colourOf(number);
        pages.append(page);
    }
    return pages;
}

QColor PdfFixture::colourOf(int number)
{
    static const QList<QColor> palette{QColor(0, 0, 255), QColor(0, 160, 0), QColor(255, 200, 0),
                                       QColor(0, 200, 200), QColor(160, 0, 160), QColor(128, 128, 128)};
    return palette.at((number - 1) % palette.size());
}

QByteArray PdfFixture::pages(const QList<PdfFixturePage> &pages)
{
    QPDF pdf;
    build(pdf, pages);
    return written(pdf);
}

QByteArray PdfFixture::picturesOnly(const QList<QColor> &colours)
{
    QPDF pdf;
    pdf.emptyPDF();
    for (const QColor &colour : colours) {
        std::string pixels;
        for (int i = 0; i < 20 * 30; ++i)
            pixels += {char(colour.red()), char(colour.green()), char(colour.blue())};
        QPDFObjectHandle image = pdf.newStream(pixels);
        image.replaceDict(QPDFObjectHandle::parse(
            "<< /Type /XObject /Subtype /Image /Width 20 /Height 30 /ColorSpace /DeviceRGB /BitsPerComponent 8 >>"));
        QPDFObjectHandle page = QPDFObjectHandle::parse(
            "<< /Type /Page /MediaBox [0 0 200 300] /Resources << /XObject << >> >> >>");
        page.getKey("/Resources").getKey("/XObject").replaceKey("/Im0", image);
        page.replaceKey("/Contents", pdf.newStream("q 200 0 0 300 0 0 cm /Im0 Do Q\n"));
        pdf.addPage(pdf.makeIndirectObject(page), false);
    }
    return written(pdf);
}

QByteArray PdfFixture::encrypted(const QList<PdfFixturePage> &pages, const QByteArray &userPassword,
                                 const QByteArray &ownerPassword)
{
    QPDF pdf;
    build(pdf, pages);
    return written(pdf, [&](QPDFWriter &writer) {
        writer.setR6EncryptionParameters(userPassword.constData(), ownerPassword.constData(), true, true,
                                         true, true, true, true, qpdf_r3p_full, true);
    });
}

QByteArray PdfFixture::rewritten(const QByteArray &bytes, const std::function<void(QPDF &)> &change)
{
    QPDF pdf;
    pdf.processMemoryFile("fixture", bytes.constData(), std::size_t(bytes.size()));
    change(pdf);
    return written(pdf);
}

QByteArray PdfFixture::withPageTree(const QByteArray &bytes, const PdfFixtureTree &tree)
{
    return rewritten(bytes, [&](QPDF &pdf) {
        const std::vector<QPDFObjectHandle> pages = pdf.getAllPages();
        std::function<std::pair<QPDFObjectHandle, int>(const PdfFixtureTree &, QPDFObjectHandle)> build;
        build = [&](const PdfFixtureTree &node, QPDFObjectHandle parent) -> std::pair<QPDFObjectHandle, int> {
            if (node.page >= 0) {
                QPDFObjectHandle page = pages.at(std::size_t(node.page));
                page.replaceKey("/Parent", parent);
                return {page, 1};
            }
            QPDFObjectHandle made = pdf.makeIndirectObject(QPDFObjectHandle::parse("<< /Type /Pages >>"));
            QPDFObjectHandle kids = QPDFObjectHandle::newArray();
            int held = 0;
            for (const PdfFixtureTree &kid : node.kids) {
                const auto [object, count] = build(kid, made);
                kids.appendItem(object);
                held += count;
            }
            made.replaceKey("/Kids", kids);
            made.replaceKey("/Count", QPDFObjectHandle::newInteger(node.count >= 0 ? node.count : held));
            if (!parent.isNull())
                made.replaceKey("/Parent", parent);
            return {made, held};
        };
        pdf.getRoot().replaceKey("/Pages", build(tree, QPDFObjectHandle::newNull()).first);
    });
}

QList<double> PdfFixture::contentNumbers(const QByteArray &bytes, int page)
{
    struct Numbers : QPDFObjectHandle::ParserCallbacks
    {
        void handleObject(QPDFObjectHandle object) override
        {
            if (object.isNumber())
                values.append(object.getNumericValue());
        }
        void handleEOF() override {}
        QList<double> values;
    } numbers;
    QPDF pdf;
    pdf.setSuppressWarnings(true);
    pdf.processMemoryFile("content", bytes.constData(), std::size_t(bytes.size()));
    EXPECT_NO_THROW(QPDFPageObjectHelper(pdf.getAllPages().at(std::size_t(page))).parseContents(&numbers));
    EXPECT_FALSE(pdf.anyWarnings());
    return numbers.values;
}

QByteArray PdfFixture::splitContents(const QByteArray &bytes)
{
    return rewritten(bytes, [](QPDF &pdf) {
        for (QPDFObjectHandle page : pdf.getAllPages()) {
            const std::shared_ptr<Buffer> data = page.getKey("/Contents").getStreamData(qpdf_dl_generalized);
            const std::string content(reinterpret_cast<const char *>(data->getBuffer()), data->getSize());
            const std::size_t cut = content.find(" re f") + 3;
            QPDFObjectHandle parts = QPDFObjectHandle::newArray();
            parts.appendItem(pdf.newStream(content.substr(0, cut)));
            parts.appendItem(pdf.newStream(content.substr(cut + 1)));
            page.replaceKey("/Contents", parts);
        }
    });
}

QByteArray PdfFixture::wrongObjectCount(const QByteArray &bytes)
{
    QByteArray joined = bytes;
    const qsizetype size = joined.lastIndexOf("/Size ") + 6;
    qsizetype end = size;
    while (end < joined.size() && std::isdigit(static_cast<unsigned char>(joined.at(end))))
        ++end;
    return joined.replace(size, end - size, "3");
}

QByteArray PdfFixture::unreadablePage(const QByteArray &bytes, int page)
{
    QByteArray damaged = rewritten(bytes, [page](QPDF &pdf) {
        QPDFObjectHandle target = pdf.getAllPages().at(std::size_t(page));
        QPDFObjectHandle contents = target.getKey("/Contents");
        contents.replaceStreamData("not compressed at all", QPDFObjectHandle::newName("/FlateDecode"), QPDFObjectHandle::newNull());
    });
    const qsizetype at = damaged.lastIndexOf("startxref") + 10;
    return damaged.replace(at, damaged.indexOf('\n', at) - at, "17");
}

QString PdfFixture::write(const QString &folder, const QString &name, const QByteArray &bytes)
{
    return write(folder + QLatin1Char('/') + name, bytes);
}

QString PdfFixture::write(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return {};
    return path;
}

QString PdfFixture::writeCutOff(const QString &folder, const QString &name, qint64 size)
{
    const QString path = write(folder, name, "%PDF-1.4\n%\xe2\xe3\xcf\xd3\n");
    return !path.isEmpty() && QFile::resize(path, size) ? path : QString();
}

QByteArray PdfFixture::read(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QImage PdfFixture::rendered(const QByteArray &pdf, int page, double dpi)
{
    const std::unique_ptr<Poppler::Document> document = Poppler::Document::loadFromData(pdf);
    const std::unique_ptr<Poppler::Page> shown = document ? document->page(page) : nullptr;
    return shown ? shown->renderToImage(dpi, dpi) : QImage();
}

QImage PdfFixture::renderedTurned(const QByteArray &pdf, int page, const QSize &pixels, int quarterTurns)
{
    const std::unique_ptr<Poppler::Document> document = Poppler::Document::loadFromData(pdf);
    const std::unique_ptr<Poppler::Page> shown = document ? document->page(page) : nullptr;
    if (!shown)
        return QImage();
    document->setRenderHint(Poppler::Document::Antialiasing);
    document->setRenderHint(Poppler::Document::TextAntialiasing);
    const int turns = ((quarterTurns % 4) + 4) % 4;
    const QSizeF size = turns % 2 == 0 ? shown->pageSizeF() : shown->pageSizeF().transposed();
    // Poppler turns clockwise, and its resolutions are those of the turned picture.
    static constexpr Poppler::Page::Rotation clockwise[] = {Poppler::Page::Rotate0, Poppler::Page::Rotate270,
                                                            Poppler::Page::Rotate180, Poppler::Page::Rotate90};
    return shown->renderToImage(72.0 * pixels.width() / size.width(), 72.0 * pixels.height() / size.height(), 0, 0,
                                pixels.width(), pixels.height(), clockwise[turns])
        .convertToFormat(QImage::Format_RGB888);
}

QImage PdfFixture::rasterized(platform::PdfPageRasterizer &rasterizer, const platform::PdfPage &page, const QSize &pixels,
                              int quarterTurns, int bandRows, int *bands)
{
    QImage picture(pixels, QImage::Format_RGB888);
    int top = 0;
    const platform::PdfDrawingOutcome drawn = rasterizer.draw(page, pixels, quarterTurns, bandRows, [&](const uchar *first, qsizetype bytesPerRow, int count) {
        for (int y = 0; y < count; ++y)
            std::memcpy(picture.scanLine(top + y), first + bytesPerRow * y, std::size_t(pixels.width()) * 3);
        top += count;
        if (bands)
            ++*bands;
        return true;
    });
    return drawn.isWhole() && top == pixels.height() ? picture : QImage();
}

QString PdfFixture::text(const QByteArray &pdf, int page, const QRectF &rect)
{
    const std::unique_ptr<Poppler::Document> document = Poppler::Document::loadFromData(pdf);
    const std::unique_ptr<Poppler::Page> shown = document ? document->page(page) : nullptr;
    return shown ? shown->text(rect) : QString();
}

QList<platform::PdfPage> PdfFixture::pdfPages(const QByteArray &pdf)
{
    const std::optional<platform::PdfDocument> document = platform::PdfDocument::fromData(pdf, QStringLiteral("fixture"));
    QList<platform::PdfPage> pages;
    for (int i = 0; document && i < document->pageCount(); ++i)
        pages.append(*document->page(i));
    return pages;
}
