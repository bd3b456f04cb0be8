#include "platform/pdf/PdfOverlayWriter.h"

#include "platform/foundation/Log.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>

#include <cmath>

namespace platform {

PdfOverlayWriter::PdfOverlayWriter() = default;

PdfOverlayWriter::~PdfOverlayWriter()
{
    if (m_painter.isActive())
        m_painter.end();
}

QPainter *PdfOverlayWriter::begin(const QSizeF &size)
{
    // Qt keeps page sizes in whole points; rounding up keeps the page over all of the output's.
    const QSize points(std::max(1, int(std::ceil(size.width()))), std::max(1, int(std::ceil(size.height()))));
    const QPageLayout layout(QPageSize(points, QString(), QPageSize::ExactMatch), QPageLayout::Portrait, QMarginsF(),
                             QPageLayout::Point);
    if (!m_writer) {
        m_buffer.open(QIODevice::WriteOnly);
        m_writer = std::make_unique<QPdfWriter>(&m_buffer);
        m_writer->setResolution(72);
        m_writer->setPageLayout(layout);
        if (!m_painter.begin(m_writer.get())) {
            m_writer.reset();
            m_buffer.close();
            logError(QStringLiteral("Could not draw into a PDF"));
            return nullptr;
        }
    } else {
        m_writer->setPageLayout(layout);
        m_writer->newPage();
    }
    m_painter.save();
    m_height = points.height();
    ++m_count;
    return &m_painter;
}

double PdfOverlayWriter::height() const { return m_height; }

void PdfOverlayWriter::end()
{
    if (m_painter.isActive())
        m_painter.restore();
}

int PdfOverlayWriter::count() const { return m_count; }

QByteArray PdfOverlayWriter::finish()
{
    if (!m_painter.isActive())
        return {};
    m_painter.end();
    return m_buffer.data();
}

} // namespace platform
