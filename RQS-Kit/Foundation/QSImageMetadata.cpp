#include "RQS-Kit/Foundation/QSImageMetadata.h"

#include "platform/foundation/Log.h"
#include "platform/foundation/PictureFileReader.h"
#include "platform/graphics/PngWriter.h"

#include <QBuffer>
#include <QColorSpace>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QtEndian>

#include <libexif/exif-data.h>
#include <libexif/exif-loader.h>

#include <cstring>
#include <memory>

namespace QSImageMetadata {

namespace {

constexpr double InchesPerMeter = 0.0254;

// Qt's text keys that stand for TIFF tags.
constexpr std::pair<const char *, const char *> TextTags[] = {
    {"Description", "ImageDescription"}, {"Author", "Artist"}, {"Copyright", "Copyright"}, {"Software", "Software"}};

// Exif orientation numbers in the order of Qt's transformation flags (mirror 1, flip 2, rotate 90 4).
constexpr int ExifOrientation[] = {1, 2, 4, 3, 6, 7, 5, 8};

QVariant number(const ExifEntry &entry, const unsigned char *at, ExifByteOrder order)
{
    const auto ratio = [](double numerator, double denominator) { return denominator == 0 ? QVariant() : QVariant(numerator / denominator); };
    switch (entry.format) {
    case EXIF_FORMAT_BYTE:
        return uint(*at);
    case EXIF_FORMAT_SBYTE:
        return int(static_cast<signed char>(*at));
    case EXIF_FORMAT_SHORT:
        return uint(exif_get_short(at, order));
    case EXIF_FORMAT_SSHORT:
        return int(exif_get_sshort(at, order));
    case EXIF_FORMAT_LONG:
        return uint(exif_get_long(at, order));
    case EXIF_FORMAT_SLONG:
        return int(exif_get_slong(at, order));
    case EXIF_FORMAT_RATIONAL: {
        const ExifRational value = exif_get_rational(at, order);
        return ratio(value.numerator, value.denominator);
    }
    case EXIF_FORMAT_SRATIONAL: {
        const ExifSRational value = exif_get_srational(at, order);
        return ratio(value.numerator, value.denominator);
    }
    default:
        return {};
    }
}

// Text for ASCII, a number or a list of numbers, else the raw bytes.
QVariant valueOf(const ExifEntry &entry, ExifByteOrder order)
{
    const unsigned size = exif_format_get_size(entry.format);
    if (!entry.data || entry.components == 0 || entry.size < entry.components * size)
        return {};
    const auto *bytes = reinterpret_cast<const char *>(entry.data);
    if (entry.format == EXIF_FORMAT_ASCII)
        return QString::fromLatin1(bytes, qsizetype(strnlen(bytes, entry.size)));
    QVariantList values;
    for (unsigned long index = 0; index < entry.components; ++index) {
        const QVariant value = number(entry, entry.data + index * size, order);
        if (!value.isValid())
            return QByteArray(bytes, qsizetype(entry.size));
        values.append(value);
    }
    return values.size() == 1 ? values.first() : QVariant(values);
}

void addDirectory(const ExifData &exif, ExifIfd ifd, QVariantMap &into)
{
    const ExifContent *content = exif.ifd[ifd];
    const ExifByteOrder order = exif_data_get_byte_order(const_cast<ExifData *>(&exif));
    for (unsigned index = 0; content && index < content->count; ++index) {
        const ExifEntry &entry = *content->entries[index];
        const char *name = exif_tag_get_name_in_ifd(entry.tag, ifd);
        const QVariant value = valueOf(entry, order);
        if (name && value.isValid())
            into.insert(QString::fromLatin1(name), value);
    }
}

const QByteArray PngSignature("\x89PNG\r\n\x1a\n", 8);
const QByteArray ExifHeader("Exif\0\0", 6);
constexpr qsizetype PngChunkOverhead = 12;

// The Exif block (with its "Exif" header) of a PNG's "eXIf" chunk, found before the pixels; empty
// when there is none or the chunks run past the end of the file.
QByteArray pngExif(QFile &file)
{
    if (!file.seek(0) || file.read(PngSignature.size()) != PngSignature)
        return {};
    for (;;) {
        const QByteArray head = file.read(8);
        if (head.size() != 8)
            return {};
        const quint32 length = qFromBigEndian<quint32>(head.constData());
        const QByteArray type = head.mid(4);
        if (type == "IDAT" || type == "IEND" || length > quint32(file.size() - file.pos()))
            return {};
        if (type == "eXIf") {
            const QByteArray data = file.read(length);
            return data.size() == qsizetype(length) ? ExifHeader + data : QByteArray();
        }
        if (!file.seek(file.pos() + length + 4))
            return {};
    }
}

// Hands the file to the loader until it has found the Exif block, as its reading of a file by name does.
void loadExif(ExifLoader &loader, QFile &file)
{
    if (!file.seek(0))
        return;
    unsigned char block[1024];
    for (qint64 count = file.read(reinterpret_cast<char *>(block), sizeof block); count > 0;
         count = file.read(reinterpret_cast<char *>(block), sizeof block)) {
        if (!exif_loader_write(&loader, block, unsigned(count)))
            return;
    }
}

void readExif(QFile &file, QVariantMap &exif, QVariantMap &tiff)
{
    const std::unique_ptr<ExifLoader, decltype(&exif_loader_unref)> loader(exif_loader_new(), exif_loader_unref);
    if (!loader)
        return;
    loadExif(*loader, file);
    const unsigned char *buffer = nullptr;
    unsigned int size = 0;
    exif_loader_get_buf(loader.get(), &buffer, &size);
    const QByteArray fromPng = buffer && size > 0 ? QByteArray() : pngExif(file);
    if (!fromPng.isEmpty()) {
        buffer = reinterpret_cast<const unsigned char *>(fromPng.constData());
        size = unsigned(fromPng.size());
    }
    if (!buffer || size == 0)
        return;
    const std::unique_ptr<ExifData, decltype(&exif_data_unref)> data(exif_data_new(), exif_data_unref);
    if (!data)
        return;
    // Following the Exif standard strictly would make up the tags it requires and the file lacks.
    exif_data_unset_option(data.get(), EXIF_DATA_OPTION_FOLLOW_SPECIFICATION);
    exif_data_load_data(data.get(), buffer, size);
    addDirectory(*data, EXIF_IFD_EXIF, exif);
    addDirectory(*data, EXIF_IFD_0, tiff);
}

// The Exif block (with its "Exif" header) that holds the orientation alone.
QByteArray exifWithOrientation(int orientation)
{
    const std::unique_ptr<ExifData, decltype(&exif_data_unref)> data(exif_data_new(), exif_data_unref);
    if (!data)
        return {};
    exif_data_unset_option(data.get(), EXIF_DATA_OPTION_FOLLOW_SPECIFICATION);
    exif_data_set_byte_order(data.get(), EXIF_BYTE_ORDER_MOTOROLA);
    ExifEntry *entry = exif_entry_new();
    if (!entry)
        return {};
    exif_content_add_entry(data->ifd[EXIF_IFD_0], entry);
    exif_entry_initialize(entry, EXIF_TAG_ORIENTATION);
    exif_entry_unref(entry);
    if (!entry->data)
        return {};
    exif_set_short(entry->data, EXIF_BYTE_ORDER_MOTOROLA, ExifShort(orientation));
    unsigned char *saved = nullptr;
    unsigned int size = 0;
    exif_data_save_data(data.get(), &saved, &size);
    const QByteArray block(reinterpret_cast<const char *>(saved), qsizetype(size));
    free(saved);
    return block.startsWith(ExifHeader) ? block : QByteArray();
}

// The Exif block goes after the JPEG's JFIF segment, or after the PNG's header chunk.
bool insertExif(QByteArray &encoded, const QByteArray &format, const QByteArray &exif)
{
    if (format == "png") {
        constexpr qsizetype afterHeader = 8 + PngChunkOverhead + 13;
        if (encoded.size() < afterHeader || encoded.mid(12, 4) != "IHDR")
            return false;
        encoded.insert(afterHeader, platform::PngWriter::chunk("eXIf", exif.mid(ExifHeader.size())));
        return true;
    }
    if (encoded.size() < 4 || uchar(encoded[0]) != 0xff || uchar(encoded[1]) != 0xd8 || exif.size() > 0xffff - 2)
        return false;
    qsizetype at = 2;
    if (uchar(encoded[2]) == 0xff && uchar(encoded[3]) == 0xe0 && encoded.size() >= 6)
        at = 4 + qFromBigEndian<quint16>(encoded.constData() + 4);
    QByteArray segment("\xff\xe1\0\0", 4);
    qToBigEndian(quint16(exif.size() + 2), segment.data() + 2);
    encoded.insert(at, segment + exif);
    return true;
}

// A top-level value, else the one of the TIFF dictionary.
QVariant metadataValue(const QVariantMap &metadata, const QString &key, const QString &tiffKey)
{
    const QVariant value = metadata.value(key);
    return value.isValid() ? value : metadata.value(TIFFDictionary).toMap().value(tiffKey);
}

} // namespace

QVariantMap read(const QString &path)
{
    platform::PictureFileReader picture(path);
    QImageReader &reader = picture.reader();
    reader.setAutoTransform(false);
    const int orientation = ExifOrientation[int(reader.transformation()) & 7];
    QVariantMap tiff;
    for (const auto &[key, tag] : TextTags) {
        const QString text = reader.text(QString::fromLatin1(key));
        if (!text.isEmpty())
            tiff.insert(QString::fromLatin1(tag), text);
    }
    const QImage image = reader.read();
    if (image.isNull()) {
        platform::logWarning(QStringLiteral("Could not read the properties of %1, because %2").arg(path, picture.errorString()));
        return {};
    }
    QVariantMap properties{{QStringLiteral("PixelWidth"), image.width()},
                           {QStringLiteral("PixelHeight"), image.height()},
                           {QStringLiteral("Orientation"), orientation}};
    if (image.colorSpace().isValid())
        properties.insert(QStringLiteral("ProfileName"), image.colorSpace().description());
    if (image.dotsPerMeterX() > 0 && image.dotsPerMeterY() > 0) {
        const double horizontal = image.dotsPerMeterX() * InchesPerMeter;
        const double vertical = image.dotsPerMeterY() * InchesPerMeter;
        properties.insert(QStringLiteral("DPIWidth"), horizontal);
        properties.insert(QStringLiteral("DPIHeight"), vertical);
        tiff.insert(QStringLiteral("XResolution"), horizontal);
        tiff.insert(QStringLiteral("YResolution"), vertical);
        tiff.insert(QStringLiteral("ResolutionUnit"), 2u); // inches
    }
    tiff.insert(QStringLiteral("Orientation"), orientation);
    QVariantMap exif;
    readExif(picture.file(), exif, tiff);
    // Qt reads no orientation from a PNG; its Exif chunk gives it.
    const int exifOrientation = tiff.value(QStringLiteral("Orientation")).toInt();
    if (orientation == 1 && exifOrientation >= 1 && exifOrientation <= 8)
        properties.insert(QStringLiteral("Orientation"), exifOrientation);
    if (!exif.isEmpty())
        properties.insert(ExifDictionary, exif);
    properties.insert(TIFFDictionary, tiff);
    return properties;
}

QByteArray encode(QImage picture, const QByteArray &format, const QVariantMap &metadata, QString *error)
{
    const double dpiWidth = metadataValue(metadata, QStringLiteral("DPIWidth"), QStringLiteral("XResolution")).toDouble();
    const double dpiHeight = metadataValue(metadata, QStringLiteral("DPIHeight"), QStringLiteral("YResolution")).toDouble();
    if (dpiWidth > 0 && dpiHeight > 0) {
        picture.setDotsPerMeterX(qRound(dpiWidth / InchesPerMeter));
        picture.setDotsPerMeterY(qRound(dpiHeight / InchesPerMeter));
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    const QString description = metadata.value(TIFFDictionary).toMap().value(QStringLiteral("ImageDescription")).toString();
    if (!description.isEmpty())
        writer.setText(QStringLiteral("Description"), description);
    if (!writer.write(picture)) {
        if (error)
            *error = writer.errorString();
        return {};
    }
    const int orientation = metadataValue(metadata, QStringLiteral("Orientation"), QStringLiteral("Orientation")).toInt();
    if (orientation > 1 && orientation <= 8 && !insertExif(bytes, format, exifWithOrientation(orientation)))
        platform::logWarning(QStringLiteral("The orientation %1 could not be written into the %2 picture")
                                 .arg(orientation).arg(QString::fromLatin1(format)));
    return bytes;
}

} // namespace QSImageMetadata
