#pragma once

// Files the bench tools write, in full or not at all, with Qt alone: the tools that draw the
// shipped resources link nothing else.
#include <QBuffer>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QSaveFile>

#include <cstdio>

namespace bench {

// Every step checked: QSaveFile::commit() alone, like QImage::save, answers true when a full disk
// took none of a few bytes still in the write buffer. False after an "Error: " line.
inline bool writeFile(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush() && file.commit())
        return true;
    std::fprintf(stderr, "Error: Could not write %s, because %s\n", qPrintable(path), qPrintable(file.errorString()));
    return false;
}

// In the format given, else the one the name ends in.
inline bool writePicture(const QImage &picture, const QString &path, const char *format = nullptr, int quality = -1)
{
    QBuffer encoded;
    encoded.open(QIODevice::WriteOnly);
    QImageWriter writer(&encoded, format ? QByteArray(format) : QFileInfo(path).suffix().toLatin1());
    writer.setQuality(quality);
    if (writer.write(picture))
        return writeFile(path, encoded.data());
    std::fprintf(stderr, "Error: Could not write %s, because %s\n", qPrintable(path), qPrintable(writer.errorString()));
    return false;
}

} // namespace bench
