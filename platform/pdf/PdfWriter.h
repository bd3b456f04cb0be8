#pragma once

#include <QByteArray>

class PDFVersion;
class QIODevice;
class QPDF;

namespace platform {

// Writes a qpdf document without touching its streams: page content keeps its bytes, nothing is
// decoded or recompressed. Throws what qpdf or the device throw; callers catch at their boundary.
class PdfWriter
{
public:
    static QByteArray toBytes(QPDF &pdf, const PDFVersion &minimumVersion);
    static void toDevice(QPDF &pdf, const PDFVersion &minimumVersion, QIODevice &device);
};

} // namespace platform
