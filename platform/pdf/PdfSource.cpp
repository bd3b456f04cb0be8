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

void PdfSource::pushInheritedAttributes() const
{
    if (m_inheritedPushed)
        return;
    m_qpdf->pushInheritedAttributesToPage();
    m_inheritedPushed = true;
}

const QString &PdfSource::description() const { return m_description; }

PdfSource::PopplerReader PdfSource::openPopplerReader() const
{
    PopplerReader reader;
    if (m_file) {
        // A path of /proc opens the file behind the handle, even once it has been replaced.
        reader.file = std::make_unique<QFile>(QStringLiteral("/proc/self/fd/%1").arg(m_file->handle()));
        if (reader.file->open(QIODevice::ReadOnly))
            reader.document = Poppler::Document::load(reader.file.get());
        else
            reader.document = Poppler::Document::loadFromData(fileContents());
    } else {
        reader.document = Poppler::Document::loadFromData(m_bytes);
    }
    if (!reader.document || reader.document->isLocked()) {
        reader.document.reset();
        return reader;
    }
    reader.document->setRenderHint(Poppler::Document::Antialiasing);
    reader.document->setRenderHint(Poppler::Document::TextAntialiasing);
    reader.document->setRenderHint(Poppler::Document::IgnorePaperColor);
    return reader;
}

QByteArray PdfSource::fileContents() const
{
    QMutexLocker locker(&m_popplerLock);
    if (m_bytes.isEmpty() && m_file->seek(0))
        m_bytes = m_file->readAll();
    return m_bytes;
}

PdfSource::PopplerReader PdfSource::takePopplerReader() const
{
    {
        QMutexLocker locker(&m_popplerLock);
        if (m_popplerFailed)
            return {};
        if (!m_idlePoppler.empty()) {
            PopplerReader reader = std::move(m_idlePoppler.back());
            m_idlePoppler.pop_back();
            return reader;
        }
    }
    PopplerReader reader = openPopplerReader();
    if (!reader.document) {
        QMutexLocker locker(&m_popplerLock);
        if (!m_popplerFailed)
            logError(QStringLiteral("Could not open %1 for drawing").arg(m_description));
        m_popplerFailed = true;
    }
    return reader;
}

void PdfSource::returnPopplerReader(PopplerReader reader) const
{
    if (!reader.document)
        return;
    QMutexLocker locker(&m_popplerLock);
    m_idlePoppler.push_back(std::move(reader));
}

} // namespace platform
