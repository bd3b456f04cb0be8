#include "platform/ui/InterfacePictures.h"

#include "platform/foundation/AtomicFileWriter.h"
#include "platform/foundation/RegularFile.h"
#include "platform/foundation/TempFolder.h"
#include "platform/ui/InterfaceFileContents.h"
#include "platform/ui/InterfaceFilePlaces.h"

#include <QDir>
#include <QFileInfo>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

namespace platform {

std::optional<QByteArray> InterfacePictures::handOver(const QByteArray &file, const InterfaceFilePlaces &places, QString *reason)
{
    QXmlStreamReader reader(file);
    QByteArray handed;
    QXmlStreamWriter writer(&handed);
    bool namesAny = false;
    // The text of the picture element open, pieces and all, as Qt's loader reads it.
    std::optional<QString> picture;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.hasError())
            break;
        if (picture && reader.isCharacters()) {
            if (!reader.isWhitespace())
                *picture += reader.text();
            continue;
        }
        if (picture && reader.isComment())
            continue;
        if (picture && (reader.isStartElement() || reader.isEndElement())) {
            // What an element with elements inside (an icon's states) holds between them is no name.
            const QString name = *std::exchange(picture, std::nullopt);
            const QString path = places.picturePath(name);
            if (path.isEmpty()) {
                writer.writeCharacters(name);
            } else {
                QString refused;
                const QString copied = copy(path, &refused);
                if (copied.isEmpty()) {
                    if (reason)
                        *reason = QStringLiteral("the picture \"%1\" could not be read: %2").arg(name, refused);
                    return std::nullopt;
                }
                writer.writeCharacters(copied);
                namesAny = true;
            }
        }
        writer.writeCurrentToken(reader);
        if (reader.isStartElement() && InterfaceFileContents::namesPicture(reader.name().toString().toLower()))
            picture = QString();
    }
    // A file that is not well-formed is left to Qt's loader, which refuses it as it is.
    return namesAny && !reader.hasError() ? handed : file;
}

QString InterfacePictures::copy(const QString &path, QString *reason)
{
    if (const auto copied = m_copies.constFind(path); copied != m_copies.cend())
        return *copied;
    if (!m_folder) {
        m_folder = std::make_unique<QTemporaryDir>(TempFolder::path() + QStringLiteral("/interface-pictures-XXXXXX"));
        if (!m_folder->isValid()) {
            *reason = m_folder->errorString();
            m_folder.reset();
            return {};
        }
    }
    // Each picture in a folder of its own keeps its name, which Qt finds its versions by.
    const QString folder = m_folder->filePath(QString::number(m_copies.size()));
    if (!QDir().mkdir(folder)) {
        *reason = QStringLiteral("its copy's folder could not be made");
        return {};
    }
    const QString copied = folder + u'/' + QFileInfo(path).fileName();
    QStringList versions{path};
    versions += InterfaceFilePlaces::highResolutionNames(path);
    for (const QString &version : std::as_const(versions)) {
        // Nothing there yet, through a link or not, is nothing to read.
        const QFileInfo source(version);
        if (!source.exists())
            continue;
        if (!copyFile(version, folder + u'/' + source.fileName(), reason))
            return {};
    }
    m_copies.insert(path, copied);
    return copied;
}

bool InterfacePictures::copyFile(const QString &from, const QString &to, QString *reason)
{
    const std::optional<QByteArray> bytes = RegularFile::read(from, MaxBytes - m_bytes, reason);
    if (!bytes) {
        if (reason && reason->startsWith(QStringLiteral("it is larger than")))
            *reason = QStringLiteral("the file's pictures hold more than %1 bytes in all").arg(MaxBytes);
        return false;
    }
    m_bytes += bytes->size();
    return AtomicFileWriter::write(to, *bytes, reason);
}

} // namespace platform
