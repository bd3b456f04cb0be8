#include "platform/pdf/PdfStreamSpool.h"

#include "platform/foundation/TempFolder.h"

#include <QDir>
#include <QTemporaryFile>

#include <map>
#include <stdexcept>

#include <qpdf/Pipeline.hh>
#include <qpdf/QPDF.hh>

namespace platform {

// One file for all streams, each a stretch of it, read back when qpdf writes the stream.
class PdfStreamSpool::Provider : public QPDFObjectHandle::StreamDataProvider
{
public:
    void append(const QPDFObjGen &stream, const QByteArray &bytes)
    {
        if (!m_file.isOpen()) {
            const QString folder = TempFolder::path();
            if (folder.isEmpty())
                throw std::runtime_error("there is no temporary folder to keep pictures in");
            m_file.setFileTemplate(QDir(folder).filePath(QStringLiteral("streams-XXXXXX")));
            if (!m_file.open())
                throw std::runtime_error("the temporary file for pictures cannot be made: " + m_file.errorString().toStdString());
        }
        const qint64 offset = m_file.size();
        if (!m_file.seek(offset) || m_file.write(bytes) != bytes.size())
            throw std::runtime_error("the temporary file for pictures cannot be written: " + m_file.errorString().toStdString());
        m_stretches[stream] = {offset, bytes.size()};
    }

    void provideStreamData(QPDFObjGen const &stream, Pipeline *pipeline) override
    {
        const auto found = m_stretches.find(stream);
        if (found == m_stretches.end())
            throw std::logic_error("a spooled stream was asked for that was never kept");
        auto [offset, left] = found->second;
        if (!m_file.seek(offset))
            throw std::runtime_error("the temporary file for pictures cannot be read: " + m_file.errorString().toStdString());
        QByteArray block(64 * 1024, Qt::Uninitialized);
        while (left > 0) {
            const qint64 read = m_file.read(block.data(), std::min<qint64>(left, block.size()));
            if (read <= 0)
                throw std::runtime_error("the temporary file for pictures cannot be read: " + m_file.errorString().toStdString());
            pipeline->write(reinterpret_cast<const unsigned char *>(block.constData()), std::size_t(read));
            left -= read;
        }
        pipeline->finish();
    }

private:
    QTemporaryFile m_file;
    std::map<QPDFObjGen, std::pair<qint64, qint64>> m_stretches;
};

PdfStreamSpool::PdfStreamSpool()
    : m_provider(std::make_shared<Provider>())
{
}

PdfStreamSpool::~PdfStreamSpool() = default;

QPDFObjectHandle PdfStreamSpool::newStream(QPDF &pdf, const QByteArray &bytes, const std::string &filter)
{
    QPDFObjectHandle stream = QPDFObjectHandle::newStream(&pdf);
    m_provider->append(stream.getObjGen(), bytes);
    stream.replaceStreamData(m_provider, QPDFObjectHandle::newName(filter), QPDFObjectHandle::newNull());
    return stream;
}

} // namespace platform
