#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QVariantMap>

// The properties of the first picture in a file, keyed by their Exif and TIFF tag names:
// "PixelWidth", "PixelHeight", "DPIWidth", "DPIHeight", "Orientation" (1-8), "ProfileName" (the
// colour space), and the dictionaries ExifDictionary (the Exif directory) and TIFFDictionary (the
// first image directory; resolution, orientation and text such as "ImageDescription" also from
// files without Exif). ExifDictionary is left out when the file has no Exif directory.
namespace QSImageMetadata {

inline const QString ExifDictionary = QStringLiteral("{Exif}");
inline const QString TIFFDictionary = QStringLiteral("{TIFF}");

// Empty, with a warning, when the file holds no picture that can be read. A PNG's Exif chunk
// ("eXIf") is read as a JPEG's Exif segment is.
QVariantMap read(const QString &path);

// The picture encoded as format ("jpeg" or "png") with the properties of the metadata, given as
// read() answers them: "Orientation" (1-8, as an Exif segment or chunk), "DPIWidth" and
// "DPIHeight" (the file's resolution), and TIFFDictionary's "ImageDescription" (the file's text);
// TIFFDictionary's "Orientation", "XResolution" and "YResolution" stand in for missing top-level
// ones. Empty, with the reason in error, when the picture cannot be encoded.
QByteArray encode(QImage picture, const QByteArray &format, const QVariantMap &metadata, QString *error = nullptr);

} // namespace QSImageMetadata
