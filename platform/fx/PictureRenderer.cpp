#include "platform/fx/PictureRenderer.h"

#include "platform/foundation/Log.h"
#include "platform/fx/Context.h"
#include "platform/fx/Extent.h"

#include <QMetaObject>

#include <cmath>
#include <utility>

namespace platform::fx {

namespace {

// The first "Error: " line, without its level word.
QString firstError(const QStringList &lines)
{
    const QLatin1StringView level("Error: ");
    for (const QString &line : lines) {
        if (line.startsWith(level))
            return line.mid(level.size());
    }
    return {};
}

} // namespace

PictureRenderer::PictureRenderer(QObject *parent) : QObject(parent)
{
    // One render at a time: an overtaken one stops at its next band and leaves the thread.
    m_pool.setMaxThreadCount(1);
}

PictureRenderer::~PictureRenderer()
{
    m_stop.request_stop();
    m_pool.waitForDone();
}

void PictureRenderer::render(const Image &image, const QRectF &from)
{
    m_stop.request_stop();
    m_stop = std::stop_source();
    const std::uint64_t request = ++m_request;
    const QString refusal = Context::budgetRefusal(image, Extent::pixelsTouching(from));
    if (!refusal.isEmpty()) {
        logError(refusal);
        m_rendering = false;
        QMetaObject::invokeMethod(
            this, [this, request, refusal] {
                if (request == m_request)
                    emit refused(refusal);
            },
            Qt::QueuedConnection);
        return;
    }
    m_rendering = true;
    const std::stop_token stop = m_stop.get_token();
    m_pool.start([this, request, image, from, stop] {
        // Told in whole percents, so that the window's queue is not flooded. The render tells its
        // progress on this thread only.
        int told = -1;
        const auto progress = [this, request, &told](double share) {
            const int percent = int(std::floor(share * 100));
            if (std::exchange(told, percent) != percent)
                QMetaObject::invokeMethod(
                    this, [this, request, share] {
                        if (request == m_request)
                            emit progressed(share);
                    },
                    Qt::QueuedConnection);
        };
        // A render tells why it failed only in the lines it logs.
        const LogCapture log(LogCapture::Threads::This);
        const QImage picture = Context().createImage(image, from, QImage::Format_ARGB32_Premultiplied, {stop, progress});
        const bool stopped = picture.isNull() && stop.stop_requested();
        const QString failure = picture.isNull() ? firstError(log.lines()) : QString();
        QMetaObject::invokeMethod(
            this, [this, request, picture, stopped, failure] { deliver(request, picture, stopped, failure); },
            Qt::QueuedConnection);
    });
}

void PictureRenderer::deliver(std::uint64_t request, const QImage &picture, bool stopped, const QString &failure)
{
    if (request != m_request)
        return;
    m_rendering = false;
    if (stopped)
        emit cancelled();
    else if (picture.isNull())
        emit failed(failure);
    else
        emit finished(picture);
}

void PictureRenderer::cancel()
{
    m_stop.request_stop();
}

void PictureRenderer::forget()
{
    m_stop.request_stop();
    ++m_request;
    m_rendering = false;
}

} // namespace platform::fx
