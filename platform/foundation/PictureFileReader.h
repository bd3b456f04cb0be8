#pragma once

#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QString>

namespace platform {

// Qt's picture reader over a file a caller names, opened as RegularFile opens it: a pipe, a device
// or a folder is refused before Qt reads anything. Qt is handed the opened file, whose name it no
// longer knows: the format is taken from the file's content.
class PictureFileReader
{
public:
    explicit PictureFileReader(const QString &path);
    PictureFileReader(const PictureFileReader &) = delete;
    PictureFileReader &operator=(const PictureFileReader &) = delete;

    // False when the file was refused; the reader then has no device and reads nothing.
    bool isOpen() const;
    QImageReader &reader();
    // The opened file, for what else is read of it.
    QFile &file();
    // Why the file was refused, else why the reader failed.
    QString errorString() const;

    // The picture as it is stored (not turned as its file may say, as QImage reads a file); null
    // when there is none, with a "Warning: " line when the file could not be opened.
    static QImage read(const QString &path);

private:
    QFile m_file;
    QImageReader m_reader;
    QString m_refusal;
};

} // namespace platform
