#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QTemporaryDir>

#include <memory>
#include <optional>

namespace platform {

class InterfaceFilePlaces;

// The pictures and icons an interface file names, handed to Qt's loader as copies of our own: each
// is read through RegularFile (a regular file only) into a private folder, with its versions for
// screens of a higher resolution, and the file is given to the loader naming the copies. Qt then
// opens no file the interface file names: a pipe put in a picture's place after the file was
// checked held the loader for ever. Qt reads an SVG icon again when it draws it, so the copies
// live as long as this object.
class InterfacePictures
{
public:
    // What the pictures of one file may hold in all; no shipped file names any.
    static constexpr qint64 MaxBytes = 64 * 1024 * 1024;

    // The file's bytes naming the copies (the bytes as they are when it names no picture); none
    // with the reason when a picture cannot be read. A picture that is not there stays missing.
    std::optional<QByteArray> handOver(const QByteArray &file, const InterfaceFilePlaces &places, QString *reason);

private:
    // The copy's path; empty with the reason.
    QString copy(const QString &path, QString *reason);
    bool copyFile(const QString &from, const QString &to, QString *reason);

    std::unique_ptr<QTemporaryDir> m_folder;
    QHash<QString, QString> m_copies;
    qint64 m_bytes = 0;
};

} // namespace platform
