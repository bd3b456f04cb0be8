#include "platform/pdf/PdfSource.h"

#include "platform/foundation/Log.h"

#include <QFile>

#include <poppler-qt6.h>
#include <qpdf/QPDF.hh>

namespace platform {

PdfSource::PdfSource(std::unique_ptr<QPDF> qpdf, std::unique_ptr<QFile> file, QByteArray bytes,
                     QString description)
    : m_qpdf(std::move(qpdf))
    , m_file(std::move(file))
    , m_bytes(std::move(bytes))
    , m_description(std::move(description))
{
}

PdfSource::~PdfSource()
{
    QMutexLocker locker(&qpdfLock());
    m_qpdf.reset();
}

QRecursiveMutex &PdfSource::qpdfLock()
{
    static QRecursiveMutex lock;
    return lock;
}

QPDF &PdfSource::qpdf() const { return *m_qpdf; }

const QString &PdfSource::description() const { return m_description; }

Poppler::Document *PdfSource::popplerDocument() const
{
    if (m_popplerTried)
        return m_poppler.get();
    m_popplerTried = true;
    m_poppler = m_file ? Poppler::Document::load(m_file.get())
                       : Poppler::Document::loadFromData(m_bytes);
    if (!m_poppler || m_poppler->isLocked()) {
        m_poppler.reset();
        logError(QStringLiteral("Could not open %1 for drawing").arg(m_description));
        return nullptr;
    }
    m_poppler->setRenderHint(Poppler::Document::Antialiasing);
    m_poppler->setRenderHint(Poppler::Document::TextAntialiasing);
    m_poppler->setRenderHint(Poppler::Document::IgnorePaperColor);
    return m_poppler.get();
}

} // namespace platform
