#include "RQS-Kit/Foundation/QSImageMetadata.h"

#include "platform/foundation/Log.h"

#include <QColorSpace>
#include <QFile>
#include <QImage>
#include <QImageReader>

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

void readExif(const QString &path, QVariantMap &exif, QVariantMap &tiff)
{
    const std::unique_ptr<ExifLoader, decltype(&exif_loader_unref)> loader(exif_loader_new(), exif_loader_unref);
    if (!loader)
        return;
    exif_loader_write_file(loader.get(), QFile::encodeName(path).constData());
    const unsigned char *buffer = nullptr;
    unsigned int size = 0;
    exif_loader_get_buf(loader.get(), &buffer, &size);
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

} // namespace

QVariantMap read(const QString &path)
{
    QImageReader reader(path);
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
        platform::logWarning(QStringLiteral("Could not read the properties of %1, because %2").arg(path, reader.errorString()));
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
    readExif(path, exif, tiff);
    if (!exif.isEmpty())
        properties.insert(ExifDictionary, exif);
    properties.insert(TIFFDictionary, tiff);
    return properties;
}

} // namespace QSImageMetadata
