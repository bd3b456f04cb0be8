#pragma once

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

// Empty, with a warning, when the file holds no picture that can be read.
QVariantMap read(const QString &path);

} // namespace QSImageMetadata
