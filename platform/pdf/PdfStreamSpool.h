#pragma once

#include <QByteArray>

#include <memory>
#include <string>

#include <qpdf/QPDFObjectHandle.hh>

class QPDF;

namespace platform {

// Stream data kept in a temporary file until the PDF that holds the streams is written, so that
// many large streams (the pictures of a rasterised print) do not stay in memory together.
class PdfStreamSpool
{
public:
    PdfStreamSpool();
    ~PdfStreamSpool();
    PdfStreamSpool(const PdfStreamSpool &) = delete;
    PdfStreamSpool &operator=(const PdfStreamSpool &) = delete;

    // A new stream of the PDF holding the bytes, already encoded by the filter (a name such as
    // "/DCTDecode"). Throws std::runtime_error when the temporary file cannot be made or written.
    QPDFObjectHandle newStream(QPDF &pdf, const QByteArray &bytes, const std::string &filter);

private:
    class Provider;
    std::shared_ptr<Provider> m_provider;
};

} // namespace platform
