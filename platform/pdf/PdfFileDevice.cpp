#include "platform/pdf/PdfFileDevice.h"

#include "platform/foundation/Log.h"

#include <exception>

namespace platform {

PdfFileDevice::PdfFileDevice(int descriptor, const QString &name)
    : m_input(descriptor, name.toStdString())
{
    m_input.seek(0, SEEK_END);
    m_size = m_input.tell();
    m_input.rewind();
    // The cached block stands in for QIODevice's own buffer.
    open(QIODevice::ReadOnly | QIODevice::Unbuffered);
}

bool PdfFileDevice::isSequential() const { return false; }

qint64 PdfFileDevice::size() const { return m_size; }

qint64 PdfFileDevice::readData(char *data, qint64 maxSize)
{
    try {
        m_input.seek(pos(), SEEK_SET);
        return qint64(m_input.read(data, size_t(maxSize)));
    } catch (const std::exception &error) {
        logError(QString::fromLocal8Bit(error.what()));
        return -1;
    }
}

qint64 PdfFileDevice::writeData(const char *, qint64) { return -1; }

} // namespace platform
