#pragma once

#include "platform/pdf/PdfFileInput.h"

#include <QIODevice>

namespace platform {

// What poppler reads a PDF file through: the positioned reads into one cached block that qpdf
// reads through (PdfFileInput). Poppler seeks before nearly every object and fills a buffer of
// 1 KiB at a time; through a QFile each fill was a seek and a read of the system, which made
// reading as far as the last page of a long file take half again as long.
class PdfFileDevice : public QIODevice
{
public:
    // Reads through a duplicate of the descriptor; throws QPDFExc when it cannot be had.
    PdfFileDevice(int descriptor, const QString &name);

    bool isSequential() const override;
    qint64 size() const override;

protected:
    qint64 readData(char *data, qint64 maxSize) override;
    qint64 writeData(const char *data, qint64 maxSize) override;

private:
    PdfFileInput m_input;
    qint64 m_size = 0;
};

} // namespace platform
