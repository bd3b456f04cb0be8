#include "platform/foundation/PictureFileReader.h"

#include "platform/foundation/Log.h"
#include "platform/foundation/RegularFile.h"

namespace platform {

PictureFileReader::PictureFileReader(const QString &path)
{
    if (RegularFile::open(m_file, path, &m_refusal))
        m_reader.setDevice(&m_file);
}

bool PictureFileReader::isOpen() const { return m_file.isOpen(); }

QImageReader &PictureFileReader::reader() { return m_reader; }

QFile &PictureFileReader::file() { return m_file; }

QString PictureFileReader::errorString() const { return m_refusal.isEmpty() ? m_reader.errorString() : m_refusal; }

QImage PictureFileReader::read(const QString &path)
{
    PictureFileReader picture(path);
    if (!picture.isOpen()) {
        logWarning(QStringLiteral("Could not read the picture %1, because %2").arg(path, picture.errorString()));
        return {};
    }
    return picture.reader().read();
}

} // namespace platform
