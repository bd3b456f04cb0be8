#include "platform/PrintOperation.h"

#include "platform/GraphicsContextScope.h"
#include "platform/Log.h"
#include "platform/PdfGraphicsContext.h"
#include "platform/Printable.h"

#include <QSaveFile>

namespace platform {

PrintOperation::PrintOperation(Printable &printable, const PrintInfo &printInfo)
    : m_printable(printable)
    , m_printInfo(printInfo)
{
}

const PrintInfo &PrintOperation::printInfo() const { return m_printInfo; }

bool PrintOperation::writePdf(QIODevice &device)
{
    int first = 1;
    int count = 0;
    if (!m_printable.knowsPageRange(first, count) || count <= 0) {
        logError(QStringLiteral("Could not print: there are no pages to print"));
        return false;
    }
    const QSizeF paper = m_printInfo.paperSize();
    if (paper.isEmpty()) {
        logError(QStringLiteral("Could not print: the paper has no size"));
        return false;
    }
    PdfGraphicsContext context;
    {
        GraphicsContextScope scope(&context);
        for (int page = first; page < first + count; ++page) {
            const QRectF rect = m_printable.rectForPage(page);
            context.beginPage(paper);
            context.translate(-rect.x(), -rect.y());
            context.clipToRect(rect);
            m_printable.drawRect(rect);
        }
    }
    return context.write(device);
}

bool PrintOperation::run()
{
    if (m_printInfo.jobDisposition() == PrintInfo::JobDisposition::Save)
        return save();
    logError(QStringLiteral("Could not print on \"%1\": printing to printers is not available")
                 .arg(m_printInfo.printerName()));
    return false;
}

bool PrintOperation::save()
{
    const QUrl url = m_printInfo.jobSavingUrl();
    if (!url.isLocalFile() || url.toLocalFile().isEmpty()) {
        logError(QStringLiteral("Could not save the print job: \"%1\" is no file").arg(url.toString()));
        return false;
    }
    const QString path = url.toLocalFile();
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        logError(QStringLiteral("Could not save the print job to \"%1\": %2").arg(path, file.errorString()));
        return false;
    }
    if (!writePdf(file)) {
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        logError(QStringLiteral("Could not save the print job to \"%1\": %2").arg(path, file.errorString()));
        return false;
    }
    return true;
}

} // namespace platform
