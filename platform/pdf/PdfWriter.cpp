#include "platform/pdf/PdfWriter.h"

#include "platform/foundation/AtomicFileWriter.h"

#include <QIODevice>

#include <qpdf/PDFVersion.hh>
#include <qpdf/Pipeline.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFWriter.hh>

#include <stdexcept>

namespace platform {

namespace {

class DevicePipeline : public Pipeline
{
public:
    explicit DevicePipeline(QIODevice &device)
        : Pipeline("device", nullptr)
        , m_device(device)
    {
    }

    void write(unsigned char const *data, size_t length) override
    {
        QString reason;
        if (!AtomicFileWriter::writeAll(m_device, reinterpret_cast<const char *>(data), qint64(length), &reason))
            throw std::runtime_error(reason.toStdString());
    }

    void finish() override {}

private:
    QIODevice &m_device;
};

class BytesPipeline : public Pipeline
{
public:
    explicit BytesPipeline(QByteArray &bytes)
        : Pipeline("bytes", nullptr)
        , m_bytes(bytes)
    {
    }

    void write(unsigned char const *data, size_t length) override
    {
        m_bytes.append(reinterpret_cast<const char *>(data), static_cast<qsizetype>(length));
    }

    void finish() override {}

private:
    QByteArray &m_bytes;
};

void writeThrough(QPDF &pdf, const PDFVersion &minimumVersion, Pipeline &out)
{
    QPDFWriter writer(pdf);
    writer.setOutputPipeline(&out);
    writer.setCompressStreams(false);
    writer.setDecodeLevel(qpdf_dl_none);
    writer.setMinimumPDFVersion(minimumVersion);
    writer.write();
}

} // namespace

QByteArray PdfWriter::toBytes(QPDF &pdf, const PDFVersion &minimumVersion)
{
    QByteArray bytes;
    BytesPipeline out(bytes);
    writeThrough(pdf, minimumVersion, out);
    return bytes;
}

void PdfWriter::toDevice(QPDF &pdf, const PDFVersion &minimumVersion, QIODevice &device)
{
    DevicePipeline out(device);
    writeThrough(pdf, minimumVersion, out);
}

} // namespace platform
